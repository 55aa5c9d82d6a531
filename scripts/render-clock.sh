#!/usr/bin/env bash
# The main job: builds the clock and renders it as it is right now to a PNG.
# Usage: scripts/render-clock.sh [OUT.png] [extra plughost render options...]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-clock.png}"
shift || true

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target VavoRozar plughost-cli >/dev/null
build/tools/plughost render build/plugins/VavoRozar.so --out "$out" "$@"
echo "$(cd "$(dirname "$out")" && pwd)/$(basename "$out")"
