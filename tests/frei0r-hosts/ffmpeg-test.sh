#!/usr/bin/env bash
# ffmpeg 5.1 with the bridged modules: the clock and SineField as frei0r_src,
# ToneGrade as the frei0r filter, compared with plughost render of the same
# parameters and times. ffmpeg hands RGBA through untouched to -pix_fmt rgba
# rawvideo, so frames must be byte for byte the plug-in's own.
# Usage: ffmpeg-test.sh BUILD_DIR FRAME_CHECK SCRATCH_DIR SOURCE_DIR TEST_PLUGIN_DIR
source "$(dirname "$0")/common.sh"

ff() { run "$1" ffmpeg -nostdin -hide_banner -loglevel error "${@:2}"; }
# source NAME MODULE WxH FRAMES PARAMS: NAME.rgba, FRAMES frames at 25 fps.
source_frames() {
  ff "$1" -f lavfi -i "frei0r_src=size=$3:framerate=25:filter_name=$2:filter_params=$5" \
    -frames:v "$4" -pix_fmt rgba -f rawvideo "$1.rgba"
}

# The clock in Digital 24h, Manual Mode, 22:08:36, every parameter set by
# position: option 1 = the last element, booleans y/n, Timezone Offset
# 0.461538 = 12/26 = 0 hours.
manual=(--set "Manual Mode=on" --set Hours=0.92222 --set Minutes=0.13333 --set Seconds=0.6)
source_frames digital vavo_rozar 128x72 2 "1|y|0.8|1|0.5|0.2|y|0.92222|0.13333|0.6|0.461538|y|n"
render digital VavoRozar --size 128x72 --set "Display Type=Digital 24h" "${manual[@]}" --set Scale=0.8 \
  --set Red=1 --set Green=0.5 --set Blue=0.2
same "clock source, frame 0" digital.png digital.rgba --size 128x72
same "clock source, frame 1 (Manual Mode holds the time)" digital.png digital.rgba --size 128x72 --frame-b 1

# Fewer values leave the rest at the plug-in's defaults; n turns Solid
# Background off, and the frame is then transparent around the digits.
source_frames transparent vavo_rozar 128x72 1 "1|y|0.8|1|0|0|y|0.92222|0.13333|0.6|0.461538|n"
render transparent VavoRozar --size 128x72 --set "Display Type=Digital 24h" "${manual[@]}" --set Scale=0.8 \
  --set Red=1 --set Green=0 --set Blue=0 --set "Solid Background=off"
same "clock source, transparent background" transparent.png transparent.rgba --size 128x72
[ "$(stat_of transparent.rgba --size 128x72 min 3)" = 0 ] || fail "Solid Background=n: no transparent pixel"
[ "$(stat_of digital.rgba --size 128x72 min 3)" = 255 ] || fail "Solid Background=y: not opaque"
# Red 1, Green 0, Blue 0 reach the plug-in: red digits, nothing green or blue.
[ "$(stat_of transparent.rgba --size 128x72 max 0)" -ge 200 ] || fail "Red=1 did not reach the clock"
[ "$(stat_of transparent.rgba --size 128x72 max 1)" = 0 ] || fail "Green=0 did not reach the clock"

# ffmpeg pads the rows of frames whose width is not a multiple of its row
# alignment (16 bytes or more): the module says the picture comes out
# sheared, and says nothing at the widths above.
ff padded -f lavfi -i "frei0r_src=size=98x16:framerate=25:filter_name=vavo_rozar:filter_params=0" -frames:v 1 -f null -
grep -q "frames 98 pixels wide in rows of .*sheared" padded.log || fail "no word of ffmpeg's padded rows at width 98"
grep -q "sheared" digital.log transparent.log && fail "a word of padded rows at width 128"

