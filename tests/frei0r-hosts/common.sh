# Shared by the host tests: sourced with the build folder, the frame_check
# helper, a scratch folder, the source folder and the test plug-ins' folder
# as $1 .. $5. Installs the modules of the clock, the examples and the time
# probes with `plughost frei0r` into the scratch folder and points every host
# there; HOME is a scratch folder too, so nothing of the machine's own
# frei0r set-up or GStreamer registry takes part.
set -euo pipefail
build=$1 frame_check=$2 scratch=$3 source_dir=$4 test_plugins=$5
plughost=$build/tools/plughost
plugins=$build/plugins

rm -rf "$scratch"
mkdir -p "$scratch/home" "$scratch/modules"
cd "$scratch"
export HOME=$scratch/home
export FREI0R_PATH=$scratch/modules
export GST_REGISTRY=$scratch/gst-registry.bin
unset MLT_FREI0R_PLUGIN_PATH

for host in ffmpeg melt gst-launch-1.0 gst-inspect-1.0; do
  command -v "$host" >/dev/null || { echo "SKIP: $host is not installed (scripts/install-deps.sh test)"; exit 77; }
done
if ! "$plughost" frei0r --help >/dev/null 2>&1; then
  echo "SKIP: this plughost has no frei0r command"
  exit 77
fi
"$plughost" frei0r "$plugins/VavoRozar.so" "$plugins/SineField.so" "$plugins/ToneGrade.so" "$plugins/CrossFade.so" \
  "$test_plugins/TimeProbe.so" "$test_plugins/TimeProbeEffect.so" --dir "$scratch/modules" >installed.txt
for module in vavo_rozar sinefield tonegrade crossfade time_probe time_probe_fx; do
  grep -q "$scratch/modules/$module.so" installed.txt || { echo "FAIL: plughost frei0r did not report $module.so"; cat installed.txt; exit 1; }
  [ -f "$scratch/modules/$module.so" ] || { echo "FAIL: $module.so was not written"; exit 1; }
done

# From here on a failing check is counted and the test goes on.
set +e
failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# Ends the test: 1 when any check failed.
finish() {
  if [ "$failures" -ne 0 ]; then
    echo "$failures check(s) failed"
    exit 1
  fi
  echo "all checks passed"
}

# run NAME COMMAND...: runs a host under a time limit, its output in NAME.log;
# a failure (or a hang) is reported with the end of that log.
run() {
  local name=$1
  shift
  if ! timeout 60 "$@" >"$name.log" 2>&1; then
    fail "$name: '$*' failed:"
    tail -n 15 "$name.log"
    return 1
  fi
}

# same NAME A B [frame_check compare options]: the two pictures agree.
same() {
  local name=$1
  shift
  local verdict
  if ! verdict=$("$frame_check" compare "$@" 2>&1); then
    fail "$name: $verdict"
    return 1
  fi
  echo "ok $name: $verdict"
}

# differ NAME A B [options]: the two pictures are not the same (and both
# can be read).
differ() {
  local name=$1 status
  shift
  "$frame_check" compare "$@" >/dev/null 2>&1
  status=$?
  if [ "$status" -ne 1 ]; then
    [ "$status" -eq 0 ] && fail "$name: the pictures are the same" || fail "$name: $("$frame_check" compare "$@" 2>&1)"
    return 1
  fi
  echo "ok $name"
}

# stat_of FILE [options] LINE CHANNEL: one number of frame_check stats
# (LINE min, max or mean; CHANNEL 0..3 for r, g, b, a).
stat_of() {
  local channel=${*: -1} line=${*: -2:1}
  "$frame_check" stats "${@:1:$#-2}" | awk -v line="$line" -v c="$channel" '$1 == line { print $(c + 2) }'
}

# hundredths FILE [options]: the time a time probe showed, in hundredths of
# a second (red + 256 * green of its flat frame).
hundredths() {
  local red green
  red=$(stat_of "$@" mean 0) green=$(stat_of "$@" mean 1)
  awk -v r="$red" -v g="$green" 'BEGIN { print r + 256 * g }'
}
# shows_times NAME EXPECTED FILE... / shows_times NAME EXPECTED RAW WxH: the time probe
# frames (PNG files, or each frame of a raw RGBA file of WxH frames) show
# EXPECTED, hundredths of a second, space separated, one per frame.
shows_times() {
  local name=$1 expected=$2 got=() file k
  shift 2
  if [ $# -eq 2 ] && [ "${1%.png}" = "$1" ]; then
    for k in $expected; do got+=("$(hundredths "$1" --size "$2" --frame "${#got[@]}")"); done
  else
    for file in "$@"; do got+=("$(hundredths "$file")"); done
  fi
  [ "${got[*]}" = "$expected" ] || { fail "$name: times ${got[*]} (hundredths of a second), not $expected"; return 1; }
  echo "ok $name: $expected"
}

# render NAME PLUGIN [plughost render options]: the reference, NAME.png.
render() {
  local name=$1 plugin=$2
  shift 2
  run "$name-reference" "$plughost" render "$plugins/$plugin.so" --out "$name.png" "$@"
}
