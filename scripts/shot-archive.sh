#!/bin/sh
# Renders an archive's index.html in headless Chromium: a store filled from every model family's
# samples (plus a mail and an entry with pictographs) is archived with --wav, and the page is
# drawn into FOLDER/archive-<section>.png (default FOLDER: BUILD/shots).
#   scripts/shot-archive.sh [BUILD] [FOLDER]
set -eu
build=${1:-build}
out=${2:-$build/shots}
src=$(cd "$(dirname "$0")/.." && pwd)
mkdir -p "$out"
out=$(cd "$out" && pwd)
chromium=${CHROMIUM:-/usr/bin/chromium}
if [ ! -x "$chromium" ]; then
  echo "shot-archive: no chromium at $chromium (scripts/install-deps chromium)" >&2
  exit 0
fi
ninja -C "$build" -j2 sorvanto-cli >/dev/null
cli="$build/cli/sorvanto-cli"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
home="$work/home"
mkdir -p "$home" "$work/in"
printf '[System]\r\nModel=1\r\n' >"$home/Sorvanto.ini"
for pair in 0:family0 1:family1 2:nec 4:family4; do
  "$cli" --home "$home" --model "${pair%%:*}" import "$src/data/samples/${pair#*:}"/* >/dev/null
done
# An entry whose name and note hold the sun, the i-mode logo (no emoji: a stand-in) and rain.
printf 'BEGIN:VCARD\r\nVERSION:2.1\r\nN;CHARSET=SHIFT_JIS:\220\260\222j\370\237 \221\345\225\343\371u;;;;\r\nSOUND;X-IRMC-N;CHARSET=SHIFT_JIS:\312\332\265 \300\336\262\275\271;;;;\r\nTEL;FAX:03-0000-1111\r\nNOTE;CHARSET=SHIFT_JIS:\220\260\202\352\370\237\202\314\202\277\211J\370\241\r\nEND:VCARD\r\n' >"$work/in/pb.vcf"
"$cli" --home "$home" --model 4 import "$work/in/pb.vcf" >/dev/null
TZ=${TZ:-Asia/Tokyo} "$cli" --home "$home" archive "$work/archive" --wav || true
# The top of the page, and each later section scrolled to by its anchor inside a frame (a
# headless screenshot of a page opened at an anchor does not show the scrolled place).
for part in top contacts mail bookmarks melodies pictures; do
  anchor=""
  [ "$part" = top ] || anchor="#$part"
  printf '<!DOCTYPE html><body style="margin:0"><iframe src="archive/index.html%s" style="border:0;width:1100px;height:1300px"></iframe>' "$anchor" >"$work/frame-$part.html"
  "$chromium" --headless --no-sandbox --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$work/profile" --hide-scrollbars --window-size=1100,1300 \
    --screenshot="$out/archive-$part.png" "file://$work/frame-$part.html" 2>/dev/null
done
ls -l "$out"/archive-*.png
