#include "library/dlgPassWord.h"

#include "app/globals.h"
#include "library/dlgPassInput.h"
#include "platform/application.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"

#include <QWidget>

dlgPassWord::dlgPassWord() : platform::Form(QStringLiteral("dlgPassWord"))
{
    using namespace platform;
    setFixedDialogBorder();
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(twipsToPixels(5400), twipsToPixels(3960));

    lblNo = new Label(QStringLiteral("lblNo"), client);
    lblNo->Move(120, 120, 1800, 255);
    lblName = new Label(QStringLiteral("lblName"), client);
    lblName->Move(2040, 120, 3240, 255);

    auto* protection = new Frame(QStringLiteral("Frame1"), client);
    protection->Move(120, 480, 5160, 735);
    protection->setCaption(QStringLiteral("保護機能"));
    chkEdit = new CheckBox(QStringLiteral("chkEdit"), protection);
    chkEdit->Move(240, 300, 1800, 300);
    chkEdit->setCaption(QStringLiteral("編集可"));
    chkVisible = new CheckBox(QStringLiteral("chkVisible"), protection);
    chkVisible->Move(2400, 300, 1800, 300);
    chkVisible->setCaption(QStringLiteral("閲覧可"));

    auto* password = new Frame(QStringLiteral("Frame2"), client);
    password->Move(120, 1320, 5160, 1575);
    password->setCaption(QStringLiteral("パスワード設定"));
    const char* titles[] = {"新規パスワード", "確認"};
    for (int i = 0; i < 2; ++i) {
        auto* title = new Label(QStringLiteral("Label%1").arg(i + 1), password);
        title->Move(240, 300 + i * 420, 1560, 255);
        title->setCaption(QString::fromUtf8(titles[i]));
        TextBox& box = txtPassWord.add(i, new TextBox(QStringLiteral("txtPassWord"), password));
        box.Move(1920, 300 + i * 420, 1800, 315);
        subSet_PasswordBox(box);
    }
    Text1 = new TextBox(QStringLiteral("Text1"), password);
    Text1->Move(1920, 1140, 1800, 315);
    Text1->setText(QStringLiteral("文字確認"));
    Text1->setIMEMode(2);

    OKButton = new CommandButton(QStringLiteral("OKButton"), client);
    OKButton->Move(2640, 3060, 1215, 375);
    OKButton->setCaption(QStringLiteral("ＯＫ"));
    CancelButton = new CommandButton(QStringLiteral("CancelButton"), client);
    CancelButton->Move(4020, 3060, 1215, 375);
    CancelButton->setCaption(QStringLiteral("キャンセル"));

    OKButton->Click = [this] { OKButton_Click(); };
    CancelButton->Click = [this] { CancelButton_Click(); };
    Text1->GotFocus = [this] {
        Text1->setSelStart(0);
        Text1->setSelLength(99);
    };
}

void dlgPassWord::Form_Load()
{
    GE_strPassWord.clear();
    GE_booEdit = true;
    GE_booVisible = true;
    GE_booDlgOK = false;
}

void dlgPassWord::OKButton_Click()
{
    // The two boxes must agree as typed, blanks included.
    if (txtPassWord(0).Text() != txtPassWord(1).Text()) {
        vb::MsgBox(QStringLiteral("確認パスワードが一致しません。"), vb::vbExclamation, QStringLiteral("パスワード異常"));
        return;
    }
    GE_strPassWord = vb::Trim(txtPassWord(1).Text());
    GE_booEdit = chkEdit->Value() == 1;
    GE_booVisible = chkVisible->Value() == 1;
    GE_booDlgOK = true;
    unload();
}

void dlgPassWord::CancelButton_Click()
{
    unload();
}
