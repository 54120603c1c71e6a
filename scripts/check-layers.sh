#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own. The layers,
# lowest first; folders on one line are side by side and may not include each
# other. A test folder counts as the layer it tests.
set -euo pipefail
cd "$(dirname "$0")/.."
layers=(
  "diagnostics"
  "options materials"
  "records"
  "lsys"
  "interpretation"
  "definition_io"
  "workbench"
  "editors"
  "gui"
  "app"
)
declare -A rank
for i in "${!layers[@]}"; do
  for folder in ${layers[$i]}; do rank[$folder]=$i; done
done

status=0
for folder in "${!rank[@]}"; do
  for dir in "$folder" "tests/$folder"; do
    [ -d "$dir" ] || continue
    while IFS=: read -r file line text; do
      used="$(sed -E 's/^#include "([a-z_]+)\/.*/\1/' <<<"$text")"
      [ -n "${rank[$used]+x}" ] || continue
      if [ "$used" != "$folder" ] && [ "${rank[$used]}" -ge "${rank[$folder]}" ]; then
        echo "$file:$line: $folder includes $used, which is not below it"
        status=1
      fi
    done < <(grep -rnE '^#include "[a-z_]+/' "$dir" --include='*.h' --include='*.cpp' || true)
  done
done
# The tabs of the main window are side by side as well: a tab panel
# (gui/panels/*Panel.h and .cpp) includes no other tab panel's header.
while IFS=: read -r file line text; do
  own="$(basename "${file%.*}")"
  used="$(sed -E 's/^#include "gui\/panels\/([A-Za-z]+)\.h".*/\1/' <<<"$text")"
  if [ "$used" != "$own" ]; then
    echo "$file:$line: the tab panel $own includes the tab panel $used"
    status=1
  fi
done < <(grep -nE '^#include "gui/panels/[A-Za-z]+Panel\.h"' gui/panels/*Panel.h gui/panels/*Panel.cpp /dev/null || true)
[ "$status" -eq 0 ] && echo "Layer order holds."
exit "$status"
