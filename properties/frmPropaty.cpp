#include "properties/frmPropaty.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "platform/application.h"
#include "platform/metrics.h"
#include "properties/sheetrules.h"

#include <QWidget>
#include <cmath>

using platform::ComboBox;
using platform::CommandButton;

namespace {

ComboBox* combo(const char* name, QWidget* frame, int top, const char* text, const char* tip)
{
    auto* box = new ComboBox(QString::fromLatin1(name), frame);
    box->Move(240, top, 1575, 300);
    box->setText(QString::fromUtf8(text));
    box->setToolTipText(QString::fromUtf8(tip));
    return box;
}

CommandButton* button(const char* name, QWidget* frame, int top, const char* caption)
{
    auto* b = new CommandButton(QString::fromLatin1(name), frame);
    b->Move(240, top, 1575, 375);
    b->setCaption(QString::fromUtf8(caption));
    return b;
}

platform::Frame* frame(const char* name, QWidget* client, const char* caption, int left, int top, int height)
{
    auto* f = new platform::Frame(QString::fromLatin1(name), client);
    f->Move(left, top, 2055, height);
    f->setCaption(QString::fromUtf8(caption));
    return f;
}

}  // namespace

frmPropaty::frmPropaty() : platform::Form(QStringLiteral("frmPropaty"))
{
    setFixedDialogBorder();
    setCaption(QStringLiteral("プロパティ"));
    auto* client = new QWidget(this);
    setCentralWidget(client);
    client->setFixedSize(platform::twipsToPixels(4695), platform::twipsToPixels(8535));
    lblCaption = new platform::Label(QStringLiteral("lblCaption"), client);
    lblCaption->Move(240, 0, 4215, 255);
    buildFrames();
    txtObjName = new platform::TextBox(QStringLiteral("txtObjName"), client);
    txtObjName->Move(2880, 5040, 855, 270);
    txtIndex = new platform::TextBox(QStringLiteral("txtIndex"), client);
    txtIndex->Move(2880, 5400, 855, 270);
    stsBar = new platform::StatusBar(QStringLiteral("stsBar"), client);
    stsBar->AddPanel();
    stsBar->Move(0, 8160, 4695, 375);
    dlgFile.CancelError = true;
    connectHandlers();
}

void frmPropaty::buildFrames()
{
    QWidget* client = centralWidget();
    Frame2 = frame("Frame2", client, "線分・図形", 240, 360, 3975);
    cmbDrawMode.add(0, combo("cmbDrawMode", Frame2, 360, "ドローモード", "ドローモード"));
    cmbBorderStyle.add(0, combo("cmbBorderStyle", Frame2, 720, "境界のスタイル", "境界のスタイル"));
    cmbBorderWidth.add(0, combo("cmbBorderWidth", Frame2, 1080, "境界線の幅", "線の幅"));
    cmbFillStyle = combo("cmbFillStyle", Frame2, 1440, "塗りつぶしスタイル", "塗りつぶしスタイル");
    cmbBackStyle.add(0, combo("cmbBackStyle", Frame2, 1800, "背景スタイル", "背景スタイル"));
    cmbShape = combo("cmbShape", Frame2, 2160, "シェイプ", "シェイプ");
    cmdColor.add(0, button("cmdColor", Frame2, 2640, "線の色..."));
    cmdColor.add(1, button("cmdColor", Frame2, 3000, "塗りつぶし色..."));
    cmdColor.add(2, button("cmdColor", Frame2, 3360, "背景色..."));

    Frame3 = frame("Frame3", client, "文字", 2400, 360, 3975);
    cmbAlign = combo("cmbAlign", Frame3, 360, "配置", "配置");
    cmbApper = combo("cmbApper", Frame3, 720, "立体", "立体");
    cmbBorderStyle.add(2, combo("cmbBorderStyle", Frame3, 1080, "境界のスタイル", "境界のスタイル"));
    cmbBackStyle.add(1, combo("cmbBackStyle", Frame3, 1440, "背景スタイル", "背景スタイル"));
    cmdFont = button("cmdFont", Frame3, 2640, "フォント...");
    cmdColor.add(4, button("cmdColor", Frame3, 3000, "前景色..."));
    cmdColor.add(5, button("cmdColor", Frame3, 3360, "背景色..."));

    // Its first list starts below the group's caption, as in the groups above.
    Frame1 = frame("Frame1", client, "ハッチング", 240, 4440, 3135);
    cmbDrawMode.add(1, combo("cmbDrawMode", Frame1, 360, "ドローモード", "ドローモード"));
    cmbBorderStyle.add(1, combo("cmbBorderStyle", Frame1, 720, "境界のスタイル", "境界のスタイル"));
    cmbBorderWidth.add(1, combo("cmbBorderWidth", Frame1, 1080, "境界線の幅", "線の幅"));
    cmbHatchStyle = combo("cmbHatchStyle", Frame1, 1440, "スタイル", "ハッチングスタイル");
    cmbPitch = combo("cmbPitch", Frame1, 1800, "ピッチ [mm]", "ピッチ [mm]");
    cmbTilt = combo("cmbTilt", Frame1, 2160, "傾斜角度", "斜線の角度");
    cmdColor.add(3, button("cmdColor", Frame1, 2640, "線の色..."));
}

