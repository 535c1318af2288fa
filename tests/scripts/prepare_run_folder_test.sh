#!/usr/bin/env bash
# The folder run-telvane.sh starts the program in keeps what the user saved
# there and takes the build's tables and the new device at every start.
set -euo pipefail
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/bin/support" "$work/bin/Help"
echo "42,Target Board Not Responding" > "$work/bin/support/FaultErrCodes.txt"
echo "<html></html>" > "$work/bin/Help/TELVANE.html"
home=$work/run
"$script" "$home" "$work/bin" /dev/pts/7
echo "user data" > "$home/Machine 3.sdt"
echo "export" > "$home/Support/shift.txt"
echo "43,Newer table" > "$work/bin/support/FaultErrCodes.txt"
"$script" "$home" "$work/bin" /dev/pts/9
fail() { echo "FAILED: $*" >&2; exit 1; }
[ "$(cat "$home/Machine 3.sdt")" = "user data" ] || fail "a saved set-up file was lost"
[ -f "$home/Support/shift.txt" ] || fail "a file saved in Support was lost"
grep -q "43,Newer table" "$home/Support/FaultErrCodes.txt" || fail "the tables were not refreshed"
[ "$(cat "$home/Support/RSPort.cfg")" = $'1,19200,/dev/pts/9\r' ] || fail "RSPort.cfg names the old device"
[ -f "$home/Help/TELVANE.html" ] || fail "no help"
echo "run folder: saved files kept, build files refreshed"
