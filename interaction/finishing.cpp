// What the map's mouse-down and mouse-move call that finishing the mouse
// actions provides: snapping, the live readouts of lines and shapes, the
// distance objects that follow a moved line, and the mouse-up. Until then
// the snapped point is the pointer and the rest does nothing.

#include "editor/frmEdit.h"

using namespace platform;

void frmEdit::subSnap_Point(float& outX, float& outY, float x, float y, bool /*hint*/, bool /*marker*/,
                            bool /*snapMarker*/, bool /*snapHint*/, bool /*grid*/, float /*gridSize*/,
                            float /*zoom*/, int /*index*/)
{
    outX = x;
    outY = y;
}

void frmEdit::subDisp_SegTip(LineElement& /*line*/, LabelElement& /*label*/, int /*n*/, float /*zoom*/) {}

void frmEdit::subDisp_SegLabel(LineElement& /*line*/, LabelElement& /*label*/, float /*zoom*/) {}

void frmEdit::subDisp_SizeOn(LabelElement& /*distance*/, LabelElement& /*width*/, LabelElement& /*height*/,
                             LineElement& /*line*/, ShapeElement& /*shape*/, int /*index*/, float /*zoom*/)
{
}

void frmEdit::subDisp_ShapeSize(ShapeElement& /*shape*/, LabelElement& /*width*/, LabelElement& /*height*/,
                                float /*zoom*/)
{
}

void frmEdit::subSet_SnpoMark(ElementArray<LineElement>& /*lines*/, int /*i*/) {}

void frmEdit::subMove_KyoriMark(int /*i*/) {}

void frmEdit::pictMap_MouseUp(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
