#!/usr/bin/env bash
# Renders the README's pictures of the clock with the plughost tool.
# The clock is set by hand to 10:08:36 so the pictures never change.
set -euo pipefail
cd "$(dirname "$0")/.."
tool=${BUILD_DIR:-build}/tools/plughost
clock=${BUILD_DIR:-build}/plugins/VavoRozar.so
manual=(--size 480x270 --set "Manual Mode=on" --set Minutes=0.13333 --set Seconds=0.6)

"$tool" render "$clock" "${manual[@]}" --set "Display Type=Analog" --set Hours=0.84444 --out docs/images/analog.png
"$tool" render "$clock" "${manual[@]}" --set "Display Type=Analog (Smooth)" --set Hours=0.84444 --set "Red Seconds Hand=on" --out docs/images/analog-smooth-red.png
"$tool" render "$clock" "${manual[@]}" --set "Display Type=Digital 12h" --set Hours=0.84444 --out docs/images/digital-12h.png
"$tool" render "$clock" "${manual[@]}" --set "Display Type=Digital 24h" --set Hours=0.92222 --out docs/images/digital-24h.png
"$tool" render "$clock" "${manual[@]}" --set "Display Type=Analog" --set Hours=0.84444 --set "Solid Background=off" --set Red=1 --set Green=0.6 --set Blue=0.1 --out docs/images/analog-transparent.png
"$tool" render "$clock" "${manual[@]}" --set "Display Type=Digital 24h" --set Hours=0.92222 --set "Solid Background=off" --set Red=0.2 --set Green=0.8 --set Blue=1 --set Scale=0.8 --out docs/images/digital-transparent.png
