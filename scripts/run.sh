#!/usr/bin/env bash
# Builds Quarbel and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
exec "${QUARBEL_BUILD_DIR:-build}/quarbel"
