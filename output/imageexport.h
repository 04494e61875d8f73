#pragma once
// Settings of the bitmap export that tests reach.

#include <functional>

namespace mdlImageExport {

// Rows rendered at a time; 0 lets the writer choose.
inline int stripRows = 0;
// Called by the renderer between its line and label stages; a test makes
// it raise to check that a failed export leaves everything as it was.
inline std::function<void()> failAt;
inline void checkpoint()
{
    if (failAt)
        failAt();
}

}  // namespace mdlImageExport
