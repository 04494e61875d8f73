#pragma once
// The one schema upgrade, as the start window and the database-file manager
// run it after the user agreed: add tHatching.iTilt, then stamp the version.

namespace mdlSQL {

// Returns true when the file is at the current version afterwards. A column
// that cannot be added stops the upgrade (its error box was shown) and the
// program goes on with the old version.
bool subRun_Upgrade();

}  // namespace mdlSQL
