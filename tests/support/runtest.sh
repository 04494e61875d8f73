#!/bin/sh
# Runs one test program for ctest: it passes only when it exits with status 0
# and printed its own summary with no failure, so a program cut short in any
# way (an exit from inside the code under test, a signal, a lost summary)
# fails.
out=$(mktemp) || exit 1
trap 'rm -f "$out"' EXIT
"$@" >"$out" 2>&1
status=$?
cat "$out"
if [ "$status" -ne 0 ]; then
    echo "runtest: the test program ended with status $status"
    exit 1
fi
if ! grep -Eq '^Totals: [0-9]+ passed, 0 failed, [0-9]+ skipped' "$out"; then
    echo "runtest: the test program printed no summary of a whole run"
    exit 1
fi
