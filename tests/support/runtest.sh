#!/bin/sh
# Runs one test program for ctest: it passes only when it exits with status 0
# and printed its own summary with no failure, so a program cut short in any
# way (an exit from inside the code under test, a signal, a lost summary)
# fails. A program that passed nothing but skipped everything (no loop
# device, not root, no print server) tested nothing: it ends with status 77,
# which ctest shows as a skipped test with the reasons printed above.
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
# initTestCase and cleanupTestCase pass in every run.
if grep -q '^SKIP   : ' "$out" \
    && ! grep '^PASS   : ' "$out" | grep -Evq '::(initTestCase|cleanupTestCase)\(\)$'; then
    echo "runtest: every test of the program was skipped"
    exit 77
fi
