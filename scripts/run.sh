#!/usr/bin/env bash
# Builds the program alone (not the tests, fuzzers and benchmarks) and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
QUARBEL_BUILD_TARGET=quarbel scripts/build.sh
exec "${QUARBEL_BUILD_DIR:-build}/quarbel"
