#include "editor/frmEdit.h"

#include "db/mdlDB.h"
#include "platform/application.h"

#include <QStyle>
#include <QToolBar>

using namespace platform;

namespace {

// Temporary marks are drawn with the exclusive-or pen so that they show on
// any picture and vanish when drawn again; yellow shows blue over white.
constexpr qint32 kMarkColor = 0x00FFFF;
constexpr qint32 kRed = 0x0000FF;
constexpr qint32 kWorkspace = 0x808080;
constexpr qint32 kReadoutBack = 0xE1FFFF;

void markLine(LineElement& line, int style = 1)
{
    line.BorderColor = kMarkColor;
    line.BorderStyle = style;
    line.DrawMode = vbXorPen;
    line.Visible = false;
}

void markShape(ShapeElement& shape, int kind, float size)
{
    shape.Shape = kind;
    shape.setWidth(size);
    shape.setHeight(size);
    shape.BorderColor = kMarkColor;
    shape.FillStyle = 1;
    shape.DrawMode = vbXorPen;
    shape.Visible = false;
}

void readout(LabelElement& label, const QString& name)
{
    label.Name = name;
    label.AutoSize = true;
    label.BorderStyle = 1;
    label.BackStyle = 1;
    label.BackColor = kReadoutBack;
    label.Visible = false;
    // A readout sits where the user is measuring (a short line's end lies
    // under its length): the click there is the map's.
    label.TransparentForMouse = true;
}

void resultLabel(LabelElement& label)
{
    label.AutoSize = true;
    label.BackStyle = 1;
    label.Visible = false;
}

}  // namespace

frmEdit::frmEdit() : Form(QStringLiteral("frmEdit"))
{
    setCentralWidget(m_client);
    buildView();
    buildToolbar();
    buildStatusBars();
    buildElements();
    buildPaperFrames();
    buildMenus();
    buildPopups();
    // The objects on the map are all that is left of a drawing whose saves
    // went with a lost transaction: the next save must write them again.
    mdlDB::subWatch_Loss(this, [this] { booDrawChange = true; });
    buildCalibration();
}

frmEdit::~frmEdit() = default;

void frmEdit::buildView()
{
    pictWindow->setScaleMode(vbPixels);
    pictWindow->setBackColor(kWorkspace);
    pictMap->setScaleMode(vbMillimeters);
    pictOrg->setScaleMode(vbMillimeters);
    pictOrg->hide();

    vscY = new VScrollBar(QStringLiteral("vscY"), m_client);
    hscX = new HScrollBar(QStringLiteral("hscX"), m_client);
    vscY->setMax(0);
    hscX->setMax(0);
    vscY->Change = [this] { vscY_Change(); };
    hscX->Change = [this] { hscX_Change(); };
}

void frmEdit::buildToolbar()
{
    Toolbar1 = new Toolbar(QStringLiteral("Toolbar1"), m_client);
    Toolbar1->toolBar()->setIconSize(QSize(24, 24));
    const auto standard = [this](QStyle::StandardPixmap pixmap) { return style()->standardIcon(pixmap); };
    const auto glyph = [](const QString& text) { return glyphIcon(text, 24); };
    struct Button {
        const char* key;
        const char* tip;
        int style;
        QIcon icon;
    };
    const Button buttons[] = {
        {"open", "画像を開く", tbrDefault, standard(QStyle::SP_DialogOpenButton)},
        {"save", "上書き保存", tbrDefault, standard(QStyle::SP_DialogSaveButton)},
        {"print", "印刷", tbrDefault, glyph(QStringLiteral("印"))},
        {"magnify", "拡大", tbrDefault, glyph(QStringLiteral("拡"))},
        {"modosu", "読み出し時に戻す", tbrDefault, glyph(QStringLiteral("戻"))},
        {"reduce", "縮小", tbrDefault, glyph(QStringLiteral("縮"))},
        {"org", "原寸", tbrDefault, glyph(QStringLiteral("原"))},
        {"select", "選択モード", tbrButtonGroup, glyph(QStringLiteral("選"))},
        {"scale", "測定ツール", tbrButtonGroup, glyph(QStringLiteral("測"))},
        {"Line", "引き出し線", tbrButtonGroup, glyph(QStringLiteral("線"))},
        {"shape", "図形", tbrButtonGroup, glyph(QStringLiteral("□"))},
        {"InputMoji", "文字列入力", tbrButtonGroup, glyph(QStringLiteral("文"))},
        {"PlaceInfo", "位置情報を書き込みます", tbrButtonGroup, glyph(QStringLiteral("位"))},
    };
    for (const Button& b : buttons)
        Toolbar1->AddButton(QString::fromUtf8(b.key), QString::fromUtf8(b.tip), b.style, b.icon);
    Toolbar1->AddButton(QString(), QString(), tbrSeparator);
    Toolbar1->AddButton(QStringLiteral("Help"), QStringLiteral("ヘルプ"), tbrDefault,
                        glyph(QStringLiteral("？")));
    // The selecting tool is in force when the window opens.
    Toolbar1->Buttons(QStringLiteral("select")).setValue(tbrPressed);
    Toolbar1->setHeight(pixelsToTwips(45));
    Toolbar1->setAlign(1);
    Toolbar1->ButtonClick = [this](ToolbarButton& button) { Toolbar1_ButtonClick(button); };
}

