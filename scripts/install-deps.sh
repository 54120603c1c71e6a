#!/usr/bin/env bash
# Installs the Debian packages listed in packages.txt that are not installed
# yet (a package that an installed one provides counts as installed), then
# the glTF validator the tests use from the npm registry into
# KLADO_NODE_PREFIX (build/node by default; never into the source tree).
set -euo pipefail
cd "$(dirname "$0")/.."
provided=" $(dpkg-query -W -f='${db:Status-Abbrev}|${Provides}\n' 2>/dev/null |
  awk -F'|' '$1 ~ /^ii/ { print $2 }' | tr ',' '\n' | sed 's/(.*)//; s/ //g' | tr '\n' ' ') "
missing=()
while read -r pkg; do
  [ -z "$pkg" ] && continue
  if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" &&
     [[ "$provided" != *" $pkg "* ]]; then
    missing+=("$pkg")
  fi
done < packages.txt
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

validator=gltf-validator@2.0.0-dev.3.10
node_prefix="${KLADO_NODE_PREFIX:-build/node}"
if [ ! -f "$node_prefix/node_modules/gltf-validator/package.json" ]; then
  echo "Installing $validator into $node_prefix"
  mkdir -p "$node_prefix"
  npm install --prefix "$node_prefix" --cache "$node_prefix/.npm-cache" --no-save --no-audit --no-fund \
    --loglevel=error "$validator"
fi
