#include "platform/printwaits.h"

namespace platform {

namespace {

PrintWaits& waits()
{
    static PrintWaits w;
    return w;
}

}  // namespace

const PrintWaits& printWaits()
{
    return waits();
}

void setPrintWaits(const PrintWaits& w)
{
    waits() = w;
}

}  // namespace platform
