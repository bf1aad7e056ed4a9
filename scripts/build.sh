#!/usr/bin/env bash
# Configures and builds Quarbel into build/ (or $QUARBEL_BUILD_DIR).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${QUARBEL_BUILD_DIR:-build}
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=${QUARBEL_BUILD_TYPE:-RelWithDebInfo} "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)"
