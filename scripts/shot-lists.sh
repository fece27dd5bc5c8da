#!/bin/sh
# Screenshots of the category lists with sample data, the preview window and the player
# window, taken offscreen with QWidget::grab(). Usage: scripts/shot-lists.sh [build dir] [out dir]
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-lists}
out=${2:-$root/build-lists/shots}
ninja -C "$build" -j2 sorvanto-list-harness
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
# No sound in a screenshot run.
# Widths as a person would set them, so the time columns read whole.
printf '[Melody]\r\nMidiOut=none\r\n' > "$home/Sorvanto.ini"
printf '[Tab0]\r\nColumn3=170\r\n[Tab1]\r\nColumn0=130\r\nColumn5=170\r\n[Tab2]\r\nColumn1=200\r\nColumn3=170\r\n' >> "$home/Sorvanto.ini"
printf '[Tab3]\r\nColumn0=150\r\nColumn3=170\r\nColumn5=170\r\n[Tab4]\r\nColumn0=150\r\nColumn3=170\r\nColumn5=170\r\n' >> "$home/Sorvanto.ini"
printf '[Tab5]\r\nColumn3=150\r\nColumn5=170\r\n' >> "$home/Sorvanto.ini"
mkdir -p "$out"
QT_QPA_PLATFORM=offscreen TZ=Asia/Tokyo "$build/desktop/harness/sorvanto-list-harness" --sample --shot "$out" "$home"
