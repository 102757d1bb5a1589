#!/usr/bin/env bash
# Sets up, builds and starts the program.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/setup.sh"
"$root/scripts/build.sh" release
exe="$root/build/release/app/vexamund"
if [ -x "$exe" ]; then
  exec "$exe" "$@"
fi
echo "Built everything; the program itself is not part of the tree yet."
