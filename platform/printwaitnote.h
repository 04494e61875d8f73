#pragma once
// What the user sees while the program waits for the print scheduler
// (printscheduler.h), once the wait lasts: the busy pointer and a note over
// the window, "印刷サーバーの応答を待っています…", painted at each step of the
// wait; the user's input waits until the answer is in. The program hands
// it to the scheduler's check at its start.

#include "platform/printscheduler.h"

namespace platform {

std::unique_ptr<printscheduler::WaitNote> newPrintWaitNote();

}  // namespace platform
