#!/usr/bin/env bash
# Builds the thread-sanitizer flavour of the tests labelled "threads" (the
# thread class, the Internet calls and the HTTP client component) and runs
# them under it. Any report fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh" tsan
cd "$root/build/tsan"
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1 second_deadlock_stack=1}
ctest -L threads --output-on-failure --parallel "${VX_JOBS:-$(nproc)}" --timeout 300 "$@"