void frmPropaty::connectHandlers()
{
    txtObjName->Change = [this] { txtObjName_Change(); };
    txtIndex->Change = [this] { txtIndex_Change(); };
    const auto swallow = [](int& keyAscii) { keyAscii = 0; };
    for (int i = 0; i <= 1; ++i) {
        cmbDrawMode(i).Click = [this](int index) { cmbDrawMode_Click(index); };
        cmbDrawMode(i).KeyPress = swallow;
        cmbBorderWidth(i).Click = [this](int index) { cmbBorderWidth_Click(index); };
        cmbBorderWidth(i).KeyPress = [this](int index, int& keyAscii) { cmbBorderWidth_KeyPress(index, keyAscii); };
        cmbBackStyle(i).Click = [this](int index) { cmbBackStyle_Click(index); };
        cmbBackStyle(i).KeyPress = swallow;
    }
    for (int i = 0; i <= 2; ++i) {
        cmbBorderStyle(i).Click = [this](int index) { cmbBorderStyle_Click(index); };
        cmbBorderStyle(i).KeyPress = swallow;
    }
    cmbFillStyle->Click = [this] { cmbFillStyle_Click(); };
    cmbShape->Click = [this] { cmbShape_Click(); };
    cmbAlign->Click = [this] { cmbAlign_Click(); };
    cmbApper->Click = [this] { cmbApper_Click(); };
    cmbHatchStyle->Click = [this] { cmbHatchStyle_Click(); };
    for (ComboBox* box : {cmbFillStyle, cmbShape, cmbAlign, cmbApper, cmbHatchStyle})
        box->KeyPress = swallow;
    cmbPitch->Click = [this] { cmbPitch_Click(); };
    cmbPitch->KeyPress = [this](int& keyAscii) { cmbPitch_KeyPress(keyAscii); };
    cmbPitch->LostFocus = [this] { cmbPitch_LostFocus(); };
    cmbPitch->Change = [this] {
        if (!intOwnStep)
            typedPitch = target();
    };
    cmbTilt->Click = [this] { cmbTilt_Click(); };
    cmbTilt->KeyPress = [this](int& keyAscii) { cmbTilt_KeyPress(keyAscii); };
    cmbTilt->LostFocus = [this] { cmbTilt_LostFocus(); };
    cmbTilt->Change = [this] {
        if (!intOwnStep)
            typedTilt = target();
    };
    for (int i = 0; i <= 5; ++i)
        cmdColor(i).Click = [this](int index) { cmdColor_Click(index); };
    cmdFont->Click = [this] { cmdFont_Click(); };
}

void frmPropaty::Form_Load()
{
    booFormLoad = true;
    GE_booPropaty = true;
    txtObjName->setVisible(false);
    txtIndex->setVisible(false);
    fillLists();
    platform::setTopMost(this, true);
    booFormLoad = false;
}

