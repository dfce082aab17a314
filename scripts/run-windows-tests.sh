#!/usr/bin/env bash
# Cross-builds the test programs with the windows preset and runs every *_tests.exe of build/windows
# under Wine, in a Wine prefix of the project's own (build/wineprefix). Exits non-zero when a
# test program fails to build or fails; ends with the line "windows: N passed, N failed" counting
# the tests of all programs.
#
#   scripts/run-windows-tests.sh [--no-build] [--no-display] [target...]
#
# Targets default to every *_tests target of the preset; each is built on its own, so one that
# does not build does not keep the others from running. Without DISPLAY the programs run on one
# virtual X display (xvfb-run) shared by all, for the tests that open windows; --no-display runs
# them without one (console tests need none).
set -uo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$root/build/windows"
logs="$build/test-logs"
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
export WINEPREFIX="${WINEPREFIX:-$root/build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers: the tests need neither, and wineboot would stop to offer them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

do_build=1
display=auto
targets=()
for arg in "$@"; do
  case "$arg" in
    --no-build) do_build=0 ;;
    --no-display) display=none ;;
    --inner) ;;  # set when re-run inside xvfb-run
    -*) echo "unknown option $arg" >&2; exit 2 ;;
    *) targets+=("$arg") ;;
  esac
done

# One virtual display for the whole run, when there is none and the tests may want one.
if [[ $display == auto && -z "${DISPLAY:-}" && " $* " != *" --inner "* ]] && command -v xvfb-run >/dev/null; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" --inner "$@"
fi

failed_builds=()
if [[ $do_build == 1 ]]; then
  "$root/scripts/build-windows-deps.sh" || exit 1
  (cd "$root" && cmake --preset windows >"$build.configure.log" 2>&1) ||
    { tail -n 30 "$build.configure.log"; echo "windows: configure failed"; exit 1; }
  if [[ ${#targets[@]} -eq 0 ]]; then
    mapfile -t targets < <(cmake --build "$build" --target help 2>/dev/null |
                           sed -n 's/^\([A-Za-z0-9_]*_tests\):.*/\1/p')
  fi
  for target in "${targets[@]}"; do
    echo "building $target"
    if ! cmake --build "$build" --target "$target" >"$build/$target.build.log" 2>&1; then
      grep -E 'error|Error' "$build/$target.build.log" | head -n 20
      echo "BUILD FAILED: $target (see $build/$target.build.log)"
      failed_builds+=("$target")
      find "$build" -name "$target.exe" -delete  # never run a stale program
    fi
  done
fi

if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  echo "creating the Wine prefix $WINEPREFIX"
  mkdir -p "$WINEPREFIX"
  "$wine" wineboot -i >"$root/build/wineboot.log" 2>&1
  "$wineserver" -w
fi

mkdir -p "$logs"
passed=0 failed=0 status=0
# Test programs lie in build/windows or, like window_tests, in the folder of their CMakeLists.
mapfile -t programs < <(find "$build" -name '*_tests.exe' -not -path '*/googletest/*' | sort)
if [[ ${#targets[@]} -gt 0 ]]; then
  wanted=" ${targets[*]} "
  for i in "${!programs[@]}"; do
    [[ "$wanted" == *" $(basename "${programs[$i]}" .exe) "* ]] || unset 'programs[i]'
  done
  programs=("${programs[@]}")
fi
for program in "${programs[@]}"; do
  name="$(basename "$program" .exe)"
  log="$logs/$name.log"
  start=$(date +%s)
  (cd "$(dirname "$program")" && timeout 900 "$wine" "$program" --gtest_color=no) >"$log" 2>&1
  rc=$?
  p=$(sed -n 's/^\[  PASSED  \] \([0-9]*\) test.*/\1/p' "$log" | tail -n 1)
  f=$(sed -n 's/^\[  FAILED  \] \([0-9]*\) test.*/\1/p' "$log" | tail -n 1)
  passed=$((passed + ${p:-0}))
  failed=$((failed + ${f:-0}))
  if [[ $rc -ne 0 ]]; then
    status=1
    [[ -z "$f" ]] && failed=$((failed + 1))  # crashed or timed out before its summary
    grep -aE '^\[  FAILED  \]|Failure$' "$log" | head -n 40
    echo "FAILED: $name (exit $rc, $(( $(date +%s) - start )) s, log $log)"
  else
    echo "ok: $name: ${p:-0} tests, $(( $(date +%s) - start )) s"
  fi
done
"$wineserver" -w

if [[ ${#failed_builds[@]} -gt 0 ]]; then
  echo "not built: ${failed_builds[*]}"
  status=1
fi
if [[ ${#programs[@]} -eq 0 ]]; then
  echo "no test program to run in $build"
  status=1
fi
echo "windows: $passed passed, $failed failed"
exit $status
