#!/usr/bin/env bash
# Builds everything and runs every test: the native core tests, the same tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, the core tests cross-built and run under Wine,
# the end-to-end tests of Dova.exe under Wine on a virtual display, the release (installer,
# portable zip, demo run) under Wine, and a short run of every fuzz target. Installs what is
# missing first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

echo "== layers: no include climbs a floor"
python3 scripts/check_layers.py

echo "== native build and tests"
cmake --preset native >/dev/null
cmake --build --preset native
ctest --preset native

echo "== native tests under AddressSanitizer and UndefinedBehaviorSanitizer"
cmake --preset asan >/dev/null
cmake --build --preset asan
ctest --preset asan

echo "== Windows build"
scripts/build-libjpeg-windows.sh
scripts/build-libpng-windows.sh
cmake --preset windows >/dev/null
cmake --build --preset windows

echo "== core tests under Wine"
scripts/run-windows-tests.sh

echo "== end-to-end tests of Dova.exe under Wine"
tests/e2e/run.sh

echo "== release: the installer and the portable zip under Wine, and the demo run"
/usr/bin/python3 tests/e2e/release_e2e.py

echo "== fuzzing (bounded)"
scripts/fuzz.sh "${DOVA_FUZZ_SECONDS:-15}"

echo "All tests passed."
