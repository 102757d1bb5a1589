#!/usr/bin/env bash
# Checks the include directions of the source tree:
# - inside tables/, a folder includes only itself and the folders below it
#   (base <- dbf <- expr <- index <- handler <- dataset);
# - Qt headers appear only in platform/gui, platform/chart, platform/ole,
#   RichGrid and app;
# - app/settings and app/bases do not include app/main.
# Prints every offending line and exits 1 when there is one.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
bad=0
report() { echo "layers: $1"; bad=1; }

levels=(base dbf expr index handler dataset)
level_of() {
  local i
  for i in "${!levels[@]}"; do [ "${levels[$i]}" = "$1" ] && { echo "$i"; return; }; done
  echo -1
}

sources() { find "$@" -type f \( -name '*.h' -o -name '*.cpp' \) 2>/dev/null; }

for f in $(sources tables); do
  own=$(level_of "$(echo "$f" | cut -d/ -f2)")
  while IFS= read -r line; do
    inc=$(echo "$line" | sed -n 's|.*#include "tables/\([a-z]*\)/.*|\1|p')
    [ -z "$inc" ] && continue
    lvl=$(level_of "$inc")
    if [ "$lvl" -gt "$own" ]; then report "$f includes a higher engine folder: $line"; fi
  done < <(grep -h '#include "tables/' "$f")
done

qt_allowed='^(platform/gui|platform/chart|platform/ole|RichGrid|app)/'
for f in $(sources platform tables RichGrid app); do
  if grep -qE '#include <Q[A-Za-z]*(/|>)|#include <qt|#include "Q[A-Za-z]*\.h"' "$f"; then
    [[ "$f" =~ $qt_allowed ]] || report "$f includes Qt"
  fi
done

for f in $(sources app/settings app/bases); do
  if grep -q '#include "app/main/' "$f"; then report "$f includes app/main: $(grep -m1 '#include "app/main/' "$f")"; fi
done

exit $bad
