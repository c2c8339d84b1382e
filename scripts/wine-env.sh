# Sourced by the scripts: the Wine environment every Windows program runs in.
# Two Wines: Debian's (x86_64 programs) and, with TOVAN_WOW64=1, the one
# build-wine.sh makes in its WoW64 mode for the i686 programs users install.
# Each has its own prefix template; call "$TOVAN_WINE" and
# "$TOVAN_WINESERVER", never a bare wine or wineserver.
# Code page 936 comes from the locale; nothing else gives it.
export LC_ALL=zh_CN.UTF-8 2>/dev/null
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"
# What goes into the prefix templates; their folders carry the version, so
# checkouts on different versions keep separate templates instead of
# rebuilding one back and forth.
export TOVAN_WINE_TEMPLATE_VERSION=3
# Everything kept between runs (prefix templates, the WoW64 Wine). Programs
# that give Wine a HOME of its own keep this one.
export TOVAN_CACHE="${TOVAN_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/tovan}"
# The WoW64 Wine's folder names the source package and the build's recipe.
export TOVAN_WOW64_WINE_DIR="$TOVAN_CACHE/wine-wow64-10.0-6-r1"
if [ "${TOVAN_WOW64:-0}" = 1 ]; then
  export TOVAN_WINE="$TOVAN_WOW64_WINE_DIR/bin/wine"
  export TOVAN_WINESERVER="$TOVAN_WOW64_WINE_DIR/bin/wineserver"
  export TOVAN_WINE_TEMPLATE="$TOVAN_CACHE/wine-template-wow64-v$TOVAN_WINE_TEMPLATE_VERSION"
else
  export TOVAN_WINE=/usr/lib/wine/wine64
  export TOVAN_WINESERVER=/usr/lib/wine/wineserver
  export TOVAN_WINE_TEMPLATE="$TOVAN_CACHE/wine-template-v$TOVAN_WINE_TEMPLATE_VERSION"
fi
