#!/usr/bin/env bash
# Shows an example definition. The workbench window is not part of this
# build yet, so the example is rendered to an image, with or without a display.
set -euo pipefail
klado="$1"; example="$2"
image="$(dirname "$klado")/$(basename "$example" .kld).png"
"$klado" --load "$example" --output-image "$image" --image-width 1024 --image-height 768
echo "Rendered $example to $image"
