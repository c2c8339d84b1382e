# Sourced: whether this machine can run the i686 programs under the WoW64
# Wine. Some kernels run no 32-bit code at all, not even inside a 64-bit
# process (IA-32 emulation off: the kernel log says so at boot); every
# 32-bit Windows program then dies at its first instruction, Wine's own as
# well as ours. The probe runs Wine's 32-bit cmd.exe once in a throw-away
# prefix and expects the exit code it asked for.
tovan_runs_i686() {
  (
    exec 2>/dev/null  # the shell's own word of the crash, too
    export TOVAN_WOW64=1
    . "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
    [ -s "$TOVAN_WINE_TEMPLATE/.tovan-ready" ] || exit 1
    pfx="$(mktemp -d "${TMPDIR:-/tmp}/tovan-i686-probe.XXXXXX")"
    cp -a "$TOVAN_WINE_TEMPLATE/." "$pfx/"
    WINEPREFIX="$pfx" WINEDEBUG=-all timeout 120 "$TOVAN_WINE" \
      "$TOVAN_WOW64_WINE_DIR/lib/wine/i386-windows/cmd.exe" /c exit 7 >/dev/null
    rc=$?
    WINEPREFIX="$pfx" "$TOVAN_WINESERVER" -k >/dev/null 2>&1
    rm -rf "$pfx"
    [ "$rc" = 7 ]
  )
}
