#!/usr/bin/env bash
# Checks the format, builds Quarbel with warnings as errors and runs every test off screen;
# then the whole suite again under the sanitizers (scripts/sanitize.sh) and a short run of
# every fuzz target (scripts/fuzz.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/format.sh --check
scripts/build.sh -DQUARBEL_WERROR=ON
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${QUARBEL_BUILD_DIR:-build}" --output-on-failure -j "$(nproc)"
scripts/sanitize.sh
scripts/fuzz.sh 30
