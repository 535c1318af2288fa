#!/usr/bin/env bash
# Prints the closing line of a test run from CTest's JUnit report:
# "N passed, N failed, N skipped", after one line per skipped test with the
# reason it gave (GoogleTest's GTEST_SKIP message, from CTest's log).
# Usage: ctest-summary.sh JUNIT.xml [LastTest.log]
set -euo pipefail
junit=$1 log=${2:-}
if [ ! -s "$junit" ]; then
    echo "0 passed, 1 failed, 0 skipped (no test report: the test run did not complete)"
    exit 0
fi
suite=$(tr '\n\t' '  ' <"$junit" | grep -o '<testsuite [^>]*>' | head -n 1)
attr() { sed -n "s/.* $1=\"\([0-9]*\)\".*/\1/p" <<<"$suite"; }
total=$(attr tests) failed=$(attr failures) skipped=$(attr skipped) disabled=$(attr disabled)
total=${total:-0} failed=${failed:-0} skipped=$(( ${skipped:-0} + ${disabled:-0} ))
if [ -n "$log" ] && [ -f "$log" ]; then
    # GoogleTest writes "FILE:LINE: Skipped", the reason, then "[  SKIPPED ] NAME".
    awk '/: Skipped$/ { getline reason; pending = reason; next }
         /^\[  SKIPPED \] / && pending != "" { name = $4; print "skipped: " name " (" pending ")"; pending = "" }' "$log"
fi
echo "$(( total - failed - skipped )) passed, $failed failed, $skipped skipped"
