#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ (or $QUARBEL_FUZZ_BUILD_DIR) and
# runs each one for SECONDS (30 by default) from its committed seeds in fuzz/corpus/<target>/.
# A crash, a sanitizer report, a failed check, a slow input or a memory blow-up fails the run;
# the input that caused it is kept in <build dir>/findings/.
# Usage: scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-30}
shift || true
dir=${QUARBEL_FUZZ_BUILD_DIR:-build-fuzz}
CC=clang CXX=clang++ cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DQUARBEL_FUZZ=ON -DQUARBEL_TESTS=OFF >/dev/null
cmake --build "$dir" --target quarbel_fuzzers -j "$(nproc)"

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for corpus in fuzz/corpus/*/; do targets+=("$(basename "$corpus")"); done
fi
mkdir -p "$dir/findings"
export LSAN_OPTIONS=suppressions=$PWD/fuzz/lsan.supp:print_suppressions=0
failed=0
for t in "${targets[@]}"; do
  work=$(mktemp -d)
  log="$dir/findings/$t.log"
  # New inputs go to a scratch directory so the committed seeds stay as they are.
  if "$dir/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -artifact_prefix="$dir/findings/$t-" "$work" "fuzz/corpus/$t" >"$log" 2>&1; then
    echo "$t: $(grep -o 'Done [0-9]* runs in [0-9]* second' "$log" | tail -1)s, no finding"
  else
    echo "$t: FINDING (log $log)"
    tail -40 "$log"
    failed=1
  fi
  rm -rf "$work"
done
exit $failed
