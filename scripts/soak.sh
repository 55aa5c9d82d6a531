#!/usr/bin/env bash
# Runs the soak test on its own, optionally longer than CI does: SCALE
# multiplies the instance lifetimes (2,000 per plug-in) and the frames of
# the long run (10,000). Default build only; the heap figures it checks mean
# nothing under the sanitizers. Usage: scripts/soak.sh [SCALE]
set -euo pipefail
cd "$(dirname "$0")/.."
scale="${1:-1}"
if ! [[ "$scale" =~ ^[0-9]+$ ]] || [ "$scale" -eq 0 ]; then
  echo "usage: scripts/soak.sh [SCALE]  (a whole number, default 1)" >&2
  exit 2
fi

bash scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target soak_test
SOAK_SCALE="$scale" build/tests/soak/soak_test
