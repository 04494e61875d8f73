#pragma once
// The per-area hatch-segment cache files in the work folder TEMP.

namespace mdlFileAccess {

// Deletes every "*.bin" file of the work folder (any case of the extension);
// files that cannot be deleted stay, silently.
void subKill_Bin();

}  // namespace mdlFileAccess
