#include "library/dlgDB.h"

#include "app/globals.h"
#include "db/mdlSQL.h"
#include "library/dlgPassInput.h"
#include "library/mdlPassWord.h"
#include "platform/application.h"
#include "platform/events.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"

#include <QStyle>
#include <QTableView>
#include <QWidget>

#include <algorithm>

using namespace vb;

namespace {

const QString kTableName = QStringLiteral("tPrint");

// Titles and shares of the grid's width; the last three columns are hidden.
struct ColumnLook {
    const char* title;
    double share;
};
constexpr ColumnLook kColumns[dlgDB::ColumnCount] = {
    {"ＩＤ", 0.06}, {"管理番号", 0.1}, {"名称", 0.45}, {"作成日", 0.17}, {"更新日", 0.17}, {"", 0}, {"", 0}, {"", 0},
};

// A date cell back to a date; an empty cell (a Null date) is an unset date.
QDateTime dateOf(const QString& text)
{
    return text.isEmpty() ? QDateTime() : CDate(text);
}

}  // namespace

dlgDB::dlgDB() : platform::Form(QStringLiteral("dlgDB"))
{
    using namespace platform;
    setFixedDialogBorder();
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(twipsToPixels(9240), twipsToPixels(5040));

    fgrdDB = new Grid(client);
    fgrdDB->setObjectName(QStringLiteral("fgrdDB"));
    fgrdDB->setGeometry(twipsToPixels(120), twipsToPixels(120), twipsToPixels(9000), twipsToPixels(4200));
    fgrdDB->setToolTip(QStringLiteral("ダブルクリックで画面展開、右クリックでポップアップ表示"));
    OKButton = new CommandButton(QStringLiteral("OKButton"), client);
    OKButton->Move(6060, 4500, 1455, 375);
    OKButton->setCaption(QStringLiteral("開く"));
    OKButton->setToolTipText(QStringLiteral("マウスで選択した、写真帳のオーバービュー画面を開きます"));
    CancelButton = new CommandButton(QStringLiteral("CancelButton"), client);
    CancelButton->Move(7665, 4500, 1455, 375);
    CancelButton->setCaption(QStringLiteral("閉じる"));
    CancelButton->setToolTipText(QStringLiteral("ダイアログを閉じます"));
    buildMenu();

    connect(fgrdDB, &Grid::dblClick, this,
            [this] { dispatch(QStringLiteral("fgrdDB_DblClick"), [this] { fgrdDB_DblClick(); }); });
    connect(fgrdDB, &Grid::mouseDown, this, [this](int button, int shift, float x, float y) {
        dispatch(QStringLiteral("fgrdDB_MouseDown"), [=, this] { fgrdDB_MouseDown(button, shift, x, y); });
    });
    OKButton->Click = [this] { OKButton_Click(); };
    CancelButton->Click = [this] { CancelButton_Click(); };
}

void dlgDB::buildMenu()
{
    using platform::Menu;
    // A menu of no menu bar: it only ever pops up over the grid.
    popMenu = new Menu(QStringLiteral("popMenu"), QStringLiteral("popMenu"), this);
    popOverView = new Menu(QStringLiteral("popOverView"), QStringLiteral("  測定・編集"), popMenu);
    mnuReName = new Menu(QStringLiteral("mnuReName"), QStringLiteral(" の名称を変更"), popMenu);
    popPassWord = new Menu(QStringLiteral("popPassWord"), QStringLiteral("パスワードの設定"), popMenu);
    new Menu(QStringLiteral("popSp1"), QStringLiteral("-"), popMenu);
    auto* asc = new Menu(QStringLiteral("popSortAscM"), QStringLiteral("並べ替え（昇順）"), popMenu);
    auto* desc = new Menu(QStringLiteral("popSortDescM"), QStringLiteral("並べ替え（降順）"), popMenu);
    const char* keys[] = {"ＩＤ", "管理番号", "名称", "作成日", "更新日"};
    for (int i = 0; i < 5; ++i) {
        popSortAsc.add(i, new Menu(QStringLiteral("popSortAsc"), QString::fromUtf8(keys[i]), asc)).Click =
            [this](int index) { popSortAsc_Click(index); };
        popSortDesc.add(i, new Menu(QStringLiteral("popSortDesc"), QString::fromUtf8(keys[i]), desc)).Click =
            [this](int index) { popSortDesc_Click(index); };
    }
    new Menu(QStringLiteral("popSp2"), QStringLiteral("-"), popMenu);
    popDell = new Menu(QStringLiteral("popDell"), QStringLiteral(" をデータベースから削除"), popMenu);

    popOverView->Click = [this] { popOverView_Click(); };
    mnuReName->Click = [this] { mnuReName_Click(); };
    popPassWord->Click = [this] { popPassWord_Click(); };
    popDell->Click = [this] { popDell_Click(); };
}

