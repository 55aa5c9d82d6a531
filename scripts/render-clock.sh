#!/usr/bin/env bash
# The main job: builds the clock and renders it as it is right now to a PNG.
# Usage: scripts/render-clock.sh [OUT.png] [extra plughost render options...]
set -euo pipefail
cd "$(dirname "$0")/.."
out="${1:-clock.png}"
shift || true

bash scripts/install-deps.sh build
# A first configure leaves the tests out, so rendering needs none of their
# packages; a build folder the test command configured is used as it is, and
# the test command later reuses everything built here.
[ -f build/CMakeCache.txt ] || cmake --preset default -DFFGL_BUILD_TESTS=OFF >/dev/null
cmake --build --preset default --target VavoRozar plughost-cli >/dev/null
build/tools/plughost render build/plugins/VavoRozar.so --out "$out" "$@"
echo "$(cd "$(dirname "$out")" && pwd)/$(basename "$out")"
