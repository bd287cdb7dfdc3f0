#!/bin/sh
# Starts VORLAN.exe on a virtual desktop (test mode, scratch settings) and saves a picture of
# the screen while it runs: build artefact artifacts/startup.png.
#   startup-screenshot.sh SOURCE-DIR BUILD-DIR DESKTOPRUN RUNANDCLOSE
set -eu
src=$1
build=$2
state=$build/state
mkdir -p "$build/artifacts" "$build/wineprefix/drive_c/TEMP/vorlan-shot"
"$src/scripts/screenshot" "$build/artifacts/startup.png" 6 "$state" &
shot=$!
DISPLAY=$(cat "$state/display") "$src/scripts/wine-run" "$build/wineprefix" "$3" startup-shot "$4" 9 \
    VORLAN.MainWindow "$build/bin/VORLAN.exe" -testmode 'C:\TEMP\vorlan-shot' -r
wait $shot
test -s "$build/artifacts/startup.png"
