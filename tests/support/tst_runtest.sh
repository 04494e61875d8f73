#!/bin/sh
# How runtest.sh tells ctest the end of a test program: a pass, a failure, a
# cut-short run, a run that ends badly after its summary, and a run that
# skipped all it had (status 77, shown by ctest as skipped, not passed).
runtest="$(dirname "$0")/runtest.sh"
failed=0
expect() {
    want=$1
    shift
    sh "$runtest" sh -c "$1" >/dev/null 2>&1
    got=$?
    if [ "$got" -ne "$want" ]; then
        echo "FAIL: status $got, not $want, for: $1"
        failed=1
    fi
}
init='echo "PASS   : T::initTestCase()"'
cleanup='echo "PASS   : T::cleanupTestCase()"'
expect 0 "$init; echo 'PASS   : T::f(row)'; echo 'SKIP   : T::g() no disk'; $cleanup; echo 'Totals: 3 passed, 0 failed, 1 skipped, 0 blacklisted, 1ms'"
expect 77 "$init; echo 'SKIP   : T::f(row) not root'; echo 'SKIP   : T::g() not root'; $cleanup; echo 'Totals: 2 passed, 0 failed, 2 skipped, 0 blacklisted, 1ms'"
expect 77 "echo 'SKIP   : T::initTestCase() no server'; $cleanup; echo 'Totals: 1 passed, 0 failed, 1 skipped, 0 blacklisted, 1ms'"
expect 1 "$init; echo 'FAIL!  : T::f() wrong'; echo 'Totals: 1 passed, 1 failed, 0 skipped, 0 blacklisted, 1ms'; exit 1"
expect 1 "$init; echo 'PASS   : T::f()'"
# A clean summary, then the leak report's status or a crash on the way out.
clean="$init; $cleanup; echo 'Totals: 2 passed, 0 failed, 0 skipped, 0 blacklisted, 1ms'"
expect 1 "$clean; exit 23"
expect 1 "$clean; kill -SEGV \$\$"
expect 1 "$init; echo 'SKIP   : T::f() not root'; $cleanup; echo 'Totals: 2 passed, 0 failed, 1 skipped, 0 blacklisted, 1ms'; exit 1"
[ "$failed" -eq 0 ] && echo "runtest: all cases as expected"
exit "$failed"
