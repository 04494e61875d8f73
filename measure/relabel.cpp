// The label commands that re-express a kept result label in another unit or
// with other decimals. The tag holds the value; the caption is rendered from
// it, so going back and forth never accumulates the caption's rounding.

#include "editor/frmEdit.h"
#include "measure/resulttag.h"

using namespace platform;

namespace {

void apply(LabelElement& label, const ResultTag::typRelabel& relabel)
{
    if (!relabel.changed)
        return;
    label.Caption = relabel.caption;
    label.Tag = relabel.tag;
}

}  // namespace

void frmEdit::subChg_UnitDistance(LabelElement& label, qint16 unit)
{
    apply(label, ResultTag::fncChg_UnitDistance(label.Tag, unit));
}

void frmEdit::subChg_UnitArea(LabelElement& label, qint16 unit)
{
    const QString oldTag = label.Tag;
    const ResultTag::typRelabel relabel = ResultTag::fncChg_UnitArea(oldTag, unit);
    if (!relabel.changed)
        return;
    apply(label, relabel);
    // The area's sides carry its whole tag; those that still do follow it.
    for (int i = 0; i < linePS.UBound(); ++i) {
        if (linePS.exists(i) && linePS(i).Tag == oldTag)
            linePS(i).Tag = relabel.tag;
    }
}

void frmEdit::subChg_DecimalPoint(LabelElement& label, qint16 decimals, bool area)
{
    apply(label, ResultTag::fncChg_DecimalPoint(label.Tag, decimals, area));
}
