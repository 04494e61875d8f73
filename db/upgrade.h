#pragma once
// The one schema upgrade, as the start window and the database-file manager
// run it after the user agreed: add tHatching.iTilt, then stamp the version.

namespace mdlSQL {

// Returns true when the file is at the current version afterwards. A column
// that cannot be added stops the upgrade (its error box was shown) and the
// program goes on with the old version.
bool subRun_Upgrade();

// Who offers the upgrade: the start window's No goes on with the old
// version; the manager's No also warns that nothing can be saved.
enum class UpgradeOffer { StartWindow, Manager };

// The upgrade offer of an open database older than the current version:
// Yes upgrades (and reads tSystem again), No goes on with the old version,
// Cancel ends the program at once. Nothing is asked of a current database.
void subOffer_Upgrade(UpgradeOffer who);

}  // namespace mdlSQL