void frmEdit::buildStatusBars()
{
    // Docked from the bottom up in the order made: stsBar lowest.
    stsBar = new StatusBar(QStringLiteral("stsBar"), m_client);
    stsBar->AddPanel();
    stsBar->AddPanel();
    stsBar->AddPanel();
    stsBar->Panels(1).setAutoSize(StatusPanel::sbrSpring);
    stsBar->Panels(2).setWidth(1800);
    stsBar->Panels(3).setWidth(3600);
    stsBar->Panels(4).setWidth(2400);  // the paper

    stsTip = new StatusBar(QStringLiteral("stsTip"), m_client);
    const int widths[] = {3000, 1400, 1400, 1400, 0, 1400, 900, 900};
    for (int i = 2; i <= 8; ++i)
        stsTip->AddPanel();
    for (int i = 1; i <= 8; ++i) {
        if (widths[i - 1] == 0)
            stsTip->Panels(i).setAutoSize(StatusPanel::sbrSpring);
        else
            stsTip->Panels(i).setWidth(widths[i - 1]);
    }
    // Panel 1 tells the next step in a whole sentence: it widens to its
    // text, never below its laid-out width.
    stsTip->Panels(1).setMinWidth(widths[0]);
    stsTip->Panels(1).setAutoSize(StatusPanel::sbrContents);
    stsTip->Panels(6).setText(QStringLiteral("選択モード"));
    stsTip->Panels(7).setText(QStringLiteral("OFF"));
    stsTip->Panels(8).setText(QStringLiteral("100%"));

    for (StatusBar* bar : {stsBar, stsTip}) {
        bar->setHeight(pixelsToTwips(22));
        bar->setAlign(2);
    }
}

void frmEdit::buildElements()
{
    linDefault.Name = QStringLiteral("linDefault");
    linDefault.BorderColor = kRed;
    linDefault.Visible = false;
    shpDefault.Name = QStringLiteral("shpDefault");
    shpDefault.Move(0, 0, 10, 5);
    shpDefault.BorderColor = kRed;
    shpDefault.Visible = false;
    lblDefault.Name = QStringLiteral("lblDefault");
    resultLabel(lblDefault);

    for (auto* lines : {&lineDsSave, &lineHojoSave, &linePS, &lineHikidashi}) {
        (*lines)(0).BorderColor = kRed;
        (*lines)(0).Visible = false;
    }
    shpShape(0).Move(0, 0, 10, 10);
    shpShape(0).BorderColor = kRed;
    shpShape(0).Visible = false;
    shpSnpo(0).Shape = 3;
    shpSnpo(0).Move(0, 0, 1.5f, 1.5f);
    shpSnpo(0).BorderColor = kRed;
    shpSnpo(0).Visible = false;
    for (auto* labels : {&lblKyori, &lblKeiroS, &lblMensekiS, &lblMoji, &lblKeiIdoS})
        resultLabel((*labels)(0));

    markLine(lineMenseki(0));
    markLine(lineHojo(0));
    for (int k = 1; k <= 3; ++k)
        lineHojo.Load(k);
    const std::pair<LineElement*, const char*> lines[] = {
        {&lineDistance, "lineDistance"}, {&lineCheck, "lineCheck"}, {&lineHintX, "lineHintX"}, {&lineHintY, "lineHintY"}};
    for (const auto& [line, name] : lines) {
        line->Name = QString::fromLatin1(name);
        markLine(*line, line == &lineHintX || line == &lineHintY ? 3 : 1);
    }
    // Large enough to be grabbed: the hit test wants the pointer well inside.
    markShape(shpCheck(0), 0, 4.0f);
    shpCheck.Load(1);
    markShape(shpPointer(0), 0, float(105 * 25.4 / 1440));  // 105 twips
    for (int k = 1; k <= 3; ++k)
        shpPointer.Load(k);
    shpCircle.Name = QStringLiteral("shpCircle");
    markShape(shpCircle, 3, 10.0f);
    shpZoom.Name = QStringLiteral("shpZoom");
    markShape(shpZoom, 0, 10.0f);
    shpZoom.BorderStyle = 3;
    shpSnap.Name = QStringLiteral("shpSnap");
    markShape(shpSnap, 3, 3.0f);

    readout(lblDistance, QStringLiteral("lblDistance"));
    readout(lblWidth, QStringLiteral("lblWidth"));
    readout(lblHeight, QStringLiteral("lblHeight"));
    readout(lblKeiIdo, QStringLiteral("lblKeiIdo"));
    readout(lblMenseki, QStringLiteral("lblMenseki"));
    readout(lblKeiro, QStringLiteral("lblKeiro"));
}
