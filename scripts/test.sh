#!/usr/bin/env bash
# Builds everything and runs every test: the native core tests, the same tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the core tests cross-built and run under Wine,
# the end-to-end tests of Dova.exe under Wine on a virtual display, the release (installer,
# portable zip, and the demo run of scripts/run.sh in a fresh clone) under Wine, and a short run
# of every fuzz target. Installs what is missing first.
#
# The machine has few cores, and much of the testing waits on Wine and on timers: once the Windows
# build is done, the Wine tests run in the background while the native builds, at a lower
# priority, keep the cores busy. Every test stage that opens sockets runs in a network namespace
# of its own, so that stages running side by side never meet on a loopback address. Each background stage's output is printed whole when it ends;
# the last lines give every stage's time.
set -euo pipefail
cd "$(dirname "$0")/.."

mkdir -p build/stages
run_started=$(date +%s)
times=()

# The clone of the demo run compiles what this build compiled: ccache hands the objects over.
if command -v ccache >/dev/null; then
  export CMAKE_C_COMPILER_LAUNCHER=ccache CMAKE_CXX_COMPILER_LAUNCHER=ccache
  export CCACHE_DIR="${CCACHE_DIR:-$PWD/build/ccache}" CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi

# isolated COMMAND...: runs COMMAND in a network namespace with only its own loopback.
isolated() {
  unshare -n bash -c 'ip link set lo up && exec "$@"' isolated "$@"
}

# stage NAME COMMAND...: runs in the foreground.
stage() {
  local name=$1 start=$(date +%s)
  shift
  echo "== $name"
  "$@"
  times+=("$name: $(( $(date +%s) - start )) s")
}

# start NAME COMMAND... / finish NAME: a stage in the background, its output in build/stages.
declare -A pids starts
start() {
  local name=$1
  shift
  echo "== $name (in the background)"
  starts[$name]=$(date +%s)
  "$@" >"build/stages/$name.log" 2>&1 &
  pids[$name]=$!
}
finish() {
  local name=$1 rc=0
  wait "${pids[$name]}" || rc=$?
  echo "== $name: output"
  cat "build/stages/$name.log"
  times+=("$name: $(( $(date +%s) - ${starts[$name]} )) s (in the background)")
  if [[ $rc -ne 0 ]]; then
    echo "FAILED: $name (exit $rc)"
    exit 1
  fi
}

stage "dependencies" scripts/install-deps.sh
stage "layers: no include climbs a floor" python3 scripts/check_layers.py

# First the Windows build, which every Wine stage waits for: then those run beside the builds.
windows_build() {
  scripts/build-windows-deps.sh
  cmake --preset windows >/dev/null
  cmake --build --preset windows
}
stage "Windows build" windows_build
start "end-to-end tests of Dova.exe under Wine" env DOVA_E2E_SHARDS=2 tests/e2e/run.sh
tls_and_https_tests() {
  scripts/run-tls-tests.sh --no-build && scripts/run-https-tests.sh --no-build
}
start "TLS and https tests under Wine" tls_and_https_tests
# The core tests time the fetcher's and the window's answers: they come first for the processor.
start "core tests under Wine" isolated nice -n -5 scripts/run-windows-tests.sh --no-build
# The release's demo run builds a fresh clone, with the network for Debian's sources; most of it
# waits on Wine, and the clone's compiler finds this build's objects in ccache.
start "release: the installer and the portable zip under Wine, and the demo run" \
  nice -n 5 /usr/bin/python3 tests/e2e/release_e2e.py

# The builds beside them yield the processor: some of the Wine tests time the window's answers.
native_build() { cmake --preset native >/dev/null && nice -n 10 cmake --build --preset native; }
stage "native build" native_build
start "native tests" isolated ctest --preset native

# One clang tree for the sanitizers' test run and the fuzz targets; the fuzzer takes one core,
# the sanitizers' tests the other.
asan_build() { cmake --preset asan >/dev/null && nice -n 10 cmake --build --preset asan; }
stage "sanitizer build (tests and fuzz targets)" asan_build
start "native tests under AddressSanitizer and UndefinedBehaviorSanitizer" \
  isolated ctest --preset asan
stage "fuzzing (bounded)" isolated env DOVA_FUZZ_BUILD_DIR=build/asan \
  scripts/fuzz.sh "${DOVA_FUZZ_SECONDS:-15}"
finish "native tests"
finish "native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
finish "core tests under Wine"
finish "TLS and https tests under Wine"
finish "end-to-end tests of Dova.exe under Wine"
finish "release: the installer and the portable zip under Wine, and the demo run"

echo "== stage times"
printf '  %s\n' "${times[@]}"
echo "  whole run: $(( $(date +%s) - run_started )) s"
echo "All tests passed."
