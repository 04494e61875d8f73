// What the map's mouse-down and mouse-move call that finishing the mouse
// actions provides: snapping, the live readouts of lines and shapes, the
// distance objects that follow a moved line, and the mouse-up. Until then
// the snapped point is the pointer and the rest does nothing.

#include "editor/frmEdit.h"

using namespace platform;

void frmEdit::subSet_SnpoMark(ElementArray<LineElement>& /*lines*/, int /*i*/) {}

void frmEdit::subMove_KyoriMark(int /*i*/) {}

void frmEdit::pictMap_MouseUp(int /*button*/, int /*shift*/, float /*x*/, float /*y*/) {}
