#!/usr/bin/env bash
# melt 7.12 (the engine of Kdenlive and Shotcut) with the bridged modules:
# the clock as a producer composited over a picture, SineField moving with
# melt's time, ToneGrade as a filter, CrossFade as a transition, parameters
# by name, by index and as keyframes that melt sets again before every frame.
# Compared with plughost render within the rounding of melt's compositing.
# Usage: melt-test.sh BUILD_DIR FRAME_CHECK SCRATCH_DIR SOURCE_DIR TEST_PLUGIN_DIR
source "$(dirname "$0")/common.sh"

cat >profile <<'EOF'
description=64x48 25 fps
frame_rate_num=25
frame_rate_den=1
width=64
height=48
progressive=1
sample_aspect_num=1
sample_aspect_den=1
display_aspect_num=4
display_aspect_den=3
colorspace=709
EOF
# mlt NAME ARGS...: frames NAME/01.png, NAME/02.png ... (melt counts from 1).
mlt() {
  local name=$1
  shift
  mkdir -p "$name"
  run "$name" melt -silent -profile profile "$@" -consumer "avformat:$name/%02d.png" vcodec=png pix_fmt=rgba
}
# melt leaves out a service it does not know and goes on, so check first that
# it knows each module, under the name documented.
for service in producer=frei0r.vavo_rozar producer=frei0r.sinefield filter=frei0r.tonegrade transition=frei0r.crossfade \
  producer=frei0r.time_probe filter=frei0r.time_probe_fx; do
  melt -query "$service" 2>/dev/null | grep -q "^identifier: ${service#*=}" || fail "melt does not list $service"
done

# Known inputs: ffmpeg's test pattern and a flat colour, as RGBA PNGs.
ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=64x48 -frames:v 1 -pix_fmt rgba pattern.png
ffmpeg -nostdin -loglevel error -f lavfi -i color=c=0x2040c0:size=64x48 -frames:v 1 -pix_fmt rgba flat.png

# The clock, transparent, over a flat picture (affine composites the upper
# track over the lower): plughost composites the same over the same colour.
# Parameters by name, as melt users type them; booleans 1/0.
manual=("Manual Mode=1" Hours=0.92222 Minutes=0.13333 Seconds=0.6)
mlt over color:0x2040c0ff out=1 -track frei0r.vavo_rozar out=1 "Display Type=1" Scale=0.9 "${manual[@]}" \
  "Solid Background=0" -transition affine a_track=0 b_track=1
render over VavoRozar --size 64x48 --set "Display Type=Digital 24h" --set Scale=0.9 --set "Manual Mode=on" \
  --set Hours=0.92222 --set Minutes=0.13333 --set Seconds=0.6 --set "Solid Background=off" --background "#2040C0"
same "clock over a picture, frame 0" over.png over/01.png --tolerance 3
same "clock over a picture, frame 1" over.png over/02.png --tolerance 3

# Parameters by index, and a keyframed Scale that melt sets again before
# each frame: 0.4, 0.6, 0.8 over frames 0..2.
mlt keys frei0r.vavo_rozar out=2 0=0 6=1 7=0.84444 8=0.13333 9=0.6 "2=0=0.4;2=0.8"
for pair in 1:0.4 2:0.6 3:0.8; do
  frame=${pair%:*} scale=${pair#*:}
  render "keys-$frame" VavoRozar --size 64x48 --set "Display Type=Analog" --set "Manual Mode=on" --set Hours=0.84444 \
    --set Minutes=0.13333 --set Seconds=0.6 --set Scale="$scale"
  same "keyframed Scale $scale in frame $((frame - 1))" "keys-$frame.png" "keys/0$frame.png" --tolerance 1
done
differ "keyframes change the frame" keys/01.png keys/03.png

# SineField, stopped (it runs on its own clock): rings, hue 0.6.
mlt sine frei0r.sinefield out=1 tint=0.6 tint_saturation=1 pattern=1 speed=0
render sine SineField --size 64x48 --set tint=0.6 --set tint_saturation=1 --set pattern=Rings --set speed=0
same "SineField producer" sine.png sine/01.png --tolerance 1

# Host time: the producer's frame position over the frame rate, and for a
# filter the position in the filter, in seconds.
mlt probe frei0r.time_probe out=3
shows_times "producer time" "0 4 8 12" probe/01.png probe/02.png probe/03.png probe/04.png
mlt probe-filter color:0x000000ff out=2 -filter frei0r.time_probe_fx
shows_times "filter time" "0 4 8" probe-filter/01.png probe-filter/02.png probe-filter/03.png

# ToneGrade as a filter: gain 0.6 of 0..2, invert on.
mlt tone pattern.png out=0 -filter frei0r.tonegrade gain=0.6 contrast=0.5 invert=1
render tone ToneGrade --size 64x48 --input pattern.png --set gain=1.2 --set contrast=1 --set invert=on
same "ToneGrade filter" tone.png tone/01.png --tolerance 2

# CrossFade as a transition: the lower track is the first input.
mlt fade pattern.png out=0 -track flat.png out=0 -transition frei0r.crossfade a_track=0 b_track=1 mixVal=0.25
render fade CrossFade --size 64x48 --input pattern.png --input flat.png --set mixVal=0.25
same "CrossFade transition at 0.25" fade.png fade/01.png --tolerance 2

finish
