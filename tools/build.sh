#!/usr/bin/env bash
# Configures and builds into build/ (Release unless BUILD_TYPE says otherwise).
set -euo pipefail
cd "$(dirname "$0")/.."
"./tools/install-deps.sh"
cmake -S . -B build -DCMAKE_BUILD_TYPE="${BUILD_TYPE:-Release}" >/dev/null
cmake --build build -j "$(nproc)"
