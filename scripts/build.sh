#!/usr/bin/env bash
# Configures and builds one flavour: 'release' (the program) or 'sanitize'
# (address + undefined-behaviour sanitizers, what the tests run on) or
# 'tsan' (thread sanitizer; only the programs of the tests labelled
# "threads", see test_threads.sh).
set -euo pipefail
flavour=${1:-release}
targets=()
root=$(cd "$(dirname "$0")/.." && pwd)
case "$flavour" in
  release)  dir="$root/build/release";  opts=(-DCMAKE_BUILD_TYPE=RelWithDebInfo) ;;
  sanitize) dir="$root/build/sanitize"; opts=(-DCMAKE_BUILD_TYPE=Debug -DVX_SANITIZE=ON -DVX_BENCH=OFF) ;;
  tsan)     dir="$root/build/tsan";     opts=(-DCMAKE_BUILD_TYPE=Debug -DVX_TSAN=ON -DVX_BENCH=OFF)
            targets=(--target thread_tests net_tests http_tests) ;;
  *) echo "usage: build.sh [release|sanitize|tsan]" >&2; exit 2 ;;
esac
cmake -S "$root" -B "$dir" -G Ninja "${opts[@]}" >/dev/null
cmake --build "$dir" --parallel "${VX_JOBS:-$(nproc)}" "${targets[@]}"
