#!/bin/sh
# wine.sh PREFIX PROGRAM [ARGUMENT...]: runs a Windows program under wine,
# headless (no display: a message box returns at once) and bounded in time,
# in the wine prefix PREFIX (created on first use).
set -eu
prefix=$1
shift
export WINEPREFIX="$prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
exec timeout -k 10 "${KEL_WINE_TIMEOUT:-120}" wine "$@"
