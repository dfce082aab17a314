#!/bin/sh
# Compiles the help project help/Dova.hhp into Dova.chm with Free Pascal's chmcmd (Debian package
# fp-utils) and leaves it in OUTPUT_DIR. VERSION (the project's, given by the build) replaces
# @DOVA_VERSION@ in the topics: the About line.
# chmcmd writes its output beside the project file, so the project is compiled in a scratch copy
# and the source tree stays clean.
set -eu

if [ $# -ne 2 ]; then
  echo "usage: $0 OUTPUT_DIR VERSION" >&2
  exit 2
fi
out_dir=$1
version=$2
case $version in
  *[!0-9.]* | "" )
    echo "build_help.sh: '$version' is not a version number" >&2
    exit 2 ;;
esac
src_dir=$(cd "$(dirname "$0")/../help" && pwd)

if ! command -v chmcmd >/dev/null 2>&1; then
  echo "build_help.sh: chmcmd not found (apt-get install fp-utils)" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/dova-help.XXXXXX")
trap 'rm -rf "$work"' EXIT INT TERM
cp -R "$src_dir/." "$work/"
for topic in "$work"/HTML/*.htm; do
  sed "s/@DOVA_VERSION@/$version/g" "$topic" >"$topic.tmp"
  mv "$topic.tmp" "$topic"
done
if grep -l "@DOVA_VERSION@" "$work"/HTML/*.htm >&2; then
  echo "build_help.sh: the version was not filled in" >&2
  exit 1
fi

log="$work/chmcmd.log"
if ! (cd "$work" && chmcmd Dova.hhp) >"$log" 2>&1; then
  cat "$log" >&2
  echo "build_help.sh: chmcmd failed" >&2
  exit 1
fi
# chmcmd reports broken links and missing files as hints and errors but still exits 0.
if grep -Ei '^(error|warning)' "$log" >&2; then
  echo "build_help.sh: the help project has problems (see above)" >&2
  exit 1
fi
if [ ! -s "$work/Dova.chm" ]; then
  cat "$log" >&2
  echo "build_help.sh: chmcmd wrote no Dova.chm" >&2
  exit 1
fi

# The topics and the window type that F1 asks for must be inside.
python3 "$(dirname "$0")/check_help.py" "$work/Dova.chm" >/dev/null

mkdir -p "$out_dir"
cp "$work/Dova.chm" "$out_dir/Dova.chm.tmp"
mv "$out_dir/Dova.chm.tmp" "$out_dir/Dova.chm"
