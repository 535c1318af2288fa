#!/usr/bin/env bash
# Lays out the program folder run-telvane.sh starts TELVANE in: the support
# tables and help from the build, and the port settings for the simulated
# board's device. Files the user saved there (set-up data, exports) are kept:
# only what the build provides is refreshed.
# Usage: prepare-run-folder.sh FOLDER BUILD_BIN_FOLDER DEVICE
set -euo pipefail
home=$1 bin=$2 device=$3
mkdir -p "$home/Support" "$home/Help"
# One support folder: the port settings and the code tables live together.
cp "$bin"/support/* "$home/Support/"
cp -r "$bin"/Help/. "$home/Help/"
printf '1,19200,%s\r\n' "$device" > "$home/Support/RSPort.cfg"
