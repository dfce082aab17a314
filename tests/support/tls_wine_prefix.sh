# Sourced by the scripts that run Schannel sessions under Wine against the loopback HTTPS servers:
# makes the throwaway PKI once (build/tls-pki) and trusts its root in a Wine prefix of their own
# (build/wineprefix-$tls_prefix_name, "tls" unless the caller names another), which it exports as
# WINEPREFIX. Expects $root, the checkout.
: "${root:?the checkout}"
tls_prefix_name="${tls_prefix_name:-tls}"
tls_pki="$root/build/tls-pki"
tls_wine=/usr/lib/wine/wine64
export WINEPREFIX="$root/build/wineprefix-$tls_prefix_name"
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers: wineboot would stop to offer them.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

[[ -f "$tls_pki/root.reg" ]] || python3 "$root/tests/support/tls_test_pki.py" "$tls_pki"
if [[ ! -f "$WINEPREFIX/system.reg" ]]; then
  mkdir -p "$WINEPREFIX"
  "$tls_wine" wineboot -i >"$root/build/wineboot-$tls_prefix_name.log" 2>&1
fi
"$tls_wine" regedit /S "Z:${tls_pki//\//\\}\\root.reg"
/usr/lib/wine/wineserver -w
# Wine 8 keeps the CRLs it fetched in this cache, and a certificate it once found revoked there
# passes as good in every later process ("Using cached status 0"): each run starts without it.
rm -rf "$WINEPREFIX"/drive_c/users/*/AppData/LocalLow/Microsoft/CryptnetUrlCache
