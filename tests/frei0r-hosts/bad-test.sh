#!/usr/bin/env bash
# Plug-ins that fail, through ffmpeg and gst-launch-1.0: one whose shader
# does not compile, one that can no longer be loaded (a library it needs has
# gone), and the clock when no GL context can be had. Each host must exit
# with an error, the bridge's message naming the plug-in on the way, within
# seconds: never hang, crash or report success.
# Usage: bad-test.sh BUILD_DIR FRAME_CHECK SCRATCH_DIR SOURCE_DIR TEST_PLUGIN_DIR
source "$(dirname "$0")/common.sh"
bad=$5
departed=$(dirname "$bad")/departed

# Departing.so finds libdeparted.so in departed/ while it is installed.
mkdir -p "$departed"
cp "$(dirname "$bad")/departed-build/libdeparted.so" "$departed/"
"$plughost" frei0r "$bad/BadShader.so" "$bad/Departing.so" --dir "$scratch/modules" >bad-installed.txt 2>&1 ||
  fail "plughost frei0r did not install the failing plug-ins: $(cat bad-installed.txt)"
rm -rf "$departed"

# refused NAME WORD... -- COMMAND...: COMMAND exits non-zero within 20 s,
# not killed by a signal, and its output names each WORD.
refused() {
  local name=$1 words=()
  shift
  while [ "$1" != -- ]; do
    words+=("$1")
    shift
  done
  shift
  local start=$SECONDS status
  timeout 20 "$@" >"$name.log" 2>&1
  status=$?
  if [ "$status" -eq 0 ]; then
    fail "$name: exited 0"
  elif [ "$status" -eq 124 ]; then
    fail "$name: still running after 20 s"
  elif [ "$status" -gt 128 ]; then
    fail "$name: killed by signal $((status - 128))"
  else
    local word
    for word in "${words[@]}"; do
      grep -qi -- "$word" "$name.log" || fail "$name: the output does not say '$word'"
    done
    echo "ok $name: exit $status after $((SECONDS - start)) s"
  fi
  sed 's/^/    /' "$name.log" | head -n 8
}

# ffsrc MODULE / gstsrc ELEMENT: the command lines for a source module.
ffsrc() {
  cmd=(ffmpeg -nostdin -hide_banner -loglevel error -f lavfi
    -i "frei0r_src=size=64x48:framerate=25:filter_name=$1:filter_params=0" -frames:v 2 -pix_fmt rgba -f rawvideo -y "$1.rgba")
}
# A registry of its own each time: the bridge's message comes when the
# registry scan probes the module, so a scan must happen in every run.
gstsrc() {
  cmd=(env "GST_REGISTRY=$scratch/registry-$1.bin" gst-launch-1.0 -q "frei0r-src-$1" num-buffers=2 ! video/x-raw,width=64,height=48,framerate=25/1 ! fakesink)
}
ffsrc bad_shader
refused "ffmpeg, shader does not compile" "Bad Shader" -- "${cmd[@]}"
ffsrc departing
refused "ffmpeg, plug-in cannot be loaded" "Departing" "libdeparted" -- "${cmd[@]}"
# No EGL vendor library: no GL context for the clock.
ffsrc vavo_rozar
refused "ffmpeg, no GL context" "Vavo Rozar" -- env __EGL_VENDOR_LIBRARY_FILENAMES=/nonexistent.json "${cmd[@]}"

gstsrc bad-shader
refused "gst-launch-1.0, shader does not compile" "Bad Shader" -- "${cmd[@]}"
gstsrc departing
refused "gst-launch-1.0, plug-in cannot be loaded" "Departing" "libdeparted" -- "${cmd[@]}"
# The good modules beside the failing ones still work in the same process.
run "gst-launch-1.0, a good module beside them" gst-launch-1.0 -q frei0r-src-sinefield num-buffers=2 ! \
  video/x-raw,width=64,height=48,framerate=25/1 ! fakesink

finish
