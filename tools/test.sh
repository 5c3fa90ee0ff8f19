#!/usr/bin/env bash
# Installs what is missing, builds and runs every test. Tests that need no real
# window run offscreen (set per test); the rest get a virtual X server.
set -euo pipefail
cd "$(dirname "$0")/.."
./tools/build.sh
cd build
exec xvfb-run -a -s "-screen 0 1920x1080x24" ctest --output-on-failure -j "$(nproc)" "$@"
