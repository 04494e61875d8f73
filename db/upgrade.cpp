#include "db/upgrade.h"

#include "app/globals.h"
#include "db/mdlSQL.h"

namespace mdlSQL {

bool subRun_Upgrade()
{
    if (fncSQL_CreateFieldHatching() != 0)
        return false;
    if (fncSQL_System_UpdateBin(GE_tpSystem.System_Id, QStringLiteral("System_Id"),
                                QString::number(CurrentSystemId)) != 0)
        return false;
    fncSQL_GetSystemTable(GE_tpSystem);
    return GE_tpSystem.System_Id >= CurrentSystemId;
}

}  // namespace mdlSQL
