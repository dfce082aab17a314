#!/usr/bin/env bash
# Builds, from Debian's source packages, every library the windows preset links, into
# build/deps: libjpeg-turbo, zlib and libpng. The one place that knows the list: scripts/run.sh,
# scripts/test.sh, scripts/package.sh and scripts/run-windows-tests.sh all call it. Each library
# is built only when it is missing (FORCE=1 rebuilds).
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

"$here/build-libjpeg-windows.sh"
"$here/build-libpng-windows.sh"
