#!/usr/bin/env bash
# Builds Dova.exe and starts it under Wine with the demo channel, on your display when DISPLAY
# is set, else on a virtual one. Extra arguments go to the program (for example "minimized").
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh
scripts/build-libjpeg-windows.sh
cmake --preset windows >/dev/null
cmake --build --preset windows

# The demo channel: the picture of the day without internet, on port 80 of a loopback address.
sudo_cmd=()
[ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
"${sudo_cmd[@]}" /usr/bin/python3 scripts/demo_channel.py 127.0.77.1 &
demo_pid=$!
trap 'kill $demo_pid 2>/dev/null || true' EXIT
sleep 1

export WINEDEBUG=${WINEDEBUG:--all}
wine=/usr/lib/wine/wine64
cd build/windows/dist
if [ -n "${DISPLAY:-}" ]; then
  "$wine" Dova.exe "$@"
else
  echo "No DISPLAY: running on a virtual screen (1024x768)."
  xvfb-run -a -s "-screen 0 1024x768x24" "$wine" Dova.exe "$@"
fi
