#!/usr/bin/env bash
# End-to-end tests of the real Dova.exe under Wine on a virtual display. Needs the Windows build
# (build/windows/dist) and runs as root for the demo channel on port 80 of a loopback address.
#
#   tests/e2e/run.sh [TestClass...]      the named classes, or every class
#
# DOVA_E2E_SHARDS=N (default 1) runs every class in N shards side by side, each in a network
# namespace of its own (so their loopback servers never meet), with a Wine prefix and a display
# of its own; each shard's output goes to build/e2e-shard-K.log and is printed when it ends.
set -euo pipefail
cd "$(dirname "$0")/../.."

shards=${DOVA_E2E_SHARDS:-1}
if [[ $# -gt 0 || $shards -le 1 ]]; then
  exec /usr/bin/python3 tests/e2e/dova_e2e.py "$@"
fi

pids=()
for k in $(seq 1 "$shards"); do
  DOVA_E2E_SHARD="$k/$shards" DOVA_E2E_PREFIX="$PWD/build/wineprefix-e2e-$k" \
    unshare -n bash -c 'ip link set lo up && exec /usr/bin/python3 tests/e2e/dova_e2e.py' \
    >"build/e2e-shard-$k.log" 2>&1 &
  pids+=($!)
done
status=0
for k in $(seq 1 "$shards"); do
  rc=0
  wait "${pids[$((k - 1))]}" || rc=$?
  echo "--- e2e shard $k/$shards (exit $rc)"
  cat "build/e2e-shard-$k.log"
  [[ $rc -eq 0 ]] || status=1
done
exit $status
