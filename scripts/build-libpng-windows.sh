#!/usr/bin/env bash
# Builds zlib and libpng for 64-bit Windows with MinGW-w64 from Debian's source packages and
# installs them into build/deps/zlib-mingw (include/, lib/libz.a) and build/deps/libpng-mingw
# (include/, lib/libpng16.a), where the Windows preset looks for them. Static libraries only, no
# tools or tests; libpng uses its SSE code and links our zlib, not the cross compiler's.
# Does nothing when both are already installed; FORCE=1 rebuilds them, DOVA_DEPS_JOBS (default 2)
# sets the build's parallelism.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deps="$root/build/deps"
src_parent="$deps/src"
zlib_prefix="$deps/zlib-mingw"
png_prefix="$deps/libpng-mingw"
zlib_work="$deps/zlib-mingw-build"
png_work="$deps/libpng-mingw-build"
log="$deps/libpng-mingw-build.log"
jobs="${DOVA_DEPS_JOBS:-2}"  # the machine may be shared

if [[ -f "$zlib_prefix/lib/libz.a" && -f "$zlib_prefix/include/zlib.h" &&
      -f "$png_prefix/lib/libpng16.a" && -f "$png_prefix/include/png.h" &&
      "${FORCE:-0}" != 1 ]]; then
  echo "zlib and libpng for MinGW are installed: $png_prefix/lib/libpng16.a"
  exit 0
fi

# shellcheck source=scripts/debian_source.sh
. "$root/scripts/debian_source.sh"
# libpng generates pnglibconf.h with awk.
prepare_source_build x86_64-w64-mingw32-gcc-posix=gcc-mingw-w64-x86-64-posix cmake=cmake \
  ninja=ninja-build dpkg-source=dpkg-dev awk=mawk

# source_dir PACKAGE DIR-PREFIX: the unpacked source of PACKAGE under $src_parent, fetched when
# missing. The newest version listed may sit on a mirror that cannot be reached (the security
# archive), so the others are tried after it, newest first.
source_dir() {
  local package=$1 prefix=$2 dir version
  dir="$(find "$src_parent" -maxdepth 1 -type d -name "$prefix-*" | sort | tail -n 1)"
  if [[ -n "$dir" && -f "$dir/CMakeLists.txt" ]]; then
    echo "$dir"
    return
  fi
  for version in $(apt-cache showsrc "$package" | sed -n 's/^Version: //p' | sort -ruV); do
    if (cd "$src_parent" && apt-get source -qq "$package=$version" >>"$log" 2>&1); then
      break
    fi
    echo "could not fetch $package $version, trying an older version" >&2
  done
  dir="$(find "$src_parent" -maxdepth 1 -type d -name "$prefix-*" | sort | tail -n 1)"
  [[ -n "$dir" && -f "$dir/CMakeLists.txt" ]] || {
    echo "no $package source in $src_parent, see $log" >&2
    exit 1
  }
  echo "$dir"
}

start=$(date +%s)
mkdir -p "$src_parent"
: >"$log"
zlib_src="$(source_dir zlib zlib)"
png_src="$(source_dir libpng1.6 libpng1.6)"
echo "source: $zlib_src"
echo "source: $png_src"

# zlib: only the static library. Its CMakeLists builds the DLL and test programs beside it, so
# the one target is built and installed by hand, as lib/libz.a.
rm -rf "$zlib_work" "$zlib_prefix"
cmake -S "$zlib_src" -B "$zlib_work" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release >>"$log" 2>&1 || { tail -n 40 "$log" >&2; exit 1; }
cmake --build "$zlib_work" -j "$jobs" --target zlibstatic >>"$log" 2>&1 || { tail -n 40 "$log" >&2; exit 1; }
mkdir -p "$zlib_prefix/include" "$zlib_prefix/lib"
cp "$zlib_src/zlib.h" "$zlib_work/zconf.h" "$zlib_prefix/include/"
cp "$zlib_work/libzlibstatic.a" "$zlib_prefix/lib/libz.a"

# libpng, given our zlib explicitly: left to find_package it would take the cross compiler's
# own zlib (Debian's libz-mingw-w64) when that is installed.
rm -rf "$png_work" "$png_prefix"
cmake -S "$png_src" -B "$png_work" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$png_prefix" \
  -DZLIB_LIBRARY="$zlib_prefix/lib/libz.a" \
  -DZLIB_INCLUDE_DIR="$zlib_prefix/include" \
  -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_EXECUTABLES=OFF -DPNG_TESTS=OFF \
  -DPNG_HARDWARE_OPTIMIZATIONS=ON >>"$log" 2>&1 || { tail -n 40 "$log" >&2; exit 1; }
cmake --build "$png_work" -j "$jobs" --target install >>"$log" 2>&1 || { tail -n 40 "$log" >&2; exit 1; }

[[ -f "$png_prefix/lib/libpng16.a" ]] || { echo "no $png_prefix/lib/libpng16.a after the install" >&2; exit 1; }
echo "built $zlib_prefix/lib/libz.a and $png_prefix/lib/libpng16.a in $(($(date +%s) - start)) s"
