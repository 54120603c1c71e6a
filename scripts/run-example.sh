#!/usr/bin/env bash
# Opens the workbench on an example definition; without an X display the
# example is rendered to an image instead.
set -euo pipefail
klado="$1"; example="$2"
if [ -z "${DISPLAY:-}" ]; then
  image="$(dirname "$klado")/$(basename "$example" .kld).png"
  "$klado" --load "$example" --output-image "$image" --image-width 1024 --image-height 768
  echo "No display: rendered $example to $image"
else
  exec "$klado" --load "$example"
fi
