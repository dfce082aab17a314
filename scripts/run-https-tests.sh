#!/usr/bin/env bash
# Runs the fetcher's https tests (online_tests under Wine: the daily update over https, the
# refused certificates, tinyproxy's CONNECT tunnel, redirects) against the loopback HTTPS servers
# of tests/support/https_test_server.py. The throwaway PKI (build/tls-pki, made once) has its
# root trusted in a Wine prefix of these tests' own (build/wineprefix-https). Everything runs in
# a network and mount namespace of its own, where a hosts file of its own names the servers
# (good.dova.test, ...: Wine's certificate check does not take IP addresses) and tinyproxy, with
# a configuration of its own, listens on 127.0.64.1:3128. The servers serve the files of
# build/https-tests/files, where the tests of the shipped channels also write their answers.
# Run as root.
#
#   scripts/run-https-tests.sh [--no-build] [gtest filter]
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/windows"
work="$root/build/https-tests"

do_build=1
[[ "${1:-}" == --no-build ]] && { do_build=0; shift; }
filter="${1:-OverHttps.*:Tunnel.*:ShippedOverHttps.*}"

if [[ $do_build == 1 ]]; then
  (cd "$root" && cmake --preset windows >"$build.configure.log" 2>&1)
  cmake --build "$build" --target online_tests >"$build/online_tests.build.log" 2>&1 ||
    { tail -n 30 "$build/online_tests.build.log"; exit 1; }
fi
tls_prefix_name=https
source "$root/tests/support/tls_wine_prefix.sh"
pki="$tls_pki"

# What the servers publish: a page naming a 64 x 48 picture.
mkdir -p "$work/files"
convert -size 64x48 gradient:red-blue -quality 90 "$work/files/picture.jpg"
printf 'https://good.dova.test/picture.jpg\r\n' >"$work/files/potd.txt"
{
  echo "127.0.0.1 localhost"
  python3 -c "
import sys; sys.path.insert(0, '$root/tests/support')
from tls_test_pki import CASES, HOSTILE, host_of
for name, address in {**CASES, **HOSTILE}.items(): print(address, host_of(name))"
} >"$work/hosts"
printf '%s\n' 'Listen 127.0.64.1' 'Port 3128' 'Timeout 30' 'MaxClients 20' 'Allow 127.0.0.0/8' \
  'BasicAuth user pass' 'ConnectPort 443' 'DisableViaHeader Yes' 'LogLevel Info' \
  >"$work/tinyproxy.conf"

program="$(find "$build" -name online_tests.exe -not -path '*/googletest/*' | head -n 1)"
export ROOT="$root" PKI="$pki" WORK="$work" PROGRAM="$program" FILTER="$filter"
exec unshare -nm bash -c '
  mount --bind "$WORK/hosts" /etc/hosts
  ip link set lo up
  coproc SERVER { exec python3 "$ROOT/tests/support/https_test_server.py" "$PKI" \
    --files "$WORK/files" --until-stdin-closes; }
  read -r -t 30 ready <&"${SERVER[0]}" && [[ "$ready" == ready ]] ||
    { echo "the HTTPS test servers did not start"; exit 1; }
  tinyproxy -d -c "$WORK/tinyproxy.conf" >"$WORK/tinyproxy.log" 2>&1 &
  proxy=$!
  for _ in $(seq 100); do (exec 3<>/dev/tcp/127.0.64.1/3128) 2>/dev/null && break; sleep 0.05; done
  cd "$(dirname "$PROGRAM")"
  DOVA_HTTPS_TEST_SERVERS=127.0.64.1:3128 DOVA_HTTPS_TEST_FILES="$WORK/files" \
    timeout 600 /usr/lib/wine/wine64 "$PROGRAM" --gtest_color=no --gtest_filter="$FILTER"
  status=$?
  kill "$proxy"
  exec {SERVER[1]}>&-
  /usr/lib/wine/wineserver -w
  exit $status'
