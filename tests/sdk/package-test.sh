#!/usr/bin/env bash
# Builds the Debian package with cpack and checks its metadata and that it
# holds exactly the files `cmake --install` installs.
# Usage: package-test.sh BUILD_DIR SCRATCH_DIR
set -euo pipefail
build=$1 scratch=$2
rm -rf "$scratch"
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch"
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

(cd "$build" && cpack -G DEB -B "$scratch/package" >"$scratch/cpack.log" 2>&1) || { cat "$scratch/cpack.log" >&2; exit 1; }
debs=("$scratch"/package/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one .deb, found: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}

info=$(dpkg-deb --info "$deb")
field() { sed -n "s/^ $1: //p" <<<"$info"; }
# Whether a comma-separated relation list names a package, with any version.
names() {
  local item items
  IFS=',' read -ra items <<<"$1"
  for item in "${items[@]}"; do
    item=${item# }
    [ "${item%% *}" = "$2" ] && return 0
  done
  return 1
}
[ "$(field Package)" = ffgl-sdk ] || fail "Package is '$(field Package)'"
[ "$(field Architecture)" = "$(dpkg --print-architecture)" ] || fail "Architecture is '$(field Architecture)'"
[ -n "$(field Version)" ] || fail "no Version"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
# Linked libraries (found by dpkg-shlibdeps), then what nothing links but
# rendering and building need.
for p in libc6 libstdc++6 libopengl0 libegl1 libpng16-16 libgl1-mesa-dri libgl-dev libegl-dev libopengl-dev libpng-dev; do
  names "$(field Depends)" "$p" || fail "Depends lacks $p: $(field Depends)"
done
for p in cmake g++; do
  names "$(field Recommends)" "$p" || fail "Recommends lacks $p: $(field Recommends)"
done

# Regular files only, as paths under /usr.
dpkg-deb --contents "$deb" | awk '$1 ~ /^-/ { print $NF }' | sed 's|^\./usr/||' | sort >"$scratch/deb-files"
if dpkg-deb --contents "$deb" | awk '{ print $NF }' | grep -v '^\./$' | grep -v '^\./usr/'; then
  fail "the package installs outside /usr (paths above)"
fi
cmake --install "$build" --prefix "$scratch/root" >/dev/null
(cd "$scratch/root" && find . -type f | sed 's|^\./||' | sort) >"$scratch/installed-files"
diff "$scratch/installed-files" "$scratch/deb-files" >&2 || fail "the package's files differ from an install (< install, > package)"
for f in include/FFGLSDK.h include/ffgl/FFGL.h include/ffglex/FFGLShader.h include/ffglqs/FFGLQuickStart.h \
  include/plughost/PlugHost.h lib/libffgl-sdk.a lib/libplughost.a bin/plughost lib/ffgl/VavoRozar.so \
  lib/cmake/FFGLSDK/FFGLSDKConfig.cmake lib/cmake/FFGLSDK/FFGLSDKConfigVersion.cmake lib/pkgconfig/ffgl-sdk.pc \
  share/ffgl-sdk/plugin-exports.map lib/ffgl-sdk/frei0r-bridge.so \
  lib/frei0r-1/vavo_rozar.so lib/frei0r-1/sinefield.so lib/frei0r-1/tonegrade.so lib/frei0r-1/crossfade.so; do
  grep -qx "$f" "$scratch/deb-files" || fail "the package lacks $f"
done
# Nothing but frei0r modules where frei0r hosts look.
other=$(grep '^lib/frei0r-1/' "$scratch/deb-files" | grep -v '^lib/frei0r-1/[a-z0-9_]*\.so$' || true)
[ -z "$other" ] || fail "lib/frei0r-1 holds more than modules: $other"

# The packaged modules load in the hosts, from where the package puts them.
dpkg-deb -x "$deb" "$scratch/deb-root"
modules="$scratch/deb-root/usr/lib/frei0r-1"
export FREI0R_PATH="$modules" GST_REGISTRY="$scratch/gst-registry.bin"
host() { timeout 60 "$@" >"$scratch/host.log" 2>&1 || { cat "$scratch/host.log" >&2; fail "$*"; }; }
for source in vavo_rozar sinefield; do
  host ffmpeg -nostdin -v error -f lavfi -i "frei0r_src=size=64x48:framerate=25:filter_name=$source:filter_params=0" \
    -frames:v 2 -f null -
done
host ffmpeg -nostdin -v error -f lavfi -i testsrc=size=64x48:rate=25 -vf frei0r=filter_name=tonegrade:filter_params=0.5 \
  -frames:v 2 -f null -
host gst-inspect-1.0 frei0r-mixer-crossfade
[ $failures -eq 0 ]
