// The readouts of a map point: X and Y in status panels 2 and 3, the
// longitude and latitude in panel 1, and the texts a position label takes
// from them (its comment and its tag).

#include "editor/frmEdit.h"

#include "app/globals.h"
#include "platform/vbruntime.h"

void frmEdit::subDisp_Position(float x, float y)
{
    const QString px = QStringLiteral("X:") + vb::Format(x, QStringLiteral("#####0.###0"));
    const QString py = QStringLiteral("Y:") + vb::Format(y, QStringLiteral("#####0.###0"));
    if (GE_booModeDis) {
        stsTip->Panels(2).setText(px);
        stsTip->Panels(3).setText(py);
        strKeiIdoDMS = px + QLatin1Char(',') + py;
        strKeiIdoSec = vb::CStr(x) + QLatin1Char(',') + vb::CStr(y);
    }
    if (GE_booModeKei) {
        strPositionShown = fncPix_KeiIdoText(x, y);
        stsTip->Panels(1).setText(strPositionShown);
        stsTip->Panels(2).setText(px);
        stsTip->Panels(3).setText(py);
    }
}

// No point of the map is under the pointer: the readouts name none. Panel 1
// keeps a tip written over the position since.
void frmEdit::subClear_Position()
{
    stsTip->Panels(2).setText(QString());
    stsTip->Panels(3).setText(QString());
    if (GE_booModeKei && stsTip->Panels(1).Text() == strPositionShown)
        stsTip->Panels(1).setText(QString());
}
