// The hand-over: a new kind lays the sheet out, a new index shows the
// object's current values. Both run inside the editor's write.

#include "properties/frmPropaty.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "properties/sheetrules.h"

using platform::ComboBox;
using platform::LabelElement;

namespace {

// Every value box with its placeholder, in the order the layout resets them.
struct Placeholder {
    ComboBox* box;
    const char* text;
};

}  // namespace

void frmPropaty::txtObjName_Change()
{
    subApply_Typed();
    ++intOwnStep;
    subLayout();
    --intOwnStep;
}

void frmPropaty::txtIndex_Change()
{
    subApply_Typed();
    if (booFormLoad || txtIndex->Text().isEmpty())
        return;
    bool ok = false;
    const int i = txtIndex->Text().toInt(&ok);
    if (!ok || i < 0 || i > 32767)
        return;
    ++intOwnStep;
    subShowValues(i);
    --intOwnStep;
}

// Text typed into the pitch or tilt box goes to the object it was typed for
// before another object is handed over, whatever the order in which the
// window system delivers the focus loss and the click.
void frmPropaty::subApply_Typed()
{
    if (std::optional<Target> t = std::exchange(typedPitch, std::nullopt))
        subSet_Pitch(cmbPitch->Text(), *t);
    if (std::optional<Target> t = std::exchange(typedTilt, std::nullopt))
        subSet_Tilt(cmbTilt->Text(), *t);
}

void frmPropaty::subLayout()
{
    stsBar->Panels(1).setText(QString());
    stsBar->Panels(2).setText(QString());
    const Placeholder boxes[] = {
        {&cmbDrawMode(0), "ドローモード"},   {&cmbDrawMode(1), "ドローモード"},
        {&cmbBorderStyle(0), "境界のスタイル"}, {&cmbBorderStyle(1), "ドロースタイル"},
        {&cmbBorderStyle(2), "境界のスタイル"}, {&cmbBackStyle(0), "背景スタイル"},
        {&cmbBackStyle(1), "背景スタイル"},   {cmbFillStyle, "塗りつぶしスタイル"},
        {cmbShape, "シェイプ"},               {&cmbBorderWidth(0), "境界の幅"},
        {&cmbBorderWidth(1), "線の幅"},       {cmbHatchStyle, "スタイル"},
        {cmbPitch, "ピッチ"},                 {cmbTilt, "傾斜角度"},
    };
    for (const Placeholder& p : boxes) {
        setBoxText(*p.box, QString::fromUtf8(p.text));
        p.box->setEnabled(false);
    }
    for (int i = 0; i <= cmdColor.UBound(); ++i)
        cmdColor(i).setEnabled(false);
    cmdFont->setEnabled(false);
    cmbAlign->setEnabled(false);
    cmbApper->setEnabled(false);
    if (booFormLoad)
        return;
    const std::optional<sheetrules::Layout> layout = sheetrules::layoutOf(txtObjName->Text());
    if (!layout)
        return;
    setCaption(layout->caption);
    const auto enable = [](std::initializer_list<QWidget*> controls) {
        for (QWidget* c : controls)
            c->setEnabled(true);
    };
    if (layout->label)
        enable({cmbAlign, cmbApper, &cmbBorderStyle(2), &cmbBackStyle(1), cmdFont, &cmdColor(4), &cmdColor(5)});
    if (layout->line || layout->shape)
        enable({&cmbDrawMode(0), &cmbBorderStyle(0), &cmbBorderWidth(0), &cmdColor(0)});
    if (layout->shape)
        enable({cmbShape, cmbFillStyle, &cmbBackStyle(0), &cmdColor(1), &cmdColor(2)});
    if (layout->hatching) {
        enable({&cmbDrawMode(1), &cmbBorderStyle(1), &cmbBorderWidth(1), cmbHatchStyle, cmbPitch, &cmdColor(3)});
        cmbTilt->setEnabled(GE_tpSystem.System_Id >= sheetrules::TiltSchema);
    }
}

void frmPropaty::subShowValues(int i)
{
    stsBar->Panels(2).setText(QString::number(i));
    frmEdit* e = editor();
    const Target t{txtObjName->Text(), i};
    // An index that names no element (a stale hand-over) shows nothing.
    if (!e || !fncExists(t))
        return;
    const QString& kind = t.kind;
    const auto showLine = [this](const platform::LineElement& l) {
        select(cmbDrawMode(0), l.DrawMode - 1);
        select(cmbBorderStyle(0), l.BorderStyle);
        select(cmbBorderWidth(0), l.BorderWidth - 1);
    };
    QString tag;
    if (kind == QLatin1String("lineHikidashi") || kind == QLatin1String("lineDsSave")
        || kind == QLatin1String("linePS")) {
        auto& lines = kind == QLatin1String("lineHikidashi") ? e->lineHikidashi
                      : kind == QLatin1String("lineDsSave") ? e->lineDsSave
                                                             : e->linePS;
        showLine(lines(i));
        tag = lines(i).Tag;
    } else if (kind == QLatin1String("shpShape")) {
        const platform::ShapeElement& s = e->shpShape(i);
        select(cmbDrawMode(0), s.DrawMode - 1);
        select(cmbBorderStyle(0), s.BorderStyle);
        select(cmbBackStyle(0), s.BackStyle);
        select(*cmbFillStyle, s.FillStyle);
        select(cmbBorderWidth(0), s.BorderWidth - 1);
        select(*cmbShape, s.Shape);
        tag = s.Tag;
    } else if (kind == QLatin1String("lblKyori")) {
        showLine(e->lineDsSave(i));
        const LabelElement& l = e->lblKyori(i);
        select(*cmbAlign, l.Alignment);
        select(*cmbApper, l.Appearance);
        select(cmbBorderStyle(2), l.BorderStyle);
        select(cmbBackStyle(1), e->shpSnpo(2 * i).BackStyle);
        tag = l.Tag;
    } else if (kind == QLatin1String("lblKeiroS") || kind == QLatin1String("lblMoji")
               || kind == QLatin1String("lblKeiIdoS")) {
        auto& labels = kind == QLatin1String("lblKeiroS") ? e->lblKeiroS
                       : kind == QLatin1String("lblMoji") ? e->lblMoji
                                                          : e->lblKeiIdoS;
        subShowLabel(labels(i));
        tag = labels(i).Tag;
    } else if (kind == QLatin1String("lblMensekiS")) {
        subShowLabel(e->lblMensekiS(i));
        subShowHatching(i);
        tag = e->lblMensekiS(i).Tag;
    }
    stsBar->Panels(1).setText(tag);
}

void frmPropaty::subShowLabel(const LabelElement& l)
{
    select(*cmbAlign, l.Alignment);
    select(*cmbApper, l.Appearance);
    select(cmbBorderStyle(2), l.BorderStyle);
    select(cmbBackStyle(1), l.BackStyle);
}

void frmPropaty::subShowHatching(int i)
{
    const typHatching& h = GE_tpHatching[i];
    select(*cmbHatchStyle, h.iStyle);
    select(*cmbPitch, h.iPitch - 1);
    int found = -1;
    for (int k = 0; k < cmbTilt->ListCount() && found < 0; ++k) {
        if (cmbTilt->List(k).toInt() == h.iTilt)
            found = k;
    }
    if (found < 0) {
        cmbTilt->AddItem(QString::number(h.iTilt));
        found = cmbTilt->ListCount() - 1;
    }
    select(*cmbTilt, found);
    select(cmbDrawMode(1), h.DrawMode - 1);
    select(cmbBorderStyle(1), h.BorderStyle);
    select(cmbBorderWidth(1), h.BorderWidth - 1);
}
