// A click on a page number of the tiled print leaves that page out of the
// print, or takes it in again: the mark is the frame's fill.

#include "editor/frmEdit.h"

namespace {
constexpr qint32 Blue = 16711680;
}

void frmEdit::connectPageToggle()
{
    auto previous = lblPageR.onCreate;
    lblPageR.setOnCreate([this, previous](platform::LabelElement& label) {
        if (previous)
            previous(label);
        label.Click = [this](int index) { lblPageR_Click(index); };
    });
}

void frmEdit::lblPageR_Click(int index)
{
    platform::ShapeElement& frame = shpPrintWakuR(index);
    frame.BackStyle = frame.BackStyle == 0 ? 1 : 0;
    frame.BackColor = Blue;
}
