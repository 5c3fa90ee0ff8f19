#!/usr/bin/env bash
# Installs what is missing, builds and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/build.sh

# A first start gets the demonstration device, so the program can be tried without a unit.
config="${XDG_CONFIG_HOME:-$HOME/.config}/Vorkel/2.0.conf"
if [ ! -e "$config" ]; then
  mkdir -p "$(dirname "$config")"
  printf '[Generic]\nsNameDriverDll=vugSensorDemo.so\n' > "$config"
fi

exec ./build/bin/vugVorkel "$@"
