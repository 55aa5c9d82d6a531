#!/usr/bin/env bash
# Compares plug-ins made by `plughost isf` with the ISF reference renderer
# (registered with CTest):
#   run.sh TOOL WORKDIR [compare.mjs options: --only CASE, --raw]
# Installs the renderer package, pngjs and puppeteer-core from the committed
# lock file into WORKDIR when they are missing or out of date; the browser is
# Debian's chromium (scripts/install-deps.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
[ $# -ge 2 ] || { echo "usage: run.sh TOOL WORKDIR [--only CASE]... [--raw]" >&2; exit 2; }
mkdir -p "$2"
tool="$(realpath "$1")" work="$(realpath "$2")"
shift 2

chromium="${CHROMIUM:-$(command -v chromium || true)}"
if [ -z "$chromium" ]; then
  echo "chromium is missing: run scripts/install-deps.sh (as root)" >&2
  exit 1
fi
command -v node >/dev/null || { echo "node is missing: run scripts/install-deps.sh (as root)" >&2; exit 1; }

cp "$here/package.json" "$here/package-lock.json" "$here/.npmrc" "$here"/*.mjs "$here"/*.js "$work/"
if ! cmp -s "$here/package-lock.json" "$work/node_modules/.installed-from-lock" 2>/dev/null; then
  (cd "$work" && npm ci --no-audit --no-fund --ignore-scripts --loglevel=error)
  cp "$here/package-lock.json" "$work/node_modules/.installed-from-lock"
fi
cd "$work"
CHROMIUM="$chromium" node compare.mjs --plughost "$tool" --work "$work/results" --corpus "$here/../corpus" \
  --examples "$here/../../../isf/examples" "$@"