void dlgDB::Form_Load()
{
    subDisp_List();
}

void dlgDB::subDisp_List()
{
    if (GE_strTableName != kTableName)
        return;
    GE_tpPrint.Print_Id = 0;
    subFill_List(0, QStringLiteral("ASC"));
}

void dlgDB::subSet_GridTitle()
{
    fgrdDB->clear();
    fgrdDB->setFixedCols(1);
    fgrdDB->setCols(ColumnCount);
    const int width = platform::pixelsToTwips(fgrdDB->width());
    qint32 widths[ColumnCount];
    for (int col = 0; col < ColumnCount; ++col)
        widths[col] = CLng(kColumns[col].share * width);
    // A date shows with its time: its column is at least as wide as such a
    // text needs at the grid's font, and the name column gives way.
    const qint32 dateWidth = fncDateColumnWidth();
    for (const int col : {colHizuke, colRenew}) {
        const qint32 extra = std::max(0, dateWidth - widths[col]);
        widths[col] += extra;
        widths[colName] = std::max(0, widths[colName] - extra);
    }
    for (int col = 0; col < ColumnCount; ++col) {
        fgrdDB->setTextMatrix(0, col, QString::fromUtf8(kColumns[col].title));
        if (col <= colRenew)
            fgrdDB->setColAlignment(col, platform::flexAlignCenterTop);
        fgrdDB->setColWidth(col, widths[col]);
    }
}

// Twips that a cell needs to show a date and time ("yy/mm/dd hh:nn:ss")
// whole.
qint32 dlgDB::fncDateColumnWidth() const
{
    return fncCellWidth(QStringLiteral("00/00/00 00:00:00"));
}

// Twips that a cell needs to show `text` whole: the text at the grid's
// font, the cell's margins and its grid line.
qint32 dlgDB::fncCellWidth(const QString& text) const
{
    const QTableView* view = fgrdDB->view();
    const int margin = view->style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
    return platform::pixelsToTwips(view->fontMetrics().horizontalAdvance(text) + 2 * margin + 2);
}

// Every fill starts from an emptied grid, so no cell keeps a value of an
// earlier fill (a drawing without a password must show an empty cell).
void dlgDB::subFill_List(qint16 sortKey, const QString& order)
{
    subSet_GridTitle();
    mdlSQL::subSQL_PutGrid_tPrint(*fgrdDB, sortKey, order);
    // A number cut short can't be told from another: its column takes the
    // widest one shown, and the name column gives way.
    qint32 needed = 0;
    for (int r = 1; r < fgrdDB->rows(); ++r)
        needed = std::max(needed, fncCellWidth(cell(r, colNo)));
    const qint32 extra = std::min(std::max(0, needed - fgrdDB->colWidth(colNo)), fgrdDB->colWidth(colName));
    if (extra > 0) {
        fgrdDB->setColWidth(colNo, fgrdDB->colWidth(colNo) + extra);
        fgrdDB->setColWidth(colName, fgrdDB->colWidth(colName) - extra);
    }
}

