#!/usr/bin/env bash
# Installs, from Debian's packages, everything the project needs to build and test: the native
# tool chain and GoogleTest, the MinGW-w64 cross compiler, nasm for libjpeg-turbo's SIMD code,
# Wine with a virtual display for the Windows tests, NSIS and zip for the release, and the tools
# the end-to-end tests and benchmarks use, ccache for the build of a fresh clone, the JSON and
# XML libraries, and the certificate maker of the HTTPS tests. Installs only what is missing and
# says what it installs.
set -euo pipefail

packages=(
  cmake ninja-build g++ clang libclang-rt-14-dev dpkg-dev
  libgtest-dev libgmock-dev libjpeg62-turbo-dev libpng-dev zlib1g-dev
  g++-mingw-w64-x86-64-posix mingw-w64-tools nasm
  wine wine64 xvfb xauth x11-utils xdotool imagemagick nsis zip
  tinyproxy libvips-tools python3-pil curl fp-utils libchm-bin ccache
  nlohmann-json3-dev libpugixml-dev python3-cryptography
)

as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'ok installed'; then
    missing+=("$p")
  fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
  echo "install-deps: all ${#packages[@]} packages are installed"
  exit 0
fi

echo "install-deps: installing ${missing[*]}"
as_root apt-get update -qq
# With recommends: Wine needs its fonts and X libraries to draw windows.
as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
echo "install-deps: done"
