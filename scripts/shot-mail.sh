#!/bin/sh
# Pictures of the mail window (compose with a melody, view), the address editor and the
# address selection, drawn offscreen into a folder (default: BUILD/shots).
#   scripts/shot-mail.sh [BUILD] [FOLDER]
set -eu
build=${1:-build}
out=${2:-$build/shots}
mkdir -p "$out"
out=$(cd "$out" && pwd)
ninja -C "$build" -j2 test_mail_shots >/dev/null
QT_QPA_PLATFORM=offscreen TZ=Asia/Tokyo SORVANTO_SHOT_DIR="$out" "$build/tests/desktop/test_mail_shots"
ls "$out"