qint32 dlgDB::fncRow_Id(int row) const
{
    return CLng(Val(fgrdDB->textMatrix(row, colId)));
}

bool dlgDB::fncAsk_PassWord(const QString& caption)
{
    dlgPassInput& prompt = platform::Instance<dlgPassInput>::get();
    prompt.setCaption(caption);
    prompt.lblPrompt->setCaption(QStringLiteral("パスワードを入力してください。"));
    prompt.txtInput->setIMEMode(2);
    prompt.showForm(platform::vbModal);
    return GE_booDlgOK;
}

void dlgDB::fgrdDB_DblClick()
{
    const int r = fgrdDB->row();
    const qint32 id = fncRow_Id(r);
    if (id < 1)
        return;
    if (GE_strTableName != kTableName) {
        unload();
        return;
    }
    // The file name and folder stay: the editor reads the whole record again.
    GE_tpPrint.Print_Id = id;
    GE_tpPrint.strNo = cell(r, colNo);
    GE_tpPrint.strName = cell(r, colName);
    GE_tpPrint.datHizuke = dateOf(cell(r, colHizuke));
    GE_tpPrint.datRenew = dateOf(cell(r, colRenew));
    GE_tpPrint.booEdit = cell(r, colEdit) == QLatin1String("True");
    GE_tpPrint.booVisible = cell(r, colVisible) == QLatin1String("True");
    GE_tpPrint.strPassWord = cell(r, colPassWord);
    if (GE_tpPrint.booVisible) {
        unload();
        return;
    }
    if (!fncAsk_PassWord(GE_tpPrint.strName + QStringLiteral(" は、ユーザーによって閲覧不可に設定されています。"))) {
        GE_tpPrint.Print_Id = 0;
        return;
    }
    if (mdlPassWord::fncPassWord_Matches(GE_tpPrint.strPassWord, GE_strPassWord)) {
        unload();
        return;
    }
    subShow_WrongPassWord();
    GE_tpPrint.Print_Id = 0;
}

void dlgDB::subShow_WrongPassWord()
{
    MsgBox(QStringLiteral("パスワードが違います。※大小文字を区別します、文字入力モードを確認してください。"), vbExclamation,
           QStringLiteral("パスワード異常"));
}

void dlgDB::OKButton_Click() { fgrdDB_DblClick(); }
void dlgDB::popOverView_Click() { fgrdDB_DblClick(); }

void dlgDB::fgrdDB_MouseDown(int button, int shift, float x, float y)
{
    Q_UNUSED(shift);
    Q_UNUSED(x);
    Q_UNUSED(y);
    if (button != platform::vbRightButton)
        return;
    // The menu is for the drawing clicked: its row becomes the current one,
    // which the captions name and every command acts on.
    const int clicked = fgrdDB->mouseRow();
    if (clicked >= fgrdDB->fixedRows() && clicked < fgrdDB->rows() && fncRow_Id(clicked) >= 1)
        fgrdDB->setRow(clicked);
    const int r = fgrdDB->row();
    if (fncRow_Id(r) < 1)
        return;
    const QString number = cell(r, colNo);
    popOverView->setCaption(number + QStringLiteral("  測定・編集"));
    mnuReName->setCaption(number + QStringLiteral(" の名称を変更"));
    popDell->setCaption(number + QStringLiteral(" をデータベースから削除"));
    platform::PopupMenu(*popMenu);
}

void dlgDB::CancelButton_Click()
{
    GE_tpPrint.Print_Id = 0;
    unload();
}

void dlgDB::popSortAsc_Click(int index) { subFill_List(qint16(index), QStringLiteral("ASC")); }
void dlgDB::popSortDesc_Click(int index) { subFill_List(qint16(index), QStringLiteral("DESC")); }
