// Linked into every test program. The runtime's immediate end exits with
// status 0, which would make a test program that the code under test gives up
// in look as if it had passed: here it fails, naming the test function it
// stopped in. Tests that expect the end install their own handler over this.

#include "platform/events.h"

#include <QTest>
#include <cstdio>
#include <cstdlib>

namespace {

void endOutsideATestsAsking()
{
    const char* function = QTest::currentTestFunction();
    const char* row = QTest::currentDataTag();
    std::fprintf(stderr, "FAIL!  : the program's immediate end was reached in %s%s%s%s, which did not ask for it\n",
                 function ? function : "(no test function)", row ? "(" : "", row ? row : "", row ? ")" : "");
    std::fflush(stderr);
    std::_Exit(3);
}

const bool installed = (platform::setEndHandler(endOutsideATestsAsking), true);

}  // namespace
