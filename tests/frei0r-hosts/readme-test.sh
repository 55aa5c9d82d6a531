#!/usr/bin/env bash
# Runs every command line of the README's section "In ffmpeg, Kdenlive,
# Shotcut and GStreamer" (its indented lines, in order, as one script, from
# a folder where build/ is this build and HOME is empty, so the modules go
# to ~/.frei0r-1/lib as the README says), checks what they wrote, and checks
# the README's table of the clock's parameters against the module itself.
# Usage: readme-test.sh BUILD_DIR FRAME_CHECK SCRATCH_DIR SOURCE_DIR TEST_PLUGIN_DIR
source "$(dirname "$0")/common.sh"
readme=$4/README.md
# The README's commands rely on the standard folders, not on FREI0R_PATH.
unset FREI0R_PATH

section=$(awk '/^## In ffmpeg, Kdenlive, Shotcut and GStreamer/ { on = 1; next } /^## / { on = 0 } on' "$readme")
[ -n "$section" ] || { echo "FAIL: no section 'In ffmpeg, Kdenlive, Shotcut and GStreamer' in the README"; exit 1; }
mkdir readme
ln -s "$build" readme/build
{
  echo "set -euxo pipefail"
  sed -n 's/^    //p' <<<"$section"
} >readme/commands.sh
if ! (cd readme && timeout 240 bash commands.sh </dev/null >commands.log 2>&1); then
  fail "the README's commands failed:"
  tail -n 30 readme/commands.log
fi

modules=$HOME/.frei0r-1/lib
for module in vavo_rozar sinefield tonegrade crossfade; do
  [ -f "$modules/$module.so" ] || fail "no $module.so in ~/.frei0r-1/lib"
done

# Every video decodes; pictures from them for the checks below.
frame() { ffmpeg -nostdin -v error -i "readme/$1" -vf "select=eq(n\,$2)" -vsync 0 -frames:v 1 -pix_fmt rgba "$3"; }
for video in clock graded video clock-over-video crossfade clock-project; do
  frame "$video.mp4" 0 "$video-first.png" || fail "readme/$video.mp4 does not decode"
done
frame crossfade.mp4 49 crossfade-last.png || fail "crossfade.mp4 has no frame 49"
# melt leaves out services it does not know and goes on: the clock, the
# grade and the fade must each have changed the picture.
differ "the clock is over the video" video-first.png clock-over-video-first.png --tolerance 8
differ "ToneGrade changed the pattern" video-first.png graded-first.png --tolerance 8
differ "the fade ends elsewhere than it starts" crossfade-first.png crossfade-last.png --tolerance 8
# The flat blue is (32, 64, 192), give or take the video's own conversions.
for pair in 0:32 1:64 2:192; do
  mean=$(stat_of crossfade-last.png mean "${pair%:*}")
  awk -v m="$mean" -v e="${pair#*:}" 'BEGIN { exit !(m > e - 16 && m < e + 16) }' ||
    fail "crossfade.mp4 does not end in the flat blue: channel ${pair%:*} mean $mean"
done
for video in clock clock-project; do
  [ "$(stat_of "$video-first.png" max 0)" -ge 150 ] || fail "$video.mp4 shows no clock"
done
[ -f readme/sinefield-24.png ] || fail "gst-launch-1.0 did not write 25 SineField frames"
# The mixer wrote a picture with the bars in it.
[ "$(stat_of readme/mixed.png max 1)" -ge 100 ] 2>/dev/null || fail "the GStreamer mixer wrote no mixed picture"

# The table: one row per parameter, index, name and frei0r type as the
# module reports them, and each option element at index/(n-1).
table=$(grep -E '^\| [0-9]+ \| ' <<<"$section")
"$frame_check" params "$modules/vavo_rozar.so" >params.txt || fail "frame_check cannot read vavo_rozar.so"
[ "$(grep -c . <<<"$table")" = "$(awk '$1 == "params" { print $2 }' params.txt)" ] ||
  fail "the table has $(grep -c . <<<"$table") rows, the module $(awk '$1 == "params" { print $2 }' params.txt) parameters"
"$plughost" info "$plugins/VavoRozar.so" >info.txt
while IFS='|' read -r _ index name type values _; do
  index=$(xargs <<<"$index") name=$(xargs <<<"$name") type=$(xargs <<<"$type")
  actual=$(awk -F'\t' -v i="$index" '$1 == i { print $3 "|" $2 }' params.txt)
  [ "$actual" = "$name|$type" ] || fail "table row $index says '$name|$type', the module '$actual'"
  # plughost info lists an option's elements under it as "[k] Name = value".
  elements=$(awk -v i="$index" '$1 == i { on = 1; next } on && /^ +\[[0-9]+\]/ { sub(/^ +\[[0-9]+\] /, ""); sub(/ = [^=]*$/, ""); print; next } on { exit }' info.txt)
  if [ -n "$elements" ]; then
    count=$(grep -c . <<<"$elements")
    documented=$(sed 's/, /\n/g' <<<"$values" | sed 's/^ *//; s/ *$//')
    [ "$(grep -c . <<<"$documented")" = "$count" ] || fail "row $index lists $(grep -c . <<<"$documented") elements, the plug-in $count"
    k=0
    while IFS= read -r element; do
      want=$(awk -v k=$k -v n="$count" 'BEGIN { v = k / (n - 1); s = sprintf("%.6f", v); sub(/0+$/, "", s); sub(/\.$/, "", s); print s }')
      grep -qxF "$want = $element" <<<"$documented" || fail "row $index: '$element' is not documented as $want"
      k=$((k + 1))
    done <<<"$elements"
  fi
done <<<"$table"
# Timezone Offset reads back 0.461538 for the plug-in's 0 hours.
grep -qP '^10\tdouble\tTimezone Offset\t0.4615' params.txt || fail "Timezone Offset does not read back 0.461538: $(grep '^10' params.txt)"

finish
