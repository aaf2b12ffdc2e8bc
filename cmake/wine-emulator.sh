#!/bin/sh
# Runs a 64-bit Windows program under Wine for ctest. scripts/test exports
# WINEPREFIX and DISPLAY; when ctest is run by hand the defaults below apply.
: "${WINEPREFIX:=${QUIBEX_WINEPREFIX:-$HOME/.quibex-wine}}"
: "${WINEDEBUG:=-all}"
: "${WINEDLLOVERRIDES:=mscoree,mshtml=;winemenubuilder.exe=d}"
export WINEPREFIX WINEDEBUG WINEDLLOVERRIDES
if [ -x /usr/lib/wine/wine64 ]; then
  exec /usr/lib/wine/wine64 "$@"
fi
exec wine64 "$@"
