#!/usr/bin/env bash
# Installs the Debian 12 packages TELVANE needs to build and test, where missing.
set -euo pipefail
packages=(cmake ninja-build g++ clang libclang-rt-14-dev qt6-base-dev qt6-serialport-dev qt6-charts-dev libqt6sql6-sqlite
          libqt6opengl6-dev libgl-dev libgtest-dev libgmock-dev libbenchmark-dev clang-format xvfb
          x11-utils poppler-utils fonts-dejavu-core fonts-liberation2 dpkg-dev lintian man-db ser2net
          libpaho-mqttpp-dev libpaho-mqtt-dev libssl-dev libqt6sql6-sqlite mosquitto mosquitto-clients openssl)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
