#!/usr/bin/env bash
# Measures the window's start: the seconds from the program's start until the
# view shows the model, and the memory the window then holds.
#   scripts/window-startup.sh build/klado examples/bush.kld
set -euo pipefail
klado="$(realpath "$1")"; example="$(realpath "$2")"
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
mkdir -p "$home/.foxrc/TOVA"
printf '[SETTINGS]\nx=0\ny=0\nwidth=1100\nheight=720\n' > "$home/.foxrc/TOVA/KLADO"
# Colours along a line across the view: one or two while it is empty.
colours() {
  xwd -silent -root 2>/dev/null | xwdtopnm 2>/dev/null |
    pnmcut -left 50 -top 300 -width 650 -height 1 2>/dev/null | pnmnoraw 2>/dev/null |
    tail -n +4 | tr -s ' \n' '\n' | paste -d' ' - - - | sort -u | wc -l
}
start=$(date +%s.%N)
HOME="$home" "$klado" --load "$example" &
pid=$!
until [ "$(colours)" -gt 3 ]; do :; done
end=$(date +%s.%N)
echo "first frame after $(echo "$end - $start" | bc) s"
sleep 1
grep VmRSS "/proc/$pid/status"
kill -INT "$pid"
wait "$pid"
