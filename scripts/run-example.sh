#!/usr/bin/env bash
# Shows an example definition: in the workbench window when there is an X
# display, else rendered to an image beside the program.
set -euo pipefail
klado="$1"; example="$2"
if [ -n "${DISPLAY:-}" ]; then
  exec "$klado" --load "$example"
fi
image="$(dirname "$klado")/$(basename "$example" .kld).png"
"$klado" --load "$example" --output-image "$image" --image-width 1024 --image-height 768
echo "No X display: rendered $example to $image"
