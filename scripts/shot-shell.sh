#!/bin/sh
# Pictures of the main window for each model, the configuration sheet, a context menu, the
# send dialog and the About box, drawn offscreen into a folder (default: BUILD/shots).
#   scripts/shot-shell.sh [BUILD] [FOLDER]
set -eu
build=${1:-build}
out=${2:-$build/shots}
mkdir -p "$out"
out=$(cd "$out" && pwd)
ninja -C "$build" -j2 test_shell_shots >/dev/null
QT_QPA_PLATFORM=offscreen TZ=Asia/Tokyo SORVANTO_SHOT_DIR="$out" "$build/tests/desktop/test_shell_shots"
ls "$out"
