#!/usr/bin/env bash
# Sets up, checks the include directions, runs the thread tests under the
# thread sanitizer, then builds with the address and undefined-behaviour
# sanitizers and runs every test with leak detection on (the last summary is
# the whole suite's).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/check_layers.sh"
"$root/scripts/test_threads.sh"
"$root/scripts/build.sh" sanitize
cd "$root/build/sanitize"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export LSAN_OPTIONS=${LSAN_OPTIONS:-suppressions=$root/scripts/lsan.supp:print_suppressions=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
ctest --output-on-failure --parallel "${VX_JOBS:-$(nproc)}" --timeout 600 "$@"
