#!/bin/sh
# Screenshots of every dialog right after it opens, read back from an X server (Xvfb with the
# openbox window manager) as a person on a Linux desktop first sees them. Offscreen pictures
# (the other shot-*.sh) show what Qt draws; these also show a window that is mapped but not
# yet painted, placed badly or resized after it showed. Beside each, NAME-window.png holds what
# the window itself was painted with (xwd of the window, not of the screen).
# On Xvfb the screen picture of a dialog reads back black while its window picture is whole;
# a plain QDialog in a program of a few lines, with or without openbox, does the same, so a black
# NAME.png alone, with a whole NAME-window.png, is the X server's readback, not the dialog.
#   scripts/shot-dialogs.sh [BUILD] [FOLDER] [NAME...]
# SHOT_DELAY: seconds between a dialog showing and its picture (default 0.3).
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
out=${2:-$build/shots-x11}
[ $# -gt 2 ] && shift 2 || set --
delay=${SHOT_DELAY:-0.3}

"$root/scripts/install-deps" openbox x11-apps netpbm
[ -f "$build/build.ninja" ] || cmake -S "$root" -B "$build" -G Ninja
ninja -C "$build" -j2 sorvanto-dialog-harness >/dev/null
mkdir -p "$out"
out=$(cd "$out" && pwd)

tmp=$(mktemp -d)
xvfb="" wm=""
cleanup() {
  [ -n "$wm" ] && kill "$wm" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT INT TERM

# A display of its own: Xvfb picks a free number and writes it to fd 3.
Xvfb -displayfd 3 -screen 0 1280x960x24 -nolisten tcp 3>"$tmp/display" 2>"$tmp/xvfb.log" &
xvfb=$!
i=0
while [ ! -s "$tmp/display" ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
[ -s "$tmp/display" ] || { echo "Xvfb did not start" >&2; cat "$tmp/xvfb.log" >&2; exit 1; }
DISPLAY=:$(head -n1 "$tmp/display")
export DISPLAY
openbox --sm-disable >"$tmp/openbox.log" 2>&1 &
wm=$!
# The window manager is up once it has named itself on the root window.
i=0
while ! xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && [ $i -lt 100 ]; do
  sleep 0.1
  i=$((i + 1))
done

# NAME.png: the screen, cut to the window's frame (kept inside the screen), as a person sees it;
# NAME-window.png: what the window itself holds.
shoot() { # name x y w h window
  x=$2 y=$3 w=$4 h=$5
  [ "$x" -lt 0 ] && { w=$((w + x)); x=0; }
  [ "$y" -lt 0 ] && { h=$((h + y)); y=0; }
  xwd -root -silent | xwdtopnm 2>/dev/null | pamcut -left "$x" -top "$y" -width "$w" -height "$h" -pad \
    | pnmtopng >"$out/$1.png.part" 2>/dev/null
  xwd -id "$6" -silent | xwdtopnm 2>/dev/null | pnmtopng >"$out/$1-window.png" 2>/dev/null || true
  mv "$out/$1.png.part" "$out/$1.png"
  echo "wrote $out/$1.png (${w}x${h} at $x,$y)"
}

mkfifo "$tmp/events"
mkdir -p "$tmp/home"
QT_QPA_PLATFORM=xcb TZ=Asia/Tokyo "$build/desktop/harness/sorvanto-dialog-harness" "$tmp/home" "$out" "$@" \
  >"$tmp/events" &
harness=$!
while read -r what name x y w h window; do
  case $what in
    open) sleep "$delay"; shoot "$name" "$x" "$y" "$w" "$h" "$window" ;;
    *) echo "$what $name" ;;
  esac
done <"$tmp/events"
wait "$harness"
