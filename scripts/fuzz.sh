#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang, AddressSanitizer and UndefinedBehaviorSanitizer
# and runs each for a bounded time on the seeds checked in under fuzz/corpus/<target>/ (for the
# JPEG readers also pictures made afresh by ImageMagick), plus the corpus that earlier runs in the
# same build tree grew. Prints each target's execution count and coverage; exits non-zero when a
# target finds a crash, a leak, a timeout or an out-of-memory, printing the sanitizer's report
# and the path of the input that reproduces it.
#
#   scripts/fuzz.sh SECONDS [TARGET...]   (seconds of fuzzing per target; every target by default)
#
# DOVA_FUZZ_BUILD_DIR (default build/fuzz) and DOVA_FUZZ_JOBS (default 2) choose the build tree and
# the build's parallelism. A reproducer is rerun with: build/fuzz/fuzz/TARGET PATH
set -euo pipefail

usage() { echo "usage: scripts/fuzz.sh SECONDS [TARGET...]" >&2; exit 2; }
[[ $# -ge 1 && $1 =~ ^[1-9][0-9]*$ ]] || usage
seconds=$1
shift

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
build="${DOVA_FUZZ_BUILD_DIR:-build/fuzz}"
jobs="${DOVA_FUZZ_JOBS:-2}"
all_targets=(read_jpeg_size_fuzz decode_jpeg_fuzz decode_picture_fuzz read_picture_size_fuzz
             bmp_file_fuzz http_response_fuzz
             picture_address_fuzz channel_json_rule_fuzz channel_feed_rule_fuzz
             ini_text_fuzz settings_file_fuzz language_file_fuzz
             picture_list_fuzz command_line_fuzz)
if [[ $# -gt 0 ]]; then
  targets=("$@")
  for target in "${targets[@]}"; do
    [[ " ${all_targets[*]} " == *" $target "* ]] || { echo "fuzz: no target $target" >&2; usage; }
  done
else
  targets=("${all_targets[@]}")
fi
# Absolute: a target may change its current directory while it runs (dova.ini's [OffLine] Path).
work="$build/fuzz-run"
[[ $work == /* ]] || work="$root/$work"

echo "fuzz: building ${targets[*]} in $build"
CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DDOVA_FUZZ=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j "$jobs" --target "${targets[@]}"

# --- JPEG seeds: small pictures of the kinds found in the wild, made anew on every run ----------
seeds="$work/seeds"
rm -rf "$seeds"
mkdir -p "$seeds" "$work/artifacts"
make_seed() {  # NAME CONVERT-ARGUMENTS...
  local name=$1
  shift
  convert "$@" "$seeds/$name.jpg"
  # convert may be a stand-in that cannot write JPEG; a seed must really be one.
  if [[ "$(head -c 2 "$seeds/$name.jpg" | od -An -tx1 | tr -d ' ')" != ffd8 ]]; then
    echo "fuzz: convert did not make a JPEG file for seed $name (is ImageMagick installed?)" >&2
    exit 1
  fi
}
make_seed baseline rose: -quality 75 -interlace none
make_seed progressive rose: -quality 75 -interlace Plane
make_seed grey rose: -type Grayscale -quality 80
make_seed grey-progressive rose: -type Grayscale -interlace Plane
make_seed cmyk rose: -colorspace CMYK -quality 80
make_seed cmyk-progressive rose: -colorspace CMYK -interlace Plane
make_seed odd-422 -size 33x17 gradient:red-blue -sampling-factor 2x1 -quality 90
make_seed full-444 -size 24x40 pattern:checkerboard -sampling-factor 1x1 -quality 95
make_seed tiny -size 1x1 xc:orange
make_seed comment rose: -resize 16x16 -comment "a comment before the frame" -quality 50
make_seed standard-tables rose: -define jpeg:optimize-coding=false -quality 60
# Larger than the file source's 16 KB buffer, so that reads and skips cross a refill.
make_seed large -size 160x120 -seed 7 plasma: -quality 95
echo "fuzz: $(ls "$seeds" | wc -l) seed pictures in $seeds"

# The targets write every input to a file; on tmpfs that is ten to a hundred times faster than
# on disk. The directory goes when the script ends, with whatever a crashed target left in it.
if [[ -d /dev/shm && -w /dev/shm ]]; then
  tmp=$(mktemp -d /dev/shm/dova-fuzz.XXXXXX)
else
  tmp=$(mktemp -d)
fi
trap 'rm -rf "$tmp"' EXIT
export TMPDIR="$tmp"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"

# The size reader reads headers only; the decoder needs room for whole small pictures; the text
# files and answers are small. A target that reads a program directory's files is kept to one
# process: the directory is its own.
declare -A max_len=([read_jpeg_size_fuzz]=4096 [decode_jpeg_fuzz]=32768
                    [decode_picture_fuzz]=16384 [read_picture_size_fuzz]=512 [bmp_file_fuzz]=4096
                    [http_response_fuzz]=8192 [picture_address_fuzz]=1024 [ini_text_fuzz]=2048
                    [channel_json_rule_fuzz]=4096 [channel_feed_rule_fuzz]=4096
                    [settings_file_fuzz]=2048 [language_file_fuzz]=4096 [picture_list_fuzz]=2048
                    [command_line_fuzz]=512)
declare -A dict=([read_jpeg_size_fuzz]=jpeg [decode_jpeg_fuzz]=jpeg [decode_picture_fuzz]=picture
                 [read_picture_size_fuzz]=picture [bmp_file_fuzz]=bmp
                 [http_response_fuzz]=http [picture_address_fuzz]=http [ini_text_fuzz]=ini
                 [channel_json_rule_fuzz]=json [channel_feed_rule_fuzz]=xml
                 [settings_file_fuzz]=ini [language_file_fuzz]=ini
                 [picture_list_fuzz]=picture_list [command_line_fuzz]=command_line)
failed=0
for target in "${targets[@]}"; do
  corpus="$work/corpus/$target"
  log="$work/$target.log"
  mkdir -p "$corpus"
  # New inputs go to the first directory; the checked-in seeds and the pictures are only read.
  inputs=("$corpus" "$root/fuzz/corpus/$target")
  if [[ ${dict[$target]} == jpeg ]]; then inputs+=("$seeds"); fi
  echo "fuzz: running $target for $seconds s"
  status=0
  # libFuzzer stops itself after max_total_time; the outer bound catches a run that does not.
  timeout -k 10 $((seconds + 120)) "$build/fuzz/$target" \
    -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len="${max_len[$target]}" \
    -dict="$root/fuzz/${dict[$target]}.dict" -artifact_prefix="$work/artifacts/$target-" \
    -print_final_stats=1 "${inputs[@]}" >"$log" 2>&1 || status=$?
  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
  done_line=$(grep -E '^#[0-9]+[[:space:]]+(DONE|pulse|NEW|REDUCE)' "$log" | tail -n 1 || true)
  echo "fuzz: $target: ${executions:-?} executions (${rate:-?}/s), corpus $(ls "$corpus" | wc -l) inputs"
  if [[ -n "$done_line" ]]; then echo "fuzz: $target: $done_line"; fi
  if [[ $status -ne 0 ]]; then
    failed=1
    echo "fuzz: $target FAILED (exit $status); the end of $log:"
    tail -n 60 "$log" | sed 's/^/  | /'
    if [[ $status -eq 124 || $status -eq 137 ]]; then
      echo "fuzz: $target did not stop within $((seconds + 120)) s"
    fi
    reproducers=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log")
    for path in $reproducers; do
      echo "fuzz: reproducer: $path   (rerun: $build/fuzz/$target $path)"
    done
  fi
done

if [[ $failed -ne 0 ]]; then
  echo "fuzz: FAILED"
  exit 1
fi
echo "fuzz: no crash, leak, timeout or out-of-memory in ${#targets[@]} targets"
