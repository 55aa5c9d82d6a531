#!/usr/bin/env bash
# Installs what is missing for one job. Debian only. Usage:
# scripts/install-deps.sh [build|test]
#   build  what building the clock, the SDK and plughost needs (the main job)
#   test   that and everything the tests, the browser test, fuzzing,
#          packaging and the bridges need (the default)
set -euo pipefail
profile="${1:-test}"

# Compiler, CMake, GL/EGL with Mesa's software renderer, libpng, and the
# libraries plughost links: cpp-httplib and nlohmann-json (serve), muparser
# (shader size expressions), frei0r's header (the bridge).
build=(
  cmake g++ make binutils pkgconf
  libpng-dev libegl-dev libgl-dev libopengl-dev libegl-mesa0 libgl1-mesa-dri
  libcpp-httplib-dev nlohmann-json3-dev libmuparser-dev frei0r-plugins-dev
)
# GoogleTest and Google Benchmark; dpkg-dev (dpkg-shlibdeps) and file for the
# install and .deb tests; chromium, node and npm for the browser tests; clang
# with its sanitizer and libFuzzer runtimes and the symbolizer for fuzzing;
# ffmpeg, melt and GStreamer with its frei0r elements for the bridge tests,
# and a font for ffmpeg's drawtext clock in the bridge benchmark.
tests=(
  libgtest-dev libbenchmark-dev dpkg-dev file
  chromium nodejs npm
  clang libclang-rt-14-dev llvm-14
  ffmpeg melt gstreamer1.0-tools gstreamer1.0-plugins-base
  gstreamer1.0-plugins-good gstreamer1.0-plugins-bad fonts-dejavu-core
)

case "$profile" in
  build) packages=("${build[@]}") ;;
  test) packages=("${build[@]}" "${tests[@]}") ;;
  -h | --help)
    sed -n '2,6p' "$0" | sed 's/^# \{0,1\}//'
    exit 0
    ;;
  *)
    echo "install-deps.sh: unknown profile '$profile' (build or test)" >&2
    exit 2
    ;;
esac

installed() {
  dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"
}
missing=()
for p in "${packages[@]}"; do
  # A Node.js that came with the machine from elsewhere serves as well.
  case "$p" in
    nodejs | npm) command -v "${p/nodejs/node}" >/dev/null && continue ;;
  esac
  installed "$p" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "installing: ${missing[*]}" >&2
sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "need root (or sudo) to install: ${missing[*]}" >&2; exit 1; }
  sudo_cmd=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
