#!/usr/bin/env bash
# End-to-end tests of the real Dova.exe under Wine on a virtual display. Needs the Windows build
# (build/windows/dist) and runs as root for the demo channel on port 80 of a loopback address.
set -euo pipefail
cd "$(dirname "$0")/../.."
exec /usr/bin/python3 tests/e2e/dova_e2e.py "$@"
