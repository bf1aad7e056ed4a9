#!/usr/bin/env bash
# Runs clang-tidy (the checks in .clang-tidy) over every source of src/ against the compile
# commands of build/ (or $QUARBEL_BUILD_DIR), and fails on any finding.
# Usage: scripts/lint.sh [FILE...]
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${QUARBEL_BUILD_DIR:-build}
[ -f "$dir/compile_commands.json" ] || scripts/build.sh
files=("$@")
if [ ${#files[@]} -eq 0 ]; then
  mapfile -t files < <(find src -name '*.cpp' | sort)
fi
# Generated sources (moc, resources) are built first so every include resolves.
cmake --build "$dir" --target quarbel_ui_autogen quarbel_core_autogen >/dev/null
printf '%s\n' "${files[@]}" |
  xargs -P "$(nproc)" -n 4 clang-tidy -p "$dir" --quiet 2>/dev/null
