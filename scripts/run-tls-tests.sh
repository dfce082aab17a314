#!/usr/bin/env bash
# Runs the Schannel tests of platform_tests under Wine against the loopback HTTPS servers of
# tests/support/https_test_server.py. The throwaway PKI (build/tls-pki, made once) has its root
# trusted in a Wine prefix of these tests' own (build/wineprefix-tls), and the servers listen on
# port 443 of 127.0.70.x and 127.0.71.x in a network namespace of their own: run as root.
#
#   scripts/run-tls-tests.sh [--no-build] [gtest filter]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/windows"

do_build=1
[[ "${1:-}" == --no-build ]] && { do_build=0; shift; }
filter="${1:-TlsStream*}"

if [[ $do_build == 1 ]]; then
  (cd "$root" && cmake --preset windows >"$build.configure.log" 2>&1)
  cmake --build "$build" --target platform_tests >"$build/platform_tests.build.log" 2>&1 ||
    { tail -n 30 "$build/platform_tests.build.log"; exit 1; }
fi
source "$root/tests/support/tls_wine_prefix.sh"

program="$(find "$build" -name platform_tests.exe -not -path '*/googletest/*' | head -n 1)"
export ROOT="$root" PKI="$tls_pki" PROGRAM="$program" FILTER="$filter"
exec unshare -n bash -c '
  ip link set lo up
  coproc SERVER { exec python3 "$ROOT/tests/support/https_test_server.py" "$PKI" --until-stdin-closes; }
  read -r -t 30 ready <&"${SERVER[0]}" && [[ "$ready" == ready ]] || { echo "the HTTPS test servers did not start"; exit 1; }
  cd "$(dirname "$PROGRAM")"
  DOVA_TLS_TEST_SERVERS=1 timeout 300 /usr/lib/wine/wine64 "$PROGRAM" --gtest_color=no --gtest_filter="$FILTER"
  status=$?
  exec {SERVER[1]}>&-
  /usr/lib/wine/wineserver -w
  exit $status'
