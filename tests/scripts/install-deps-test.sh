#!/usr/bin/env bash
# Runs scripts/install-deps.sh with every package reported missing and
# apt-get recorded instead of run, and checks what each profile asks for:
# the main job's build profile none of the test-only packages, the test
# profile all of them.
set -euo pipefail
script="$1/scripts/install-deps.sh"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A PATH of only shims and the few tools the script uses, so that neither
# the real package database nor a Node.js on this machine answers.
mkdir "$work/bin"
for tool in grep sed; do ln -s "$(command -v $tool)" "$work/bin/$tool"; done
printf '#!/bin/sh\nexit 1\n' >"$work/bin/dpkg-query"
printf '#!/bin/sh\necho "$@" >>"%s/apt.log"\n' "$work" >"$work/bin/apt-get"
printf '#!/bin/sh\necho 0\n' >"$work/bin/id"
chmod +x "$work/bin/"*

asked() {
  rm -f "$work/apt.log"
  PATH="$work/bin" /bin/bash "$script" "$@" 2>/dev/null
  grep -- '^install' "$work/apt.log" | tr ' ' '\n'
}
fail=0
test_only=(chromium clang llvm-14 libclang-rt-14-dev nodejs npm libgtest-dev libbenchmark-dev
  ffmpeg melt gstreamer1.0-tools gstreamer1.0-plugins-bad fonts-dejavu-core)
needed=(g++ cmake libpng-dev libegl-dev libgl1-mesa-dri libcpp-httplib-dev nlohmann-json3-dev)

build=$(asked build)
for p in "${test_only[@]}"; do
  grep -qx -- "$p" <<<"$build" && { echo "build profile installs $p"; fail=1; }
done
for p in "${needed[@]}"; do
  grep -qx -- "$p" <<<"$build" || { echo "build profile misses $p"; fail=1; }
done
everything=$(asked test)
for p in "${test_only[@]}" "${needed[@]}"; do
  grep -qx -- "$p" <<<"$everything" || { echo "test profile misses $p"; fail=1; }
done
# The default is the test profile; an unknown profile is a usage error.
[ "$(asked)" = "$everything" ] || { echo "no argument differs from 'test'"; fail=1; }
if PATH="$work/bin" /bin/bash "$script" everything 2>/dev/null; then
  echo "an unknown profile was accepted"
  fail=1
fi
# The main job asks for the build profile.
grep -q 'install-deps.sh build' "$1/scripts/render-clock.sh" || { echo "render-clock.sh does not use the build profile"; fail=1; }
exit $fail
