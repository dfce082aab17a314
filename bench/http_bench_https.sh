#!/usr/bin/env bash
# http_bench's HTTPS mode: a 50 MB download over TLS on loopback and the TLS handshake time, the
# Windows build's http_bench.exe (Schannel, under Wine) beside curl (OpenSSL, native) against the
# same server, tests/support/https_test_server.py on 127.0.70.1:443 with a chain through an
# intermediate. The downloads take turns, best of five each, so that both meet the same load.
# Runs in a network namespace of its own: run as root. Prints figures only.
#
#   bench/http_bench_https.sh [--no-build]
set -euo pipefail
export LC_ALL=C

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/windows"
if [[ "${1:-}" != --no-build ]]; then
  (cd "$root" && cmake --preset windows >"$build.configure.log" 2>&1)
  cmake --build "$build" --target http_bench >"$build/http_bench.build.log" 2>&1 ||
    { tail -n 30 "$build/http_bench.build.log"; exit 1; }
fi
source "$root/tests/support/tls_wine_prefix.sh"

export PKI="$tls_pki" PROGRAM="$build/bench/http_bench.exe"
exec unshare -n bash -c '
  set -euo pipefail
  ip link set lo up
  coproc SERVER { exec python3 "$(dirname "$PKI")/../tests/support/https_test_server.py" "$PKI" --until-stdin-closes; }
  read -r -t 30 ready <&"${SERVER[0]}" && [[ "$ready" == ready ]] || { echo "the HTTPS test servers did not start"; exit 1; }
  size=$((50 * 1024 * 1024))
  out=$(mktemp)
  curl_opts=(-sf --cacert "$PKI/root.pem" --resolve good.dova.test:443:127.0.70.1)
  ours() {
    (cd "$(dirname "$PROGRAM")" && /usr/lib/wine/wine64 "$PROGRAM" 127.0.70.1 good.dova.test \
       /bytes/$size $size "$@") | tr -d "\r"
  }
  curl_mb_s() {
    local t
    t=$(curl "${curl_opts[@]}" "$@" -o "$out" -w "%{time_total}" https://good.dova.test/bytes/$size)
    [[ $(stat -c %s "$out") == "$size" ]] || { echo "curl download failed" >&2; exit 1; }
    awk -v s="$size" -v t="$t" "BEGIN { printf \"%.1f\n\", s / t / 1048576 }"
  }
  curl_handshake_ms() {
    for i in $(seq 20); do
      curl "${curl_opts[@]}" "$@" -o /dev/null -w "%{time_connect} %{time_appconnect}\n" \
        https://good.dova.test/bytes/0
    done | awk "{ print (\$2 - \$1) * 1000 }" | sort -n | sed -n 11p
  }
  best() { printf "%s\n" "$@" | sort -g | tail -n 1; }
  o=() c12=() c13=()
  for i in 1 2 3 4 5; do
    eval "$(ours 0 1)"; o+=("$download_mb_s")
    c12+=("$(curl_mb_s --tls-max 1.2)")
    c13+=("$(curl_mb_s)")
  done
  eval "$(ours 20 0)"
  hs12=$(curl_handshake_ms --tls-max 1.2)
  hs13=$(curl_handshake_ms)
  rm -f "$out"
  b=$(best "${o[@]}") b12=$(best "${c12[@]}") b13=$(best "${c13[@]}")
  echo "50 MB over TLS on loopback, best of 5 taking turns (connection and handshake included):"
  printf "  http_bench.exe, Schannel under Wine, TLS 1.2:  %8.1f MB/s   (runs: %s)\n" "$b" "${o[*]}"
  printf "  curl, OpenSSL, TLS 1.2:                        %8.1f MB/s   (runs: %s)\n" "$b12" "${c12[*]}"
  printf "  curl, OpenSSL, TLS 1.3:                        %8.1f MB/s   (runs: %s)\n" "$b13" "${c13[*]}"
  awk -v a="$b" -v b="$b12" "BEGIN { printf \"  ratio http_bench / curl, TLS 1.2:              %8.3f\n\", a / b }"
  awk -v a="$b" -v b="$b13" "BEGIN { printf \"  ratio http_bench / curl, TLS 1.3:              %8.3f\n\", a / b }"
  echo "TLS handshake on loopback after the TCP connection, RSA 2048 chain through an intermediate (median of 20):"
  printf "  http_bench.exe, Schannel under Wine, chain checked: %6.2f ms (best %.2f ms)\n" "$handshake_ms_median" "$handshake_ms_best"
  printf "  curl, TLS 1.2:                                      %6.2f ms\n" "$hs12"
  printf "  curl, TLS 1.3:                                      %6.2f ms\n" "$hs13"
  exec {SERVER[1]}>&-
  /usr/lib/wine/wineserver -w'
