#!/usr/bin/env bash
# The layer check on small trees of its own: a tree whose includes follow the
# floors passes; each include against the order, and Qt below the widget
# floors, makes it fail and names the offending file.
set -uo pipefail
check=$1
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
fail=0

put() { mkdir -p "$tree/$(dirname "$1")"; printf '%s\n' "${@:2}" > "$tree/$1"; }
base_tree() {
  rm -rf "${tree:?}"/*
  put platform/rtl/strings.h '#pragma once' '#include <string>'
  put platform/os/os_file.h '#include "platform/rtl/strings.h"'
  put tables/index/cdx/cdx_index.h '#include "tables/index/index_file.h"' '#include "tables/base/xb_errors.h"'
  put tables/index/index_file.h '#include "tables/index/cdx/cdx_index.h"'
  put platform/gui/grids/grids.h '#include "platform/gui/core/forms.h"' '#include <QWidget>'
  put app/analysis/statistics.cpp '#include "app/settings/settings.h"' '#include "tables/dataset/dataset.h"'
  put app/main.cpp '#include "app/main/formmain.h"'
}

expect() {  # expect pass|fail [text the failure names]
  local out rc
  out=$(bash "$check" "$tree" 2>&1); rc=$?
  if [ "$1" = pass ] && [ $rc -ne 0 ]; then echo "FAIL: a sound tree was refused: $out"; fail=1; fi
  if [ "$1" = fail ]; then
    if [ $rc -ne 1 ]; then echo "FAIL: expected a refusal naming $2, got rc $rc: $out"; fail=1
    elif ! grep -qF "$2" <<<"$out"; then echo "FAIL: the refusal does not name $2: $out"; fail=1; fi
  fi
}

base_tree; expect pass
cases=(
  "platform/rtl/files.cpp|#include \"platform/os/os_file.h\"|platform/rtl/files.cpp"
  "tables/base/xb_tools.h|#include \"tables/handler/xbo_dbhandler.h\"|tables/base/xb_tools.h"
  "platform/gui/core/forms.cpp|#include \"platform/gui/controls/stdctrls.h\"|platform/gui/core/forms.cpp"
  "platform/gui/richtext/richedit.h|#include \"platform/gui/grids/grids.h\"|platform/gui/richtext/richedit.h"
  "app/windows/viewer.cpp|#include \"app/main/formmain.h\"|app/windows/viewer.cpp"
  "app/analysis/dyads.cpp|#include \"app/bases/draw_base.h\"|app/analysis/dyads.cpp"
  "RichGrid/rich_grid.cpp|#include \"app/settings/settings.h\"|RichGrid/rich_grid.cpp"
  "platform/db/dataset.h|#include <QObject>|includes Qt"
  "platform/extra/stray.h|#include \"platform/rtl/strings.h\"|is in no floor"
)
for c in "${cases[@]}"; do
  IFS='|' read -r file line named <<<"$c"
  base_tree; put "$file" "$line"
  expect fail "$named"
done

if [ $fail -eq 0 ]; then echo "1 passed, 0 failed"; else exit 1; fi
