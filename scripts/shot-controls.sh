#!/bin/sh
# Draws the list control, a row of colour buttons and the tab control offscreen and writes them
# as PNGs: scripts/shot-controls.sh [build folder] [output folder]
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$build/shots}
[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja
ninja -C "$build" -j2 test_controls_gallery
mkdir -p "$out"
SORVANTO_SHOT_DIR="$out" QT_QPA_PLATFORM=offscreen "$build/tests/desktop/test_controls_gallery"
ls "$out"/*.png
