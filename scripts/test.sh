#!/usr/bin/env bash
# Builds Quarbel and runs every test off screen.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${QUARBEL_BUILD_DIR:-build}" --output-on-failure -j "$(nproc)"
