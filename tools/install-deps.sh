#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need.
# Checks first, so a second run does not touch apt at all.
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  qtbase5-dev qtbase5-dev-tools libqt5sql5-sqlite libqt5opengl5-dev
  qtmultimedia5-dev libqt5multimedia5-plugins qt5-image-formats-plugins
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav
  qttools5-dev-tools qttools5-dev
  libavformat-dev libavcodec-dev libavutil-dev libswresample-dev libswscale-dev ffmpeg
  libftdi1-dev libxlsxwriter-dev
  libgl1-mesa-dri libgl-dev libegl-dev mesa-utils
  xvfb xauth python3 python3-openpyxl python3-xlib python3-numpy python3-scipy sqlite3
  fonts-liberation2 poppler-utils zlib1g-dev libsqlite3-dev
  dbus-daemon at-spi2-core python3-pyatspi
  qttranslations5-l10n
  libqt5x11extras5-dev libxcb-xkb-dev
  openbox xdotool x11-utils
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
