# Shared by the scripts that build a library for Windows from Debian's source packages
# (build-libjpeg-windows.sh, build-libpng-windows.sh), all called by build-windows-deps.sh;
# sourced, not run.

as_root() {
  if [[ $(id -u) -eq 0 ]]; then "$@"; else sudo "$@"; fi
}

# prepare_source_build COMMAND=PACKAGE...: adds deb-src entries beside the binary ones once
# (apt-get source needs them) and installs the package of each COMMAND that is missing.
prepare_source_build() {
  local src_list=/etc/apt/sources.list.d/debian-src.sources
  local need_update=0 missing=() pair
  if [[ ! -f "$src_list" ]] && ! grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    if [[ -f /etc/apt/sources.list.d/debian.sources ]]; then
      sed 's/^Types:.*/Types: deb-src/' /etc/apt/sources.list.d/debian.sources | as_root tee "$src_list" >/dev/null
    else
      # One-line format: turn every "deb " line of sources.list into a "deb-src " line.
      grep '^deb ' /etc/apt/sources.list | sed 's/^deb /deb-src /' |
        as_root tee /etc/apt/sources.list.d/debian-src.list >/dev/null
    fi
    echo "added source package entries: $src_list"
    need_update=1
  fi
  for pair in "$@"; do
    command -v "${pair%%=*}" >/dev/null || missing+=("${pair#*=}")
  done
  if [[ $need_update == 1 || ${#missing[@]} -gt 0 ]]; then
    as_root apt-get update -qq
  fi
  if [[ ${#missing[@]} -gt 0 ]]; then
    echo "installing: ${missing[*]}"
    as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}"
  fi
}
