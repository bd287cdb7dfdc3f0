#!/bin/sh
# Runs a Windows program in a Wine prefix of its own whose visual styles are switched off
# (made once; the build's prefix keeps them on).
#   unthemed-prefix.sh SOURCE-DIR PREFIX PROGRAM [ARGS...]
set -eu
run=$1/scripts/wine-run
prefix=$2
shift 2
"$run" "$prefix" --prepare
if [ ! -f "$prefix/.vorlan-unthemed" ]; then
    "$run" "$prefix" reg add 'HKCU\Software\Microsoft\Windows\CurrentVersion\ThemeManager' \
        /v ThemeActive /d 0 /f >/dev/null
    touch "$prefix/.vorlan-unthemed"
fi
exec "$run" "$prefix" "$@"
