#include "measure/hatchcache.h"

#include "app/globals.h"
#include "platform/files.h"

namespace mdlFileAccess {

void subKill_Bin()
{
    platform::files::killPattern(GE_strTempPath, QStringLiteral("*.bin"));
}

}  // namespace mdlFileAccess
