#!/usr/bin/env bash
# Builds TELVANE if needed, starts the simulated board on a pseudo-terminal and
# reads live registers from it with telvane-cli.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELVANE_BENCH=OFF >/dev/null
cmake --build build
home=$PWD/.run
mkdir -p "$home/Support"
coproc BOARD { exec build/bin/telvane-boardsim; }
trap 'kill $BOARD_PID 2>/dev/null || true' EXIT
read -r pty <&"${BOARD[0]}"
printf '1,9600,%s\r\n' "$pty" > "$home/Support/RSPort.cfg"
cp -r build/bin/support "$home/"
export TELVANE_HOME=$home
echo "Board simulator on $pty. Live registers (Ctrl+C ends):"
while true; do
    values=$(build/bin/telvane-cli read D1100 W1104 W1020 W1026 W1028 B8176 | tr '\n' ' ')
    set -- $values
    printf '\rstrokes %s  die jams %s  TDC stop %s  speeds %s/%s  fault %s   ' "$@"
    sleep 0.5
done
