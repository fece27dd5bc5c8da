#!/usr/bin/env bash
# The README's picture: the real desktop program under Xvfb, in a working folder of its own,
# after the handset emulator pushed the N504i(S) samples into it; the phone book tab showing.
#   scripts/shot-readme.sh [BUILD] [PNG]        (default: build, docs/screenshot.png)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
png=${2:-$root/docs/screenshot.png}
program="$build/desktop/sorvanto"
handset="$build/handset/sorvanto-handset"
for exe in "$program" "$handset"; do
  [ -x "$exe" ] || { echo "shot-readme: $exe is not built" >&2; exit 1; }
done
for tool in Xvfb xdpyinfo xwd xdotool xwdtopnm pnmtopng; do
  command -v "$tool" > /dev/null || { echo "shot-readme: needs $tool (xvfb, x11-utils, x11-apps, xdotool, netpbm)" >&2; exit 1; }
done

work=$(mktemp -d)
display=:$((90 + $$ % 100))
port=$((30000 + $$ % 20000))
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2> /dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

home="$work/home"
mkdir -p "$home" "$work/run"
chmod 700 "$work/run"
# N504i(S): the NEC family, all seven tabs. The window as a person would size it; no sound.
printf '[System]\r\nModel=2\r\nIrMode=1\r\nWinPosX=0\r\nWinPosY=0\r\nWinSizeX=960\r\nWinSizeY=600\r\n' > "$home/Sorvanto.ini"
printf '[Tab5]\r\nColumn1=130\r\nColumn2=130\r\nColumn3=170\r\nColumn5=180\r\n' >> "$home/Sorvanto.ini"
printf '[Link]\r\nListenAddress=127.0.0.1\r\nListenPort=%s\r\n[Melody]\r\nMidiOut=none\r\n' "$port" >> "$home/Sorvanto.ini"

Xvfb "$display" -screen 0 960x600x24 -nolisten tcp > /dev/null 2>&1 &
pids+=($!)
for _ in $(seq 50); do xdpyinfo -display "$display" > /dev/null 2>&1 && break; sleep 0.1; done
DISPLAY=$display QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$work/run" SORVANTO_HOME="$home" TZ=Asia/Tokyo \
  "$program" > "$work/program.log" 2>&1 &
pids+=($!)
for _ in $(seq 300); do (exec 3<> "/dev/tcp/127.0.0.1/$port") 2> /dev/null && break; sleep 0.2; done
"$handset" push-sample nec --dir "$root/data/samples" --to "127.0.0.1:$port" > /dev/null
sleep 3  # the program imports what arrived once a second, then paints the rows
window=$(DISPLAY=$display xdotool search --onlyvisible --class sorvanto | head -1)
[ -n "$window" ] || { cat "$work/program.log"; echo "shot-readme: no window" >&2; exit 1; }
# The phone book's tab (アドレス帳), the sixth.
DISPLAY=$display xdotool mousemove --window "$window" 495 88 click 1
sleep 1
mkdir -p "$(dirname "$png")"
DISPLAY=$display xwd -silent -id "$window" | xwdtopnm 2> /dev/null | pnmtopng -compression 9 > "$png"
echo "$png"
