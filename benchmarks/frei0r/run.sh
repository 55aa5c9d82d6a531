#!/usr/bin/env bash
# The frei0r bridge's cost in a real host: frames per second of the clock as
# ffmpeg's frei0r_src (module made by `plughost frei0r`) against `plughost
# bench` of the same plug-in at the same size, in the same run, with ffmpeg's
# own drawtext clock at that size as a reference of what an ffmpeg user would
# otherwise run. Not a test: timings on a shared machine are noisy, so only
# ratios measured side by side are worth comparing.
#
# ffmpeg's time per frame is (time for N frames - time for N/10 frames) /
# (N - N/10): ffmpeg's start, the module's loading and its first frame (GL
# set-up) cancel out, as plughost bench leaves out instantiation and warm-up.
#
# Usage: benchmarks/frei0r/run.sh [BUILD_DIR] [FRAMES] [REPEATS]
#   BUILD_DIR  a build with plughost and the clock (default: build)
#   FRAMES     frames per ffmpeg run (default 300)
#   REPEATS    repeats of the whole set of measurements (default 5)
set -euo pipefail
build=${1:-build}
frames=${2:-300}
repeats=${3:-5}
short=$((frames / 10))
plughost=$build/tools/plughost
clock=$build/plugins/VavoRozar.so
font=/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf
for need in "$plughost" "$clock" "$font"; do
  [ -e "$need" ] || { echo "run.sh: $need is missing (build first; the font is fonts-dejavu-core)" >&2; exit 2; }
done
command -v ffmpeg >/dev/null || { echo "run.sh: ffmpeg is not installed" >&2; exit 2; }

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$plughost" frei0r "$clock" --dir "$scratch" >/dev/null
export FREI0R_PATH=$scratch

# calc EXPRESSION: floating-point arithmetic (awk, which every system has).
calc() { awk "BEGIN { print $1 }"; }
# seconds COMMAND...: the wall time of one run.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1 || { echo "run.sh: failed: $*" >&2; exit 1; }
  end=$(date +%s.%N)
  calc "$end - $start"
}
# per_frame INPUT_ARGS...: ms per frame of an ffmpeg lavfi input to null.
per_frame() {
  local long_run short_run
  long_run=$(seconds ffmpeg -nostdin -v error -f lavfi "$@" -frames:v "$frames" -f null -)
  short_run=$(seconds ffmpeg -nostdin -v error -f lavfi "$@" -frames:v "$short" -f null -)
  calc "($long_run - $short_run) * 1000 / ($frames - $short)"
}
# plughost_frame WxH: median wall ms per frame of plughost bench.
plughost_frame() {
  "$plughost" bench "$clock" --size "$1" --frames 100 --json | grep -o '"wall": {"median": [0-9.]*' | grep -o '[0-9.]*$'
}
# median VALUES...
median() { printf '%s\n' "$@" | sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

# Each repeat times them side by side, so that a busy spell on the machine
# weighs on all of them; the ratios are taken per repeat, and the medians
# over the repeats are printed. ffmpeg's own cost of an RGBA frame from a
# lavfi input (it copies every frame into a packet and back) is measured with
# a flat colour source and taken off for the bridge's own ratio.
printf '%-10s %9s %9s %7s %9s %13s %9s %7s\n' size plughost ffmpeg ratio "rgba-only" "bridge ratio" drawtext ratio
for size in 1280x720 1920x1080; do
  owns=() bridged=() flats=() texts=() ratios=() bridge_ratios=() text_ratios=()
  for ((k = 0; k < repeats; k++)); do
    own=$(plughost_frame "$size")
    bridge=$(per_frame -i "frei0r_src=size=$size:framerate=30:filter_name=vavo_rozar:filter_params=0")
    flat=$(per_frame -i "color=c=black:size=$size:rate=30,format=rgba")
    text=$(per_frame -i "color=c=black:size=$size:rate=30" \
      -vf "drawtext=fontfile=$font:text='%{localtime}':fontsize=64:fontcolor=white:x=(w-tw)/2:y=(h-th)/2")
    owns+=("$own") bridged+=("$bridge") flats+=("$flat") texts+=("$text")
    ratios+=("$(calc "$bridge / $own")") bridge_ratios+=("$(calc "($bridge - $flat) / $own")")
    text_ratios+=("$(calc "$text / $own")")
  done
  printf '%-10s %9.2f %9.2f %6.2fx %9.2f %12.2fx %9.2f %6.2fx\n' "$size" "$(median "${owns[@]}")" \
    "$(median "${bridged[@]}")" "$(median "${ratios[@]}")" "$(median "${flats[@]}")" "$(median "${bridge_ratios[@]}")" \
    "$(median "${texts[@]}")" "$(median "${text_ratios[@]}")"
done
cat <<EOF
ms per frame, medians of $repeats repeats:
  plughost   plughost bench, the clock's own frame (to glFinish, no read-back)
  ffmpeg     the clock through the bridge: ffmpeg -f lavfi -i frei0r_src=... -f null -
  rgba-only  ffmpeg with a flat RGBA colour source instead, its own cost of such a frame
  drawtext   ffmpeg's drawtext clock over a flat colour (yuv420p), the reference
ratios over plughost; bridge ratio = (ffmpeg - rgba-only) / plughost (target: at most 1.3x)
EOF
