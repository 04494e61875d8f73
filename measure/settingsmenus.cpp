#include "measure/settingsmenus.h"

#include "app/globals.h"
#include "editor/frmEdit.h"
#include "measure/unitnames.h"
#include "platform/vbruntime.h"

#include <utility>

using platform::Menu;

namespace measure {

QString fncPreset_Caption(const QString& caption, const QString& unitName, double metres, double perMetre)
{
    const QString number = metres != 0 ? vb::CStr(metres * perMetre) : caption.section(QLatin1Char(' '), 0, 0);
    return number + QLatin1Char(' ') + unitName;
}

void subShow_Settings(frmEdit& e)
{
    subSet_UnitNames();
    const bool inMetres = GE_booModeKei && GE_intUnitDIndex >= 0 && GE_intUnitDIndex < UnitCount;
    e.popMesInput->setCaption(fncPreset_Caption(e.popMesInput->Caption(), GE_strUnitD,
                                                inMetres ? e.dblPresetDis : 0,
                                                inMetres ? GE_dblChgMToOD[std::size_t(GE_intUnitDIndex)] : 1));
    // A length none of the items offers leaves none ticked.
    const std::pair<Menu*, float> lengths[] = {{e.popMesHj05, 5.0f},  {e.popMesHj10, 10.0f}, {e.popMesHj15, 15.0f},
                                               {e.popMesHj20, 20.0f}, {e.popMesHj25, 25.0f}, {e.popMesHj30, 30.0f}};
    for (const auto& [item, length] : lengths)
        item->setChecked(GE_sngHojoLen == length);
}

}  // namespace measure