void frmPropaty::fillLists()
{
    ++intOwnStep;
    const auto fill = [](ComboBox& box, const QStringList& entries) {
        for (const QString& entry : entries)
            box.AddItem(entry);
    };
    for (int i = 0; i <= 1; ++i)
        fill(cmbDrawMode(i), sheetrules::drawModes());
    fill(cmbBorderStyle(0), sheetrules::lineStyles());
    fill(cmbBorderStyle(1), sheetrules::hatchLineStyles());
    fill(cmbBorderStyle(2), sheetrules::labelBorderStyles());
    fill(cmbBackStyle(0), sheetrules::backStyles());
    fill(cmbBackStyle(1), sheetrules::backStyles());
    fill(*cmbFillStyle, sheetrules::fillStyles());
    fill(*cmbShape, sheetrules::shapes());
    fill(cmbBorderWidth(0), sheetrules::numbers(1, 128));
    fill(cmbBorderWidth(1), sheetrules::numbers(1, 128));
    fill(*cmbHatchStyle, sheetrules::hatchStyles());
    fill(*cmbPitch, sheetrules::numbers(1, 100));
    fill(*cmbTilt, sheetrules::numbers(15, 80, 15));
    fill(*cmbAlign, sheetrules::alignments());
    fill(*cmbApper, sheetrules::appearances());
    --intOwnStep;
}

void frmPropaty::Form_Unload(int& cancel)
{
    (void)cancel;
    GE_booPropaty = false;
}

frmEdit* frmPropaty::editor() const { return platform::Instance<frmEdit>::pointer(); }

void frmPropaty::changed()
{
    if (frmEdit* e = editor()) {
        e->booDrawChange = true;
        // A new font or frame resizes a label: its grips go round the new box.
        e->subGrip_Follow();
    }
}

frmPropaty::Target frmPropaty::target() const
{
    Target t;
    t.kind = txtObjName->Text();
    bool ok = false;
    const double n = txtIndex->Text().trimmed().toDouble(&ok);
    if (ok && n >= 0 && n <= 32767)
        t.index = int(std::nearbyint(n));
    return t;
}

bool frmPropaty::fncExists(const Target& t) const
{
    frmEdit* e = editor();
    if (!e || t.index < 0)
        return false;
    const int i = t.index;
    const QString& k = t.kind;
    if (k == QLatin1String("lineHikidashi"))
        return e->lineHikidashi.exists(i);
    if (k == QLatin1String("lineDsSave"))
        return e->lineDsSave.exists(i);
    if (k == QLatin1String("linePS"))
        return e->linePS.exists(i);
    if (k == QLatin1String("shpShape"))
        return e->shpShape.exists(i);
    if (k == QLatin1String("lblKyori"))
        return e->lblKyori.exists(i) && e->lineDsSave.exists(i) && e->lineHojoSave.exists(2 * i)
               && e->lineHojoSave.exists(2 * i + 1) && e->shpSnpo.exists(2 * i) && e->shpSnpo.exists(2 * i + 1);
    if (k == QLatin1String("lblMensekiS"))
        return e->lblMensekiS.exists(i) && i < GE_tpHatching.size();
    if (k == QLatin1String("lblKeiroS"))
        return e->lblKeiroS.exists(i);
    if (k == QLatin1String("lblMoji"))
        return e->lblMoji.exists(i);
    if (k == QLatin1String("lblKeiIdoS"))
        return e->lblKeiIdoS.exists(i);
    return false;
}

void frmPropaty::setBoxText(ComboBox& box, const QString& text)
{
    ++intOwnStep;
    box.setText(text);
    --intOwnStep;
    noteWidth(box);
}

void frmPropaty::noteWidth(const ComboBox& box)
{
    for (int i = 0; i <= 1; ++i) {
        if (&box == &cmbBorderWidth(i))
            shownWidth[i] = box.Text();
    }
}

void frmPropaty::select(ComboBox& box, int position)
{
    ++intOwnStep;
    box.Tag = QStringLiteral("Change");
    if (position >= 0 && position < box.ListCount())
        box.setListIndex(position);
    // A value outside the list selects nothing, and no Click comes to take
    // the mark: it must not swallow the user's next choice.
    box.Tag.clear();
    --intOwnStep;
    noteWidth(box);
}

bool frmPropaty::consumeMark(ComboBox& box)
{
    if (box.Tag == QLatin1String("Change")) {
        box.Tag.clear();
        return true;
    }
    return false;
}
