#!/usr/bin/env bash
# Builds libjpeg-turbo for 64-bit Windows with MinGW-w64 from Debian's source package and installs
# it into build/deps/libjpeg-turbo-mingw (include/ and lib/libjpeg.a), where the Windows preset
# looks for it. Static library, SIMD on (nasm), the libjpeg 6b interface, no TurboJPEG.
# Does nothing when the library is already installed; FORCE=1 rebuilds it.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deps="$root/build/deps"
prefix="$deps/libjpeg-turbo-mingw"
src_parent="$deps/src"
work="$deps/libjpeg-turbo-mingw-build"
log="$deps/libjpeg-turbo-mingw-build.log"

if [[ -f "$prefix/lib/libjpeg.a" && -f "$prefix/include/jpeglib.h" && "${FORCE:-0}" != 1 ]]; then
  echo "libjpeg-turbo for MinGW is installed: $prefix/lib/libjpeg.a"
  exit 0
fi

# shellcheck source=scripts/debian_source.sh
. "$root/scripts/debian_source.sh"
prepare_source_build nasm=nasm x86_64-w64-mingw32-gcc-posix=gcc-mingw-w64-x86-64-posix \
  cmake=cmake ninja=ninja-build dpkg-source=dpkg-dev

start=$(date +%s)
mkdir -p "$src_parent"
src_dir="$(find "$src_parent" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | sort | tail -n 1)"
if [[ -z "$src_dir" || ! -f "$src_dir/CMakeLists.txt" ]]; then
  (cd "$src_parent" && apt-get source -qq libjpeg-turbo)
  src_dir="$(find "$src_parent" -maxdepth 1 -type d -name 'libjpeg-turbo-*' | sort | tail -n 1)"
fi
[[ -f "$src_dir/CMakeLists.txt" ]] || { echo "no libjpeg-turbo source in $src_parent" >&2; exit 1; }
echo "source: $src_dir"

rm -rf "$work"
cmake -S "$src_dir" -B "$work" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DCMAKE_ASM_NASM_COMPILER="$(command -v nasm)" \
  -DENABLE_SHARED=OFF -DENABLE_STATIC=ON \
  -DWITH_SIMD=ON -DREQUIRE_SIMD=ON \
  -DWITH_TURBOJPEG=OFF -DWITH_JPEG8=OFF -DWITH_JPEG7=OFF \
  -DWITH_CRT_DLL=OFF >"$log" 2>&1 || { tail -n 40 "$log" >&2; exit 1; }
grep -q 'SIMD extensions: x86_64 (WITH_SIMD = 1)' "$log" ||
  { echo "SIMD is not enabled, see $log" >&2; exit 1; }
cmake --build "$work" --target install >>"$log" 2>&1 || { tail -n 40 "$log" >&2; exit 1; }

# libjpeg-turbo names the static library libjpeg.a for MinGW; check rather than assume.
[[ -f "$prefix/lib/libjpeg.a" ]] || { echo "no $prefix/lib/libjpeg.a after the install" >&2; exit 1; }
echo "SIMD: $(grep -m1 'SIMD extensions' "$log")"
echo "built $prefix/lib/libjpeg.a in $(($(date +%s) - start)) s"
