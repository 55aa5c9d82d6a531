#!/usr/bin/env bash
# Installs the SDK to a scratch prefix, moves it (an installed SDK must not
# depend on where it was installed, nor on this tree), then builds the
# template the two documented ways and checks the results with a test built
# against the installed host library.
# Usage: template-test.sh BUILD_DIR SOURCE_DIR SCRATCH_DIR LIBDIR CXX
set -euo pipefail
build=$1 source=$2 scratch=$3 libdir=$4 cxx=$5
rm -rf "$scratch"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch"

cmake --install "$build" --prefix "$scratch/first" >/dev/null
if grep -rl -e "$source" -e "$build" "$scratch/first"; then
  echo "FAIL: the installed files above name the source or build tree" >&2
  exit 1
fi
mv "$scratch/first" "$scratch/moved"
prefix=$scratch/moved

# An author's CMake build: the template as it stands.
cmake -S "$source/templates/plugin" -B "$scratch/template" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
cmake --build "$scratch/template" >/dev/null

# The frei0r module ffgl_add_frei0r made, in ffmpeg as the template's README
# shows it: the middle of the square is the colour given as text.
module=$scratch/template/frei0r/MyPlugin/myplugin.so
[ -f "$module" ] || { echo "FAIL: ffgl_add_frei0r made no $module" >&2; exit 1; }
if command -v ffmpeg >/dev/null; then
  (cd "$scratch/template/.." && FREI0R_PATH=template/frei0r/MyPlugin ffmpeg -nostdin -v error -f lavfi \
    -i "frei0r_src=size=320x240:framerate=25:filter_name=myplugin:filter_params=0.5|0.5|#40C0FF" \
    -frames:v 1 -y frame.png)
  centre=$(ffmpeg -nostdin -v error -i "$scratch/frame.png" -vf crop=1:1:160:120 -pix_fmt rgba -f rawvideo - | od -An -tu1 | tr -s ' ')
  [ "$centre" = " 64 192 255 255" ] || { echo "FAIL: the frei0r module's square is '$centre', not #40C0FF" >&2; exit 1; }
fi

# The README's pkg-config line.
export PKG_CONFIG_PATH=$prefix/$libdir/pkgconfig
"$cxx" -std=c++17 -O2 -shared -fPIC -fvisibility=hidden -fvisibility-inlines-hidden \
  "$source/templates/plugin/MyPlugin.cpp" -o "$scratch/MyPlugin.so" $(pkg-config --cflags --libs ffgl-sdk) \
  -Wl,--version-script="$(pkg-config --variable=exportmap ffgl-sdk)"

# The installed tool reads the plug-in too.
"$prefix/bin/plughost" info "$scratch/template/MyPlugin.so" | grep -q '"#FF8000"' \
  || { echo "FAIL: the installed plughost does not list the starting text" >&2; exit 1; }

cmake -S "$source/tests/sdk/checker" -B "$scratch/checker" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER="$cxx" -DCMAKE_PREFIX_PATH="$prefix" \
  -DPLUGIN_FROM_CMAKE="$scratch/template/MyPlugin.so" -DPLUGIN_FROM_PKG_CONFIG="$scratch/MyPlugin.so" >/dev/null
cmake --build "$scratch/checker" >/dev/null
"$scratch/checker/template_test" --gtest_brief=1
