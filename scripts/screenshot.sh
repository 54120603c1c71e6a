#!/usr/bin/env bash
# Takes a picture of the workbench window showing an example, on a virtual X
# server: docs/window.png by default.
#   scripts/screenshot.sh build/klado examples/bush.kld docs/window.png
set -euo pipefail
klado="$(realpath "$1")"; example="$(realpath "$2")"; picture="$3"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1200x800x24" "$0" "$@"
fi
# A scratch home holds the window's place and size.
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.foxrc/TOVA"
printf '[SETTINGS]\nx=0\ny=0\nwidth=1100\nheight=720\n' > "$home/.foxrc/TOVA/KLADO"
title="$(basename "$example" .kld) - KLADO"
HOME="$home" "$klado" --load "$example" &
pid=$!
window="$(xdotool search --sync --name "^$title\$" | head -1)"
# The first frames are drawn once the window is mapped and idle.
xdotool windowfocus --sync "$window" 2>/dev/null || true
sleep 1
xwd -silent -id "$window" | xwdtopnm 2>/dev/null | pnmtopng > "$picture"
kill -INT "$pid"
wait "$pid"
echo "Took $picture"
