#!/usr/bin/env bash
# Runs the browser test of plughost serve (registered with CTest):
#   run.sh TOOL CLOCK.so OTHER.so WORKDIR
# Installs puppeteer-core from the committed lock file into WORKDIR when it is
# missing or out of date; the browser is Debian's chromium (scripts/install-deps.sh).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
mkdir -p "$4"
tool="$(realpath "$1")" clock="$(realpath "$2")" other="$(realpath "$3")" work="$(realpath "$4")"

chromium="${CHROMIUM:-$(command -v chromium || true)}"
if [ -z "$chromium" ]; then
  echo "chromium is missing: run scripts/install-deps.sh (as root)" >&2
  exit 1
fi
command -v node >/dev/null || { echo "node is missing: run scripts/install-deps.sh (as root)" >&2; exit 1; }

mkdir -p "$work"
cp "$here/package.json" "$here/package-lock.json" "$here/serve-page.mjs" "$work/"
if ! cmp -s "$here/package-lock.json" "$work/node_modules/.installed-from-lock" 2>/dev/null; then
  (cd "$work" && npm ci --no-audit --no-fund --ignore-scripts --loglevel=error)
  cp "$here/package-lock.json" "$work/node_modules/.installed-from-lock"
fi
cd "$work"
CHROMIUM="$chromium" node serve-page.mjs "$tool" "$clock" "$other" "$work"
