#!/usr/bin/env bash
# Builds and runs the test suite of one preset. Usage:
# scripts/test.sh [default|sanitize|tsan]
#   default   everything but the concurrent-instances test, soak included
#   sanitize  the same under AddressSanitizer and UndefinedBehaviorSanitizer,
#             without the long tests
#   tsan      only the concurrent-instances test, under ThreadSanitizer
set -euo pipefail
cd "$(dirname "$0")/.."
preset="${1:-default}"

bash scripts/install-deps.sh
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
ctest --preset "$preset"
