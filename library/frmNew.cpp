#include "library/frmNew.h"

#include "app/globals.h"
#include "db/mdlSQL.h"
#include "platform/application.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"

#include <QWidget>

using namespace vb;

namespace {
const QString kNewName = QStringLiteral("新しい図面");
constexpr int NumberLength = 10;
}  // namespace

frmNew::frmNew() : platform::Form(QStringLiteral("frmNew"))
{
    using namespace platform;
    setFixedDialogBorder();
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(twipsToPixels(6000), twipsToPixels(1920));

    // The number box comes first in the tab order, so the proposed number
    // is selected when the dialog opens and typing replaces it.
    Label3 = new Label(QStringLiteral("Label3"), client);
    Label3->Move(120, 180, 960, 255);
    Label3->setCaption(QStringLiteral("管理番号"));
    txtNo = new TextBox(QStringLiteral("txtNo"), client);
    txtNo->Move(1200, 120, 1800, 315);
    txtNo->setMaxLength(NumberLength);
    txtNo->setToolTipText(QStringLiteral("データベース識別情報です。任意の番号を入力してください。"));
    Label1 = new Label(QStringLiteral("Label1"), client);
    Label1->Move(120, 660, 960, 255);
    Label1->setCaption(QStringLiteral("図面名"));
    txtName = new TextBox(QStringLiteral("txtName"), client);
    txtName->Move(1200, 600, 4680, 315);
    cmdOK = new CommandButton(QStringLiteral("cmdOK"), client);
    cmdOK->Move(3240, 1080, 1215, 375);
    cmdOK->setCaption(QStringLiteral("OK"));
    cmdCancel = new CommandButton(QStringLiteral("cmdCancel"), client);
    cmdCancel->Move(4665, 1080, 1215, 375);
    cmdCancel->setCaption(QStringLiteral("Cancel"));
    stsBar = new StatusBar(QStringLiteral("stsBar"), client);
    stsBar->setAlign(2);
    const QString hint = QStringLiteral("※この情報は、データベースの識別情報です。");
    stsBar->Panels(1).setText(hint);
    stsBar->Panels(1).setToolTipText(hint);
    stsBar->Panels(1).setAutoSize(StatusPanel::sbrSpring);

    cmdOK->Click = [this] { cmdOK_Click(); };
    cmdCancel->Click = [this] { cmdCancel_Click(); };
    txtNo->GotFocus = [this] {
        txtNo->setSelStart(0);
        txtNo->setSelLength(NumberLength);
    };
    txtName->GotFocus = [this] {
        txtName->setSelStart(0);
        txtName->setSelLength(99);
    };
}

void frmNew::Form_Load()
{
    // Only OK accepts: Cancel and the close box leave this False.
    GE_booDlgOK = false;
}

void frmNew::Form_Activate()
{
    // The window's first focus comes with its activation, which is no
    // GotFocus of the number box: select the proposed number here, once,
    // so that typing replaces it.
    if (m_entered)
        return;
    m_entered = true;
    txtNo->SetFocus();
    txtNo->setSelStart(0);
    txtNo->setSelLength(NumberLength);
}

void frmNew::cmdOK_Click()
{
    // A number of blanks only would be empty once trimmed, and every drawing
    // must be found again by its number.
    const QString number = Trim(vb::Left(txtNo->Text(), NumberLength));
    if (number.isEmpty()) {
        MsgBox(QStringLiteral("管理番号を入力してください！"), vbExclamation, QStringLiteral("管理番号未入力"));
        return;
    }
    if (txtName->Text().isEmpty())
        txtName->setText(kNewName);

    typPrint drawing;
    drawing.Print_Id = 0;
    drawing.strNo = number;
    drawing.strName = Trim(txtName->Text());
    drawing.booEdit = true;
    drawing.booVisible = true;
    drawing.datHizuke = Now();

    typPrint holder;
    switch (mdlSQL::fncSQL_GetPrintHolder(number, holder).outcome()) {
    case mdlSQL::PrintLookup::NotFound:
        GE_tpPrint = drawing;
        GE_booDlgOK = true;
        unload();
        return;
    case mdlSQL::PrintLookup::Found:
        MsgBox(QStringLiteral("管理番号 : ") + number + vbCrLf + QStringLiteral("図面名 : ") + holder.strName + vbCrLf +
                   QStringLiteral("作成日時 : ") + DateText(holder.datHizuke) + vbCrLf + vbCrLf +
                   QStringLiteral(" 既に、登録されています。違う管理番号を入力してください。"),
               vbOKOnly + vbCritical, QStringLiteral("管理番号重複"));
        return;
    case mdlSQL::PrintLookup::Failed:
        // The lookup has told why; a number that could not be checked is not free.
        return;
    }
}

void frmNew::cmdCancel_Click()
{
    GE_booDlgOK = false;
    unload();
}