# Each option element at its documented value: index/(n-1). The clock
# keeps whole minutes unless the face is smooth, judged when Minutes is set,
# so the references set the face first, in index order as ffmpeg does.
elements=("Analog:0" "Analog (Smooth):0.333333" "Digital 12h:0.666667" "Digital 24h:1")
for pair in "${elements[@]}"; do
  element=${pair%:*} value=${pair##*:}
  name=type-$value
  source_frames "$name" vavo_rozar 64x48 1 "$value|y|0.9|0.8|0.8|0.8|y|0.84444|0.13333|0.6"
  render "$name" VavoRozar --size 64x48 --set "Display Type=$element" "${manual[@]}" --set Hours=0.84444 --set Scale=0.9
  same "Display Type $value is $element" "$name.png" "$name.rgba" --size 64x48
done
differ "Analog and Digital 12h differ" type-0.rgba type-0.666667.rgba --size 64x48

# Timezone Offset's -12..14 is 0..1: 1 adds 14 hours.
source_frames zone vavo_rozar 128x72 1 "1|y|0.8|0.8|0.8|0.8|y|0.92222|0.13333|0.6|1"
render zone VavoRozar --size 128x72 --set "Display Type=Digital 24h" "${manual[@]}" --set Scale=0.8 \
  --set "Timezone Offset=14"
same "Timezone Offset 1 = +14 hours" zone.png zone.rgba --size 128x72

# SineField, stopped (speed 0: it runs on its own clock, not the host's):
# hue 0.6, full saturation, rings, 16 bands (1 of 1..16).
source_frames sine sinefield 64x48 2 "0.6|1|1|1|1|0|1|0.2"
render sine SineField --size 64x48 --set tint=0.6 --set tint_saturation=1 --set pattern=Rings --set speed=0 \
  --set bands=16 --set shade=0.2
same "SineField source" sine.png sine.rgba --size 64x48
same "SineField source, frame 1" sine.png sine.rgba --size 64x48 --frame-b 1

# Host time: ffmpeg passes 0, 40, 80 ms ...; the plug-in gets seconds, as a
# source and as a filter, at any frame rate.
source_frames probe time_probe 16x16 4 0
shows_times "source time at 25 fps" "0 4 8 12" probe.rgba 16x16
ff probe10 -f lavfi -i "frei0r_src=size=16x16:framerate=10:filter_name=time_probe:filter_params=0" -frames:v 3 \
  -pix_fmt rgba -f rawvideo probe10.rgba
shows_times "source time at 10 fps" "0 10 20" probe10.rgba 16x16
# ffmpeg 5.1's filter loses the time when it repacks its input's rows, which
# it does unless the width is a multiple of 64 pixels: the README says so.
ff probe-filter -f lavfi -i testsrc2=size=64x16:rate=25 -vf format=rgba,frei0r=filter_name=time_probe_fx \
  -frames:v 3 -pix_fmt rgba -f rawvideo probe-filter.rgba
shows_times "filter time at 25 fps" "0 4 8" probe-filter.rgba 64x16

# ToneGrade on a known input: ffmpeg's test pattern as an RGBA PNG.
ff input -f lavfi -i testsrc2=size=64x48:rate=25 -frames:v 1 -pix_fmt rgba input.png
ff tone -i input.png -vf "frei0r=filter_name=tonegrade:filter_params=0.6|0.75|n" -pix_fmt rgba -f rawvideo tone.rgba
render tone ToneGrade --size 64x48 --input input.png --set gain=1.2 --set contrast=1.5 --set invert=off
same "ToneGrade gain 1.2, contrast 1.5" tone.png tone.rgba --size 64x48 --tolerance 1

# invert=y on a flat colour: 255 minus each channel, whatever the bridge.
ff flat -f lavfi -i color=c=0x336699:size=64x48 -frames:v 1 -pix_fmt rgba flat.png
ff inverted -i flat.png -vf "frei0r=filter_name=tonegrade:filter_params=0.5|0.5|y" -pix_fmt rgba -f rawvideo inverted.rgba
for channel in 0 1 2; do
  expected=$((255 - $(stat_of flat.png min "$channel")))
  for line in min max; do
    got=$(stat_of inverted.rgba --size 64x48 "$line" "$channel")
    [ -n "$got" ] && [ $((got - expected)) -le 1 ] && [ $((expected - got)) -le 1 ] ||
      fail "invert=y: channel $channel $line is '$got', not $expected"
  done
done
[ "$(stat_of inverted.rgba --size 64x48 min 3)" = 255 ] || fail "invert=y: alpha is not kept"

# A plug-in made from an ISF file goes through the bridge like any other:
# RippleRings with Rings 10.5 and Speed 2 (0.5 of 1..20 and of 0..4), frame 2
# at 0.08 s against plughost render at that time.
if run ripple-module "$plughost" frei0r "$plugins/RippleRings.so" --dir "$scratch/modules"; then
  source_frames ripple ripplerings 96x54 3 "0.5|0.5"
  render ripple RippleRings --size 96x54 --set Rings=10.5 --set Speed=2 --time 0.08
  same "ISF plug-in RippleRings, frame 2" ripple.png ripple.rgba --size 96x54 --frame-b 2
  differ "ISF plug-in RippleRings moves with the host's time" ripple.png ripple.rgba --size 96x54 --frame-b 0
fi

finish
