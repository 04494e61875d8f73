#include "objects/objectarrays.h"

#include "app/globals.h"
#include "measure/resulttag.h"

namespace mdlObjects {

QString fncKey(const platform::Element& element) { return ResultTag::fncTag_Key(element.Tag); }

QString fncPrefix(const QString& tag)
{
    const qsizetype bar = tag.indexOf(QLatin1Char('_'));
    return bar < 0 ? QString() : tag.left(bar);
}

void subTake(platform::LabelElement& to, const platform::LabelElement& from)
{
    to.Caption = from.Caption.get();
    to.ToolTipText = from.ToolTipText.get();
    to.Tag = from.Tag;
    to.Alignment = from.Alignment.get();
    to.Appearance = from.Appearance.get();
    to.Left = from.Left.get();
    to.Top = from.Top.get();
    to.FontName = from.FontName.get();
    to.FontSize = from.FontSize.get();
    to.FontBold = from.FontBold.get();
    to.FontItalic = from.FontItalic.get();
    to.FontUnderline = from.FontUnderline.get();
    to.FontStrikethrough = from.FontStrikethrough.get();
    to.ForeColor = from.ForeColor.get();
    to.BackColor = from.BackColor.get();
    to.BackStyle = from.BackStyle.get();
    to.BorderStyle = from.BorderStyle.get();
    to.Visible = from.Visible.get();
}

void subTake(platform::LineElement& to, const platform::LineElement& from)
{
    to.X1 = from.X1.get();
    to.Y1 = from.Y1.get();
    to.X2 = from.X2.get();
    to.Y2 = from.Y2.get();
    to.BorderColor = from.BorderColor.get();
    to.BorderStyle = from.BorderStyle.get();
    to.BorderWidth = from.BorderWidth.get();
    to.DrawMode = from.DrawMode.get();
    to.Tag = from.Tag;
    to.Visible = from.Visible.get();
}

void subTake_Look(platform::LabelElement& label, const platform::LabelElement& look)
{
    label.Alignment = look.Alignment;
    label.Appearance = look.Appearance;
    label.ForeColor = look.ForeColor;
    label.BackColor = look.BackColor;
    label.BackStyle = look.BackStyle;
    label.BorderStyle = look.BorderStyle;
    label.FontBold = look.FontBold;
    label.FontItalic = look.FontItalic;
    label.FontName = look.FontName;
    label.FontSize = look.FontSize * GE_sngZoom;
    label.FontStrikethrough = look.FontStrikethrough;
    label.FontUnderline = look.FontUnderline;
}

void subTake(platform::ShapeElement& to, const platform::ShapeElement& from)
{
    to.Left = from.Left.get();
    to.Top = from.Top.get();
    to.setWidth(from.Width());
    to.setHeight(from.Height());
    to.BackColor = from.BackColor.get();
    to.BorderColor = from.BorderColor.get();
    to.FillColor = from.FillColor.get();
    to.BackStyle = from.BackStyle.get();
    to.BorderStyle = from.BorderStyle.get();
    to.BorderWidth = from.BorderWidth.get();
    to.FillStyle = from.FillStyle.get();
    to.Shape = from.Shape.get();
    to.DrawMode = from.DrawMode.get();
    to.Tag = from.Tag;
    to.Visible = from.Visible.get();
}

}  // namespace mdlObjects
