#!/usr/bin/env bash
# Builds Dova.exe and starts it under Wine with the demo channel, inside a Wine virtual desktop
# the size of the screen: the window has its frame, the tray icon sits in a taskbar, and the
# picture the program installs shows on the desktop behind the window. On your display when
# DISPLAY is set, else on a virtual one. Extra arguments go to the program ("minimized").
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
scripts/build-windows-deps.sh
cmake --preset windows >/dev/null
cmake --build --preset windows --target Dova

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

# A virtual desktop shows a taskbar, with the Start button and the tray, only when asked to.
"$wine" reg add 'HKCU\Software\Wine\Explorer\Desktops\Dova' /v EnableShell /t REG_DWORD /d 1 /f \
  >/dev/null 2>&1
# explorer starts the program on a desktop the size of the screen and ends when the program
# ends. awk reads xdpyinfo to the end, so xdpyinfo never meets a closed pipe.
on_desktop='size=$(xdpyinfo | awk "/dimensions:/ && !seen++ { print \$2 }")
echo "Wine desktop $size on $DISPLAY"
exec "$0" explorer "/desktop=Dova,$size" Dova.exe "$@"'

if [ -n "${DISPLAY:-}" ]; then
  bash -c "$on_desktop" "$wine" "$@"
else
  echo "No DISPLAY: running on a virtual screen (1024x768)."
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c "$on_desktop" "$wine" "$@"
fi
