#!/usr/bin/env bash
# Checks the include directions of the whole source tree against one ordered
# list of floors, lowest first. A file belongs to the longest floor whose
# folder holds it; it may include files of its own floor and of floors to
# its left, never of a floor to its right. Floors joined by '|' stand side by
# side: neither may include the other. Qt headers appear only in the floors
# that paint or host widgets. Prints every offending line and exits 1 when
# there is one. An argument names another tree to check (the script's test
# uses it).
set -uo pipefail
root=${1:-$(cd "$(dirname "$0")/.." && pwd)}
cd "$root" || exit 2

floors=(
  platform/rtl
  platform/os
  platform/db
  platform/net
  tables/base tables/dbf tables/expr tables/index tables/handler tables/dataset
  platform/gui/base platform/gui/draw platform/gui/services platform/gui/core platform/gui/controls
  'platform/gui/richtext|platform/gui/grids'
  platform/chart
  platform/ole
  RichGrid
  app/settings app/http app/lottotable app/analysis app/bases app/windows app/main
  app
)
qt_floors='^(platform/gui/|platform/chart/|platform/ole/|RichGrid/|app/)'

list=$(printf '%s\n' "${floors[@]}")
dirs=(); for d in platform tables RichGrid app; do [ -d "$d" ] && dirs+=("$d"); done
find "${dirs[@]}" -type f \( -name '*.h' -o -name '*.cpp' \) 2>/dev/null | sort |
  xargs -r grep -HnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]' |
  awk -v list="$list" -v qt="$qt_floors" '
    BEGIN {
      n = split(list, rows, "\n")
      for (i = 1; i <= n; i++) {
        m = split(rows[i], names, "|")
        for (j = 1; j <= m; j++) { rank[names[j]] = i; order[++count] = names[j] }
      }
      bad = 0
    }
    # The floor of a path: the longest listed folder that holds it.
    function floor_of(path,   best, k, f) {
      best = ""
      for (k = 1; k <= count; k++) {
        f = order[k]
        if (index(path, f "/") == 1 && length(f) > length(best)) best = f
      }
      return best
    }
    {
      split($0, parts, ":")
      file = parts[1]; line = substr($0, length(parts[1]) + length(parts[2]) + 3)
      own = floor_of(file)
      if (own == "") { print "layers: " file " is in no floor"; bad = 1; next }
      if (match(line, /<Q[A-Za-z]*(\/|>)|<qt|"Q[A-Za-z]*\.h"/) && file !~ qt) {
        print "layers: " file " includes Qt: " line; bad = 1
      }
      if (!match(line, /"[^"]+"/)) next
      target = substr(line, RSTART + 1, RLENGTH - 2)
      to = floor_of(target)
      if (to == "" || to == own) next
      if (rank[to] >= rank[own]) {
        print "layers: " file " [" own "] includes " target " [" to "]"; bad = 1
      }
    }
    END { exit bad }'
