# Sourced by the scripts: the Wine environment every Windows program runs in.
# Code page 936 comes from the locale; nothing else gives it.
export LC_ALL=zh_CN.UTF-8 2>/dev/null
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d"
export TOVAN_WINE="${TOVAN_WINE:-/usr/lib/wine/wine64}"
# What goes into the prefix template; its folder carries the version, so
# checkouts on different versions keep separate templates instead of
# rebuilding one back and forth.
export TOVAN_WINE_TEMPLATE_VERSION=3
export TOVAN_WINE_TEMPLATE="${TOVAN_WINE_TEMPLATE:-${XDG_CACHE_HOME:-$HOME/.cache}/tovan/wine-template-v$TOVAN_WINE_TEMPLATE_VERSION}"
