#!/bin/sh
# Draws the pictograph keyboard and a mail with pictographs offscreen and writes them as PNGs:
# scripts/shot-pictographs.sh [build folder] [output folder]
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$build/shots}
[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja
ninja -C "$build" -j2 test_pictograph_shots
mkdir -p "$out"
SORVANTO_SHOT_DIR="$out" QT_QPA_PLATFORM=offscreen "$build/tests/desktop/test_pictograph_shots"
ls "$out"/pictograph-*.png
