#!/usr/bin/env bash
# Renders every example definition to docs/gallery/NAME.png at 800 x 600.
set -euo pipefail
klado="$1"
cd "$(dirname "$0")/.."
mkdir -p docs/gallery
for example in examples/*.kld; do
  name="$(basename "$example" .kld)"
  "$klado" --load "$example" --output-image "docs/gallery/$name.png" --image-width 800 --image-height 600
  echo "docs/gallery/$name.png"
done
