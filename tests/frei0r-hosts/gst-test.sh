#!/usr/bin/env bash
# GStreamer 1.22 with the bridged modules: the elements' names and
# properties, SineField and the clock as sources, ToneGrade as a filter and
# CrossFade as a mixer, compared with plughost render. GStreamer hands RGBA
# through to pngenc untouched, so source frames are byte for byte the
# plug-in's own. A registry of the test's own (common.sh) makes every run
# scan the modules afresh.
# Usage: gst-test.sh BUILD_DIR FRAME_CHECK SCRATCH_DIR SOURCE_DIR TEST_PLUGIN_DIR
source "$(dirname "$0")/common.sh"

gst() { run "$1" gst-launch-1.0 -q "${@:2}"; }
rgba="video/x-raw,format=RGBA,width=64,height=48,framerate=25/1"

# Element names: the plug-in's name, lower case, other characters as '-';
# properties: the parameters' names the same way, doubles in 0..1.
for element in frei0r-src-vavo-rozar frei0r-src-sinefield frei0r-filter-tonegrade frei0r-mixer-crossfade; do
  gst-inspect-1.0 "$element" >"$element.txt" 2>&1 || fail "gst-inspect-1.0 does not know $element"
done
for property in display-type show-seconds scale red manual-mode hours timezone-offset solid-background \
  red-seconds-hand; do
  grep -q "^  $property  *:" frei0r-src-vavo-rozar.txt || fail "frei0r-src-vavo-rozar has no property $property"
done
grep -A3 "^  timezone-offset" frei0r-src-vavo-rozar.txt | grep -q "Range: *0 - *1 Default: *0.46" ||
  fail "timezone-offset is not a double in 0..1 reading 0.46 (0 hours): $(grep -A3 '^  timezone-offset' frei0r-src-vavo-rozar.txt)"
grep -A3 "^  manual-mode" frei0r-src-vavo-rozar.txt | grep -q "Boolean" || fail "manual-mode is not a boolean"
grep -q "^  mixval  *:" frei0r-mixer-crossfade.txt || fail "frei0r-mixer-crossfade has no property mixval"

# SineField, stopped (it runs on its own clock), to PNG files: rings, hue
# 0.6, 16 bands.
gst sine frei0r-src-sinefield num-buffers=2 tint=0.6 tint-saturation=1 pattern=1 speed=0 bands=1 ! "$rgba" ! pngenc ! \
  multifilesink location=sine-%02d.png
render sine SineField --size 64x48 --set tint=0.6 --set tint_saturation=1 --set pattern=Rings --set speed=0 --set bands=16
same "SineField source" sine.png sine-00.png
same "SineField source, frame 1" sine.png sine-01.png

# Host time: the buffer time in seconds, for a source and a filter.
gst probe frei0r-src-time-probe num-buffers=4 ! "$rgba" ! pngenc ! multifilesink location=probe-%02d.png
shows_times "source time" "0 4 8 12" probe-00.png probe-01.png probe-02.png probe-03.png
gst probe-filter videotestsrc num-buffers=3 ! "$rgba" ! frei0r-filter-time-probe-fx ! pngenc ! \
  multifilesink location=probe-filter-%02d.png
shows_times "filter time" "0 4 8" probe-filter-00.png probe-filter-01.png probe-filter-02.png

# The clock in Digital 24h (display-type 1), Manual Mode, transparent.
gst clock frei0r-src-vavo-rozar num-buffers=1 display-type=1 scale=0.9 red=1 green=0.5 blue=0 manual-mode=true \
  hours=0.92222 minutes=0.13333 seconds=0.6 solid-background=false ! "$rgba" ! pngenc ! filesink location=clock-gst.png
render clock VavoRozar --size 64x48 --set "Display Type=Digital 24h" --set Scale=0.9 --set Red=1 --set Green=0.5 \
  --set Blue=0 --set "Manual Mode=on" --set Hours=0.92222 --set Minutes=0.13333 --set Seconds=0.6 \
  --set "Solid Background=off"
same "clock source" clock.png clock-gst.png

# A large frame at an odd size, read back by two threads on GStreamer's
# streaming thread: the halves meet where they should.
gst clock-large frei0r-src-vavo-rozar num-buffers=1 display-type=1 scale=0.8 red=1 green=0.5 blue=0.2 \
  manual-mode=true hours=0.92222 minutes=0.13333 seconds=0.6 ! \
  "video/x-raw,format=RGBA,width=1001,height=701,framerate=25/1" ! pngenc ! filesink location=clock-large-gst.png
render clock-large VavoRozar --size 1001x701 --set "Display Type=Digital 24h" --set Scale=0.8 --set Red=1 \
  --set Green=0.5 --set Blue=0.2 --set "Manual Mode=on" --set Hours=0.92222 --set Minutes=0.13333 --set Seconds=0.6
same "clock source at 1001x701" clock-large.png clock-large-gst.png

# ToneGrade on a known picture.
ffmpeg -nostdin -loglevel error -f lavfi -i testsrc2=size=64x48 -frames:v 1 -pix_fmt rgba pattern.png
ffmpeg -nostdin -loglevel error -f lavfi -i color=c=0x2040c0:size=64x48 -frames:v 1 -pix_fmt rgba flat.png
picture() { echo "filesrc location=$1 ! pngdec ! imagefreeze num-buffers=1 ! videoconvert ! $rgba"; }
gst tone $(picture pattern.png) ! frei0r-filter-tonegrade gain=0.4 contrast=0.7 ! pngenc ! filesink location=tone-gst.png
render tone ToneGrade --size 64x48 --input pattern.png --set gain=0.8 --set contrast=1.4
same "ToneGrade filter" tone.png tone-gst.png --tolerance 1

# CrossFade as a mixer: sink_0 is the first input.
gst fade frei0r-mixer-crossfade name=mix mixval=0.25 ! pngenc ! filesink location=fade-gst.png \
  $(picture pattern.png) ! mix.sink_0 $(picture flat.png) ! mix.sink_1
render fade CrossFade --size 64x48 --input pattern.png --input flat.png --set mixVal=0.25
same "CrossFade mixer at 0.25" fade.png fade-gst.png --tolerance 1

finish
