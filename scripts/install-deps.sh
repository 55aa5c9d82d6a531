#!/usr/bin/env bash
# Installs what building and testing need, when it is missing. Debian only.
set -euo pipefail

# pkgconf, dpkg-dev (dpkg-shlibdeps) and file: the install and .deb tests.
# cpp-httplib and nlohmann-json: plughost serve. chromium: its browser test,
# which installs its npm packages itself (tests/serve/browser/run.sh).
packages=(
  cmake g++ make binutils pkgconf dpkg-dev file
  libgtest-dev libbenchmark-dev libpng-dev
  libegl-dev libgl-dev libopengl-dev libegl-mesa0 libgl1-mesa-dri
  libcpp-httplib-dev nlohmann-json3-dev chromium
  # The fuzz targets: clang with its sanitizer and libFuzzer runtimes, and
  # the symbolizer that puts names on their reports.
  clang libclang-rt-14-dev llvm-14
)
# Node.js and npm usually come with the machine; Debian's do when they do not.
command -v node >/dev/null || packages+=(nodejs)
command -v npm >/dev/null || packages+=(npm)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
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
