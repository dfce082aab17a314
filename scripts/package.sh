#!/usr/bin/env bash
# Makes the release from the Windows build, in build/release/:
#   Dova-<version>-setup.exe      the per-user installer (NSIS, installer/dova.nsi)
#   Dova-<version>-portable.zip   the program folder: Dova.exe, Dova.chm, Languages\, Sites\
# The version is the project's (project() in CMakeLists.txt). Installs what is missing and builds
# first, so it works on a fresh machine; on a built tree those steps take a moment.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

scripts/install-deps.sh >/dev/null
scripts/build-windows-deps.sh >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target Dova >/dev/null

build=$root/build/windows
version=$(cat "$build/version.txt")
IFS=. read -r major minor patch tweak <<<"$version"
file_version=$major.${minor:-0}.${patch:-0}.${tweak:-0}

# The files come from the build's install rules, not from dist/ itself: running the program in
# dist/ leaves the user's settings, list, journal and wallpapers in dist/Sites.
work=$build/package
stage=$work/Dova
rm -rf "$work"
mkdir -p "$work"
cmake --install "$build" --prefix "$stage" >/dev/null

release=$root/build/release
mkdir -p "$release"
setup=$release/Dova-$version-setup.exe
portable=$release/Dova-$version-portable.zip
rm -f "$setup" "$portable"

# The installer's file list. Program files are replaced on an upgrade and removed by the
# uninstaller; the files of Sites\ are samples the installer adds only where missing.
files=$work/files.nsh
{
  echo "!define DOVA_EXE \"$stage/Dova.exe\""
  echo "!macro DovaInstallProgramFiles"
  echo "  SetOutPath \"\$INSTDIR\""
  for f in "$stage"/*; do [ -f "$f" ] && echo "  File \"$f\""; done
  echo "  SetOutPath \"\$INSTDIR\\Languages\""
  for f in "$stage"/Languages/*; do echo "  File \"$f\""; done
  echo "!macroend"
  echo "!macro DovaInstallSampleFiles"
  echo "  SetOutPath \"\$INSTDIR\\Sites\""
  for f in "$stage"/Sites/*; do echo "  File \"$f\""; done
  echo "!macroend"
  echo "!macro DovaRemoveProgramFiles"
  for f in "$stage"/*; do [ -f "$f" ] && echo "  Delete \"\$INSTDIR\\${f##*/}\""; done
  for f in "$stage"/Languages/*; do echo "  Delete \"\$INSTDIR\\Languages\\${f##*/}\""; done
  echo "!macroend"
} >"$files"

python3 installer/wizard_picture.py "$work/wizard.bmp"
makensis -V2 -INPUTCHARSET UTF8 \
  "-DVERSION=$version" "-DFILE_VERSION=$file_version" "-DFILES=$files" \
  "-DICON=$build/resources/dova.ico" "-DWIZARD_BITMAP=$work/wizard.bmp" "-DOUTFILE=$setup" \
  installer/dova.nsi

# Stored names only (no folder entries, no extra attributes), as the program folder holds them.
(cd "$stage" && find . -type f | LC_ALL=C sort | sed 's|^\./||' | zip -q -X -D -9 "$portable" -@)

for f in "$setup" "$portable"; do
  printf '%s  %s bytes\n' "${f#"$root"/}" "$(stat -c %s "$f")"
done
