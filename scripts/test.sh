#!/usr/bin/env bash
# Sets up, checks the include directions, builds with the sanitizers and
# runs every test; then the thread tests once more under the thread
# sanitizer.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/check_layers.sh"
"$root/scripts/build.sh" sanitize
cd "$root/build/sanitize"
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=0}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
ctest --output-on-failure --parallel "${VX_JOBS:-$(nproc)}" --timeout 600 "$@"
"$root/scripts/test_threads.sh"
