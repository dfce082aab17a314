#!/usr/bin/env bash
# Builds pugixml for 64-bit Windows with MinGW-w64 from Debian's source package and installs it
# into build/deps/pugixml-mingw (include/, lib/libpugixml.a), where the Windows preset looks for
# it. A static library only, without XPath: the channel rules walk the document themselves.
# Does nothing when it is already installed; FORCE=1 rebuilds it, DOVA_DEPS_JOBS (default 2) sets
# the build's parallelism, DOVA_DEPS_DIR (default build/deps) the folder it goes into.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
deps="${DOVA_DEPS_DIR:-$root/build/deps}"
src_parent="$deps/src"
prefix="$deps/pugixml-mingw"
work="$deps/pugixml-mingw-build"
log="$deps/pugixml-mingw-build.log"
jobs="${DOVA_DEPS_JOBS:-2}"  # the machine may be shared

if [[ -f "$prefix/lib/libpugixml.a" && -f "$prefix/include/pugixml.hpp" && "${FORCE:-0}" != 1 ]]; then
  echo "pugixml for MinGW is installed: $prefix/lib/libpugixml.a"
  exit 0
fi

# shellcheck source=scripts/debian_source.sh
. "$root/scripts/debian_source.sh"
prepare_source_build x86_64-w64-mingw32-g++-posix=g++-mingw-w64-x86-64-posix cmake=cmake \
  ninja=ninja-build dpkg-source=dpkg-dev

start=$(date +%s)
mkdir -p "$src_parent"
: >"$log"
src="$(find "$src_parent" -maxdepth 1 -type d -name 'pugixml-*' | sort | tail -n 1)"
if [[ -z "$src" || ! -f "$src/CMakeLists.txt" ]]; then
  (cd "$src_parent" && apt-get source -qq pugixml >>"$log" 2>&1) || { tail -n 20 "$log" >&2; exit 1; }
  src="$(find "$src_parent" -maxdepth 1 -type d -name 'pugixml-*' | sort | tail -n 1)"
fi
[[ -n "$src" && -f "$src/CMakeLists.txt" ]] || { echo "no pugixml source in $src_parent, see $log" >&2; exit 1; }
echo "source: $src"

rm -rf "$work" "$prefix"
cmake -S "$src" -B "$work" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX="$prefix" \
  -DBUILD_SHARED_LIBS=OFF -DPUGIXML_BUILD_TESTS=OFF -DPUGIXML_NO_XPATH=ON >>"$log" 2>&1 ||
  { tail -n 40 "$log" >&2; exit 1; }
cmake --build "$work" -j "$jobs" --target install >>"$log" 2>&1 || { tail -n 40 "$log" >&2; exit 1; }

[[ -f "$prefix/lib/libpugixml.a" ]] || { echo "no $prefix/lib/libpugixml.a after the install" >&2; exit 1; }
# The library was compiled without XPath; whoever includes its header must be too.
if x86_64-w64-mingw32-nm -C "$prefix/lib/libpugixml.a" | grep -q 'xpath_query::xpath_query'; then
  echo "pugixml was built with XPath" >&2
  exit 1
fi
echo "built $prefix/lib/libpugixml.a in $(($(date +%s) - start)) s"
