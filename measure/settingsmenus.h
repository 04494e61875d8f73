#pragma once
// What the editor's menus show of the open drawing's settings: the unit
// names the captions print, the preset item's unit and the tick of the
// extension-line length.

#include <QString>

class frmEdit;

namespace measure {

// The preset item's caption once the distance unit is `unitName`: its
// number, a blank and the name. A preset held in the unit keeps its number;
// one held in metres (the longitude/latitude mode's; 0 while there is none)
// is restated by `perMetre`, the unit's factor from metres.
QString fncPreset_Caption(const QString& caption, const QString& unitName, double metres, double perMetre);

// Brings the unit names (from the unit indexes) and those menu items in
// line with the settings. Run wherever the settings are set: the editor's
// defaults, a drawing loaded or brought in, the options window.
void subShow_Settings(frmEdit& e);

}  // namespace measure
