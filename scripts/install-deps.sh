#!/usr/bin/env bash
# Installs the Debian 12 packages Tarvex needs to build, test and run.
# Installs nothing when every package is already present.
set -euo pipefail

packages=(
    build-essential
    cmake
    pkg-config
    qt6-base-dev
    qt6-base-dev-tools
    libqt6printsupport6
    qt6-speech-dev
    qt6-speech-flite-plugin
    qt6-declarative-dev
    qt6-qpa-plugins
    libqt6svg6
    libgl-dev
    libbenchmark-dev
    fonts-dejavu-core
    fonts-freefont-ttf
    fonts-comic-neue
    desktop-file-utils
    dpkg-dev
    file
    xvfb
    xdotool
    strace
    dbus-daemon
    at-spi2-core
    python3-gi
    gir1.2-atspi-2.0
    pulseaudio
    pulseaudio-utils
    sox
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    exit 0
fi

echo "Installing: ${missing[*]}"
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
