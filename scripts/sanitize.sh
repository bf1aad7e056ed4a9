#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer into build-asan/ (or
# $QUARBEL_ASAN_BUILD_DIR) and runs the whole test suite there off screen. Any sanitizer
# report, leaks included, fails the test that caused it.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${QUARBEL_ASAN_BUILD_DIR:-build-asan}
# -O1 keeps the instrumented build and its run quick enough for CI. This build also takes the
# portable 128-bit integer, so the suite runs on both paths.
QUARBEL_BUILD_DIR=$dir QUARBEL_BUILD_TYPE=Debug scripts/build.sh -DQUARBEL_SANITIZE=ON -DQUARBEL_BENCH=OFF \
  -DQUARBEL_PORTABLE_WIDE_INT=ON \
  -DCMAKE_CXX_FLAGS=-O1
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1
export LSAN_OPTIONS=suppressions=$PWD/tests/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
log=$dir/sanitized-run.log
if ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" --output-log "$log"; then
  exit 0
fi
# LeakSanitizer's own tracer now and then crashes while it stops the process at exit, after the
# test has passed: a fault of the runtime, not a leak. When every failure is that crash, the
# failed tests run once more; any other failure stands.
failed=$(wc -l <"$dir/Testing/Temporary/LastTestsFailed.log")
crashed=$(grep -c 'LeakSanitizer has encountered a fatal error' "$log" || true)
if [ "$failed" -gt 0 ] && [ "$failed" -le 3 ] && [ "$crashed" -eq "$failed" ]; then
  echo "Only LeakSanitizer's tracer crashed ($failed); running those tests again."
  ctest --test-dir "$dir" --output-on-failure --rerun-failed
else
  exit 1
fi
