#!/usr/bin/env bash
# Starts the workbench on an example definition.
set -euo pipefail
klado="$1"; example="$2"
exec "$klado" --load "$example"
