#!/usr/bin/env bash
# Configures and builds one flavour: 'release' (the program) or 'sanitize'
# (address + undefined-behaviour sanitizers, what the tests run on) or
# 'tsan' (thread sanitizer; only the programs of the tests labelled
# "threads", see test_threads.sh) or 'fuzz' (clang with libFuzzer and the
# address and undefined-behaviour sanitizers, every library instrumented;
# the fuzz programs only unless targets are given, see fuzz.sh).
set -euo pipefail
flavour=${1:-release}
shift || true
targets=()
root=$(cd "$(dirname "$0")/.." && pwd)
case "$flavour" in
  release)  dir="$root/build/release";  opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  sanitize) dir="$root/build/sanitize"; opts=(-DCMAKE_BUILD_TYPE=Debug -DVX_SANITIZE=ON -DVX_BENCH=OFF -DVX_SHARED_LAYERS=ON) ;;
  tsan)     dir="$root/build/tsan";     opts=(-DCMAKE_BUILD_TYPE=Debug -DVX_TSAN=ON -DVX_BENCH=OFF)
            targets=(--target thread_tests net_tests http_tests) ;;
  fuzz)     dir="$root/build/fuzz";     opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo -DVX_SANITIZE=ON -DVX_LIBFUZZER=ON
                                           -DVX_BENCH=OFF -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
            if [ $# -gt 0 ]; then targets=(--target "$@"); else targets=(--target fuzz_targets); fi ;;
  *) echo "usage: build.sh [release|sanitize|tsan|fuzz [targets...]]" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$dir" -G Ninja "${opts[@]}" >/dev/null
cmake --build "$dir" --parallel "${VX_JOBS:-$(nproc)}" "${targets[@]}"
