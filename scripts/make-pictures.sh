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

# The clock moving: sequences rendered with --animate in Manual Mode, so the
# pictures come out the same on every run, then joined into animated GIFs.
# ImageMagick is installed when missing; the tests never need it.
if ! command -v convert-im6.q16 >/dev/null && ! dpkg-query -W -f='${Status}' imagemagick 2>/dev/null | grep -q "install ok installed"; then
  sudo_cmd=(); [ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends imagemagick
fi
im=$(command -v convert-im6.q16 || command -v convert)
frames=$(mktemp -d)
trap 'rm -rf "$frames"' EXIT
moving=(--size 320x180 --set "Manual Mode=on" --set Hours=0.84444 --set Minutes=0.13333 --frames 40 --fps 10 --no-pacing)

# 10:08:36.0 to 10:08:39.9, a frame every tenth of a second: the sweeping seconds hand.
"$tool" render "$clock" "${moving[@]}" --set "Display Type=Analog (Smooth)" --set "Red Seconds Hand=on" \
  --animate Seconds=0.6:0.665 --out-dir "$frames/analog"
# 22:08:36.0 to 22:08:39.9 on the digital face: the seconds tick over.
"$tool" render "$clock" "${moving[@]}" --set "Display Type=Digital 24h" --set Hours=0.92222 \
  --animate Seconds=0.6:0.665 --out-dir "$frames/digital"

for face in analog digital; do
  "$im" -delay 10 -loop 0 "$frames/$face"/VavoRozar_*.png -layers Optimize "docs/images/$face-moving.gif"
done

# The ISF examples (README "Shaders without C++"), the mixer and the filter
# over two of the clock pictures above.
plugins=${BUILD_DIR:-build}/plugins
"$tool" render "$plugins/RippleRings.so" --time 1.5 --size 480x270 --out docs/images/isf-ripple-rings.png
"$tool" render "$plugins/EchoTrail.so" --size 480x270 --input docs/images/analog.png --out docs/images/isf-echo-trail.png
"$tool" render "$plugins/IrisWipe.so" --size 480x270 --input docs/images/analog.png --input docs/images/digital-24h.png \
  --set Progress=0.5 --out docs/images/isf-iris-wipe.png
