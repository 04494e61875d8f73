// Colours and fonts through the common dialog. A cancel ends the command
// before anything changes; the colour dialog keeps its last colour while
// the sheet is open, which is where it starts when no preset applies.

#include "properties/frmPropaty.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "objects/objectarrays.h"
#include "platform/ui.h"
#include "platform/vbruntime.h"
#include "properties/samekey.h"

using platform::LabelElement;

namespace {

void showError(const char* procedure, const vb::Error& error)
{
    vb::MsgBox(QString::fromLatin1(procedure) + QStringLiteral("():ｴﾗｰ番号 ") + vb::Str(qint32(error.number()))
                   + QStringLiteral(" ｴﾗｰが発生しました。") + vb::vbCr + error.description(),
               vb::vbOKOnly, QStringLiteral("ｴﾗｰ"));
}

}  // namespace

void frmPropaty::cmdColor_Click(int index)
{
    try {
        dlgFile.Flags = 3;
        Target t = target();
        frmEdit* e = editor();
        if (!e || !fncExists(t))
            return;
        const int i = t.index;
        const QString k = t.kind;
        auto label = [&]() -> LabelElement* {
            if (k == QLatin1String("lblKyori"))
                return &e->lblKyori(i);
            if (k == QLatin1String("lblMensekiS"))
                return &e->lblMensekiS(i);
            if (k == QLatin1String("lblKeiroS"))
                return &e->lblKeiroS(i);
            if (k == QLatin1String("lblMoji"))
                return &e->lblMoji(i);
            if (k == QLatin1String("lblKeiIdoS"))
                return &e->lblKeiIdoS(i);
            return nullptr;
        };
        auto line = [&]() -> platform::LineElement* {
            if (k == QLatin1String("lineHikidashi"))
                return &e->lineHikidashi(i);
            if (k == QLatin1String("lineDsSave"))
                return &e->lineDsSave(i);
            if (k == QLatin1String("linePS"))
                return &e->linePS(i);
            return nullptr;
        };
        const bool shape = k == QLatin1String("shpShape");
        const bool area = k == QLatin1String("lblMensekiS");
        const bool measure = area || k == QLatin1String("lblKeiroS");

        // The preset: the colour the button changes, where the object has one.
        if (index == 0 && line())
            dlgFile.Color = line()->BorderColor;
        else if (index == 0 && k == QLatin1String("lblKyori"))
            dlgFile.Color = e->lineDsSave(i).BorderColor;
        else if (index == 0 && shape)
            dlgFile.Color = e->shpShape(i).BorderColor;
        else if (index == 1 && shape)
            dlgFile.Color = e->shpShape(i).FillColor;
        else if (index == 2 && shape)
            dlgFile.Color = e->shpShape(i).BackColor;
        else if (index == 3 && area)
            dlgFile.Color = GE_tpHatching[i].BorderColor;
        else if (index == 4 && label())
            dlgFile.Color = label()->ForeColor;
        else if (index == 5 && label())
            dlgFile.Color = label()->BackColor;

        dlgFile.ShowColor();

        t = target();
        if (t.kind != k || t.index != i || !fncExists(t))
            return;
        const qint32 c = dlgFile.Color;
        bool wrote = true;
        if (index == 0 && line()) {
            line()->BorderColor = c;
            e->linDefault.BorderColor = c;
        } else if (index == 0 && (k == QLatin1String("lblKyori") || measure)) {
            samekey::subSetKey_Color(e->objectArrays(), QStringLiteral("BorderColor"), label()->Tag, c);
            e->linDefault.BorderColor = c;
        } else if (index == 0 && shape) {
            e->shpShape(i).BorderColor = c;
            e->shpDefault.BorderColor = c;
        } else if (index == 1 && shape) {
            e->shpShape(i).FillColor = c;
            e->shpDefault.FillColor = c;
        } else if (index == 2 && shape) {
            e->shpShape(i).BackColor = c;
            e->shpDefault.BackColor = c;
        } else if (index == 3 && area) {
            GE_tpHatching[i].BorderColor = c;
            changed();
            e->subReDraw_Hathing(i);
        } else if ((index == 4 || index == 5) && label()) {
            const bool fore = index == 4;
            (fore ? label()->ForeColor : label()->BackColor) = c;
            (fore ? e->lblDefault.ForeColor : e->lblDefault.BackColor) = c;
            if (measure)
                samekey::subSetKey_Color(e->objectArrays(), fore ? QStringLiteral("ForeColor") : QStringLiteral("BackColor"),
                                         label()->Tag, c);
        } else {
            wrote = false;
        }
        if (wrote)
            changed();
    } catch (const vb::Error& error) {
        if (error.number() != vb::errCancel)
            showError("cmdColor_Click", error);
    }
}

void frmPropaty::cmdFont_Click()
{
    const Target t = target();
    frmEdit* e = editor();
    if (!e || !fncExists(t))
        return;
    const int i = t.index;
    if (t.kind == QLatin1String("lblKyori"))
        fncSet_Font(e->lblKyori(i));
    else if (t.kind == QLatin1String("lblMoji"))
        fncSet_Font(e->lblMoji(i));
    else if (t.kind == QLatin1String("lblKeiIdoS"))
        fncSet_Font(e->lblKeiIdoS(i));
    else if (t.kind == QLatin1String("lblMensekiS") || t.kind == QLatin1String("lblKeiroS")) {
        LabelElement& label = t.kind == QLatin1String("lblMensekiS") ? e->lblMensekiS(i) : e->lblKeiroS(i);
        if (fncSet_Font(label))
            samekey::subSetKey_Font(e->objectArrays(), label.Tag, e->lblDefault);
    }
}

bool frmPropaty::fncSet_Font(LabelElement& label)
{
    try {
        dlgFile.Flags = 3;
        dlgFile.FontBold = label.FontBold;
        dlgFile.FontItalic = label.FontItalic;
        dlgFile.FontName = label.FontName;
        dlgFile.FontSize = label.FontSize;
        dlgFile.FontStrikethru = label.FontStrikethrough;
        dlgFile.FontUnderline = label.FontUnderline;
        dlgFile.ShowFont();
        for (LabelElement* l : {&label, &editor()->lblDefault}) {
            l->FontBold = dlgFile.FontBold;
            l->FontItalic = dlgFile.FontItalic;
            l->FontName = dlgFile.FontName;
            l->FontSize = dlgFile.FontSize;
            l->FontStrikethrough = dlgFile.FontStrikethru;
            l->FontUnderline = dlgFile.FontUnderline;
        }
        changed();
        return true;
    } catch (const vb::Error& error) {
        if (error.number() != vb::errCancel)
            showError("fncSet_Font", error);
        return false;
    }
}
