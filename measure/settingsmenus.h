#pragma once
// What the editor's menus show of the open drawing's settings: the unit
// names the captions print, the preset item's unit and the tick of the
// extension-line length.

class frmEdit;

namespace interaction {

// Brings the unit names (from the unit indexes) and those menu items in
// line with the settings. Run wherever the settings are set: the editor's
// defaults, a drawing loaded or brought in, the options window.
void subShow_Settings(frmEdit& e);

}  // namespace interaction
