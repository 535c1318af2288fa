#!/usr/bin/env bash
# Builds TELVANE, telvane-cli and telvane-boardsim (into build/bin/) if needed,
# starts the simulated cupper board on a pseudo-terminal and runs TELVANE
# connected to it, from a program folder of its own (.run/, kept between runs:
# set-up files saved there stay).
# The simulated board raises an alarm now and then; Alarm Reset clears it.
# Arguments go to telvane-boardsim (for example --raise-alarm 1:3, see --help).
# The simulator ends when TELVANE exits.
set -euo pipefail
cd "$(dirname "$0")"
scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTELVANE_BENCH=OFF >/dev/null
cmake --build build --target telvane telvane-cli telvane-boardsim telvane_support_files
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "TELVANE is a desktop program: run this from a desktop session (or under xvfb-run)." >&2
fi
home=$PWD/.run
coproc BOARD { exec build/bin/telvane-boardsim --baud 19200 --alarm-every 40 "$@"; }
# Bash forgets BOARD_PID once the simulator has ended: keep our own copy.
board_pid=${BOARD_PID:-}
trap 'kill "$board_pid" 2>/dev/null || true' EXIT
read -r pty <&"${BOARD[0]}"
# The folder and the files saved in it stay from one run to the next.
scripts/prepare-run-folder.sh "$home" build/bin "$pty"
echo "Simulated board on $pty. TELVANE starts offline: F3, or a double click on OFFLINE, goes online."
# A port settings file of the user's own (~/.config/telvane) would win over
# the simulator's: this program folder has its own configuration folder, and
# its own data folder, so the simulated press's set-up history stays apart.
TELVANE_HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data build/bin/telvane
