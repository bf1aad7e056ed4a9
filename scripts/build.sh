#!/usr/bin/env bash
# Configures and builds Quarbel into build/ (or $QUARBEL_BUILD_DIR): every target, or only
# $QUARBEL_BUILD_TARGET when it is set. Extra arguments go to cmake's configure step.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${QUARBEL_BUILD_DIR:-build}
cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=${QUARBEL_BUILD_TYPE:-RelWithDebInfo} "$@" >/dev/null
cmake --build "$dir" -j "$(nproc)" ${QUARBEL_BUILD_TARGET:+--target "$QUARBEL_BUILD_TARGET"}
