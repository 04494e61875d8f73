// The options window's controls and their wiring.

#include "measure/frmOption.h"

#include "editor/frmEdit.h"
#include "platform/application.h"

#include <QWidget>

using namespace platform;

namespace {

Label* label(QWidget* parent, const QString& text, int left, int top, int width = 900)
{
    auto* label = new Label(QStringLiteral("Label"), parent);
    label->Move(left, top, width, 255);
    label->setCaption(text);
    return label;
}

Frame* frame(QWidget* parent, const QString& text, int left, int top, int width, int height)
{
    auto* f = new Frame(QStringLiteral("Frame"), parent);
    f->Move(left, top, width, height);
    f->setCaption(text);
    return f;
}

TextBox& box(ControlArray<TextBox>& array, const QString& name, int index, QWidget* parent, int left, int top,
             int width, int maxLength = 0)
{
    TextBox& t = array.add(index, new TextBox(name, parent));
    t.Move(left, top, width, 315);
    t.setMaxLength(maxLength);
    return t;
}

}  // namespace

frmOption::frmOption() : Form(QStringLiteral("frmOption"))
{
    // On top from the start, so that keeping it there never re-creates it.
    setWindowFlags(Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint
                   | Qt::WindowCloseButtonHint);
    setCaption(QStringLiteral("オプション"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(twipsToPixels(7200), twipsToPixels(7260));

    SSTab = new TabControl(QStringLiteral("SSTab"), client, 4);
    SSTab->Move(120, 120, 6960, 6540);
    const QString captions[] = {QStringLiteral("全般"), QStringLiteral("傾き補正"), QStringLiteral("既知の距離設定"),
                                QStringLiteral("既知の経緯度設定")};
    for (int tab = 0; tab < 4; ++tab)
        SSTab->setTabCaption(tab, captions[tab]);
    buildGeneral(SSTab->page(0));
    buildTilt(SSTab->page(1));
    buildKnownDistance(SSTab->page(2));
    buildKnownPosition(SSTab->page(3));
    // As designed, the last tab is in front until the window is activated.
    SSTab->setTab(3);

    cmdOK = new CommandButton(QStringLiteral("cmdOK"), client);
    cmdOK->Move(5640, 6780, 1440, 375);
    cmdOK->setCaption(QStringLiteral("閉じる"));
    connectHandlers();
}

void frmOption::buildGeneral(QWidget* page)
{
    Frame* mode = frame(page, QStringLiteral("測定モード"), 120, 480, 6700, 720);
    const QString modes[] = {QStringLiteral("既知の距離を基に計測する"), QStringLiteral("既知の経緯度を基に計測する")};
    for (int i = 0; i <= 1; ++i) {
        optMOde.add(i, new OptionButton(QStringLiteral("optMOde"), mode)).Move(120 + 3240 * i, 300, 3200, 300);
        optMOde(i).setCaption(modes[i]);
    }

    // The design captions; the load puts those of Init.ini in their place.
    const char* distances[] = {"mm ", "cm ", "m ", "km ", "in. ", "ft. ", "yd. ",
                               "mi. ", "l. ", "nmi. ", "寸 ", "尺 ", "間 ", "里 "};
    const char* areas[] = {"mm2 ", "cm2 ", "m2 ", "a ", "ha ", "km2 ", "sq.in. ",
                           "sq.ft.  ", "sq.yd. ", "ac ", "sq.mi. ", "坪 ", "反 ", "町 "};
    Frame* unitD = frame(page, QStringLiteral("距離・寸法の単位"), 120, 1320, 3300, 2400);
    Frame* unitS = frame(page, QStringLiteral("面積の単位"), 3540, 1320, 3300, 2400);
    for (int i = 0; i < 14; ++i) {
        const int left = 120 + 1560 * (i / 7), top = 300 + 300 * (i % 7);
        optUnitD.add(i, new OptionButton(QStringLiteral("optUnitD"), unitD)).Move(left, top, 1500, 300);
        optUnitD(i).setCaption(QString::fromUtf8(distances[i]));
        optUnitS.add(i, new OptionButton(QStringLiteral("optUnitS"), unitS)).Move(left, top, 1500, 300);
        optUnitS(i).setCaption(QString::fromUtf8(areas[i]));
    }

    Frame* decimals = frame(page, QStringLiteral("小数点"), 120, 3840, 2640, 1200);
    label(decimals, QStringLiteral("距離"), 120, 360, 700);
    label(decimals, QStringLiteral("面積"), 120, 780, 700);
    vscDPointD = new VScrollBar(QStringLiteral("vscDPointD"), decimals);
    vscDPointS = new VScrollBar(QStringLiteral("vscDPointS"), decimals);
    lblDPointD = label(decimals, QStringLiteral("0"), 1320, 360, 600);
    lblDPointS = label(decimals, QStringLiteral("0"), 1320, 780, 600);
    lblDPointD->setObjectName(QStringLiteral("lblDPointD"));
    lblDPointS->setObjectName(QStringLiteral("lblDPointS"));
    int top = 300;
    for (VScrollBar* bar : {vscDPointD, vscDPointS}) {
        bar->Move(900, top, 255, 375);
        bar->setMin(0);
        bar->setMax(8);
        bar->setSmallChange(1);
        bar->setLargeChange(1);
        top += 420;
    }

    Frame* scale = frame(page, QStringLiteral("図面スケール"), 2880, 3840, 2160, 1200);
    label(scale, QStringLiteral("1/"), 120, 480, 300);
    txtScale = new TextBox(QStringLiteral("txtScale"), scale);
    txtScale->Move(420, 420, 1500, 315);
    txtScale->setMaxLength(6);

    Frame* other = frame(page, QStringLiteral("その他"), 120, 5160, 6700, 1260);
    label(other, QStringLiteral("寸法引き出し線の長さ"), 120, 300, 2200);
    txtHojoLen = new TextBox(QStringLiteral("txtHojoLen"), other);
    txtHojoLen->Move(2400, 240, 900, 315);
    label(other, QStringLiteral("mm"), 3360, 300, 400);
    label(other, QStringLiteral("多角形の閉じ方"), 120, 630, 2200);
    chkSnap = new CheckBox(QStringLiteral("chkSnap"), other);
    chkSnap->Move(2400, 600, 2600, 300);
    chkSnap->setCaption(QStringLiteral("自動で閉じる"));
    label(other, QStringLiteral("画像サイズ"), 120, 930, 2200);
    chkPictAdj = new CheckBox(QStringLiteral("chkPictAdj"), other);
    chkPictAdj->Move(2400, 900, 2600, 300);
    chkPictAdj->setCaption(QStringLiteral("縦横比を調整する"));
    chkPictAdj->setToolTipText(QStringLiteral("画像が傾いている場合は、誤差が大きくなります。"));
}

void frmOption::buildTilt(QWidget* page)
{
    Frame* points = frame(page, QStringLiteral("補正点（mm）"), 240, 600, 6400, 2400);
    label(points, QStringLiteral("Ｘ"), 1400, 240, 400);
    label(points, QStringLiteral("Ｙ"), 2600, 240, 400);
    label(points, QStringLiteral("左端"), 120, 540, 800);
    label(points, QStringLiteral("右端"), 120, 960, 800);
    const QString hosei = QStringLiteral("txtHosei");
    for (int i = 0; i <= 3; ++i)
        box(txtHosei, hosei, i, points, 1000 + 1200 * (i % 2), 480 + 420 * (i / 2), 1100, 5);
    label(points, QStringLiteral("傾きθ"), 120, 1440, 800);
    label(points, QStringLiteral("補正角"), 120, 1860, 800);
    for (int i = 4; i <= 7; ++i) {
        const int row = (i - 4) % 2, radians = (i - 4) / 2;
        box(txtHosei, hosei, i, points, 1000 + 2100 * radians, 1380 + 420 * row, 1300);
    }
    label(points, QStringLiteral("RAD"), 2500, 1440, 500);
    label(points, QStringLiteral("RAD"), 2500, 1860, 500);
    cmdAngSet = new CommandButton(QStringLiteral("cmdAngSet"), page);
    cmdAngSet->Move(5280, 3240, 1215, 375);
    cmdAngSet->setCaption(QStringLiteral("設定"));
}

void frmOption::buildKnownDistance(QWidget* page)
{
    const QString xy = QStringLiteral("txtXY");
    const QString frames[] = {QStringLiteral("水平距離"), QStringLiteral("垂直距離")};
    for (int pair = 0; pair <= 1; ++pair) {
        Frame* f = frame(page, frames[pair], 120, 480 + 2520 * pair, 6700, 2400);
        const int first = 6 * pair;
        label(f, QStringLiteral("X"), 1400, 240, 400);
        label(f, QStringLiteral("Y"), 2600, 240, 400);
        label(f, QStringLiteral("始点"), 120, 540, 800);
        label(f, QStringLiteral("終点"), 120, 960, 800);
        for (int i = 0; i <= 3; ++i)
            box(txtXY, xy, first + i, f, 1000 + 1200 * (i % 2), 480 + 420 * (i / 2), 1100);
        label(f, QStringLiteral("距離・寸法"), 120, 1740, 900);
        label(f, QStringLiteral("画面上"), 1200, 1380, 900);
        label(f, QStringLiteral("図面上"), 2760, 1380, 900);
        box(txtXY, xy, first + 4, f, 1200, 1680, 1000);
        label(f, QStringLiteral("mm"), 2240, 1740, 400);
        box(txtXY, xy, first + 5, f, 2760, 1680, 1000);
        lblUnit.add(pair, new Label(QStringLiteral("lblUnit"), f)).Move(3800, 1740, 700, 255);
        label(f, QStringLiteral("縮尺 1/"), 4500, 1740, 800);
        lblRecio.add(pair, new Label(QStringLiteral("lblRecio"), f)).Move(5300, 1740, 1200, 255);
    }
    label(page, QStringLiteral("扁平率"), 240, 5700, 800);
    lblRecio.add(2, new Label(QStringLiteral("lblRecio"), page)).Move(1100, 5700, 1000, 255);
    cmdSettei = new CommandButton(QStringLiteral("cmdSettei"), page);
    cmdSettei->Move(5400, 5640, 1215, 375);
    cmdSettei->setCaption(QStringLiteral("設定"));
}

void frmOption::buildKnownPosition(QWidget* page)
{
    ControlArray<TextBox>* pictures[] = {&txtPict_mm1, &txtPict_mm2};
    ControlArray<TextBox>* rows[] = {&txtKeido1, &txtIdo1, &txtKeido2, &txtIdo2};
    const QString names[] = {QStringLiteral("txtKeido1"), QStringLiteral("txtIdo1"), QStringLiteral("txtKeido2"),
                             QStringLiteral("txtIdo2")};
    for (int point = 0; point <= 1; ++point) {
        Frame* f = frame(page, point == 0 ? QStringLiteral("対応点１") : QStringLiteral("対応点２"), 120,
                         480 + 2280 * point, 6700, 2160);
        const QString name = point == 0 ? QStringLiteral("txtPict_mm1") : QStringLiteral("txtPict_mm2");
        box(*pictures[point], name, 0, f, 420, 300, 1100);
        box(*pictures[point], name, 1, f, 2000, 300, 1100);
        label(f, QStringLiteral("X"), 120, 360, 300);
        label(f, QStringLiteral("Y"), 1700, 360, 300);
        for (int r = 0; r <= 1; ++r) {
            const int row = 2 * point + r, top = 840 + 480 * r;
            ControlArray<TextBox>& angle = *rows[row];
            label(f, r == 0 ? QStringLiteral("経度") : QStringLiteral("緯度"), 120, top + 60, 500);
            // A longitude has three degree digits, a latitude two.
            // The limits count digits: a sign, a blank or a unit mark typed
            // takes no digit's place.
            box(angle, names[row], 0, f, 700, top, 600, r == 0 ? 3 : 2);
            box(angle, names[row], 1, f, 1560, top, 500, 2);
            box(angle, names[row], 2, f, 2320, top, 1000, 7);
            for (int i = 0; i <= 2; ++i)
                angle(i).setLengthCount(TextBox::LengthCount::digits);
            box(angle, names[row], 3, f, 3700, top, 1600, 15);
            label(f, QStringLiteral("°"), 1320, top + 60, 200);
            label(f, QStringLiteral("’"), 2080, top + 60, 200);
            label(f, QStringLiteral("’’"), 3340, top + 60, 300);
            label(f, QStringLiteral("秒"), 5320, top + 60, 300);
        }
    }
    for (int i = 0; i <= 7; ++i)
        lblPara.add(i, new Label(QStringLiteral("lblPara"), page)).Move(240 + 2700 * (i % 2), 5160 + 300 * (i / 2), 2600, 255);
    cmdCnv = new CommandButton(QStringLiteral("cmdCnv"), page);
    cmdCnv->Move(5520, 5760, 1215, 375);
    cmdCnv->setCaption(QStringLiteral("設定"));
}

void frmOption::connectHandlers()
{
    const auto selectAll = [](TextBox& t) {
        t.GotFocus = [&t] {
            t.setSelStart(0);
            t.setSelLength(99);
        };
    };
    cmdOK->Click = [this] { cmdOK_Click(); };
    SSTab->Click = [this](int previous) { SSTab_Click(previous); };
    optMOde.forEach([this](OptionButton& o) { o.Click = [this](int index) { optMOde_Click(index); }; });
    optUnitD.forEach([this](OptionButton& o) {
        o.Click = [this](int index) { optUnitD_Click(index); };
        o.KeyPress = [this](int index, int& key) { optUnitD_KeyPress(index, key); };
    });
    optUnitS.forEach([this](OptionButton& o) { o.Click = [this](int index) { optUnitS_Click(index); }; });
    vscDPointD->Change = [this] { vscDPointD_Change(); };
    vscDPointS->Change = [this] { vscDPointS_Change(); };
    for (TextBox* t : {txtScale, txtHojoLen}) {
        selectAll(*t);
        t->KeyPress = [this, t](int& key) { txtNumber_KeyPress(*t, key); };
        t->LostFocus = [this, t] { txtNumber_LostFocus(*t); };
    }
    chkSnap->Click = [this] { chkSnap_Click(); };
    chkPictAdj->Click = [this] { chkPictAdj_Click(); };

    txtHosei.forEach([&](TextBox& t) {
        selectAll(t);
        t.KeyPress = [this](int index, int& key) { txtHosei_KeyPress(index, key); };
        t.LostFocus = [this](int index) { txtHosei_LostFocus(index); };
    });
    cmdAngSet->Click = [this] { cmdAngSet_Click(); };
    txtXY.forEach([&](TextBox& t) {
        selectAll(t);
        t.KeyPress = [this](int index, int& key) { txtXY_KeyPress(index, key); };
        t.LostFocus = [this](int index) { txtXY_LostFocus(index); };
    });
    cmdSettei->Click = [this] { cmdSettei_Click(); };
    int point = 0;
    for (ControlArray<TextBox>* picture : {&txtPict_mm1, &txtPict_mm2}) {
        picture->forEach([&, point](TextBox& t) {
            selectAll(t);
            t.KeyPress = [this, point](int index, int& key) { txtPict_KeyPress(point, index, key); };
            t.LostFocus = [this, point](int index) { txtPict_LostFocus(point, index); };
        });
        ++point;
    }
    for (int row = 0; row <= 3; ++row) {
        for (int i = 0; i <= 3; ++i) {
            TextBox& t = angleBox(row, i);
            selectAll(t);
            t.KeyPress = [this, row](int index, int& key) { txtAngle_KeyPress(row, index, key); };
            t.LostFocus = [this, row](int index) { txtAngle_LostFocus(row, index); };
            if (i <= 2)
                t.LengthRefused = [this, row](int index) { txtAngle_LengthRefused(row, index); };
        }
    }
    cmdCnv->Click = [this] { cmdCnv_Click(); };
}

TextBox& frmOption::angleBox(int row, int index)
{
    ControlArray<TextBox>* rows[] = {&txtKeido1, &txtIdo1, &txtKeido2, &txtIdo2};
    return (*rows[row])(index);
}

frmEdit* frmOption::fncEditor()
{
    return Instance<frmEdit>::pointer();
}
