#!/usr/bin/env bash
# Starts the real game under a private Xvfb display, answers the start-up
# question with No, checks the 640 x 480 client area, and quits from the
# title with Esc. Exit 0 on success, 77 when Xvfb is not there.
set -u
game="$1"
data="$2"
command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v xwininfo >/dev/null \
  || exit 77

for n in $(seq 91 140); do
  [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { disp=":$n"; break; }
done
Xvfb "$disp" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
export DISPLAY="$disp"
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done

# The player's settings go to a folder of this run; a Japanese locale
# asks in Japanese.
config=$(mktemp -d) || exit 1
trap 'kill $xvfb 2>/dev/null; kill $game_pid 2>/dev/null; rm -rf "$config"' EXIT
log="$config/log"
cd "$data" || exit 1
XDG_CONFIG_HOME="$config" LANG=ja_JP.UTF-8 LC_ALL= "$game" >"$log" 2>&1 &
game_pid=$!

wait_window() {  # exact name -> window id
  local id=""
  for _ in $(seq 100); do
    id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\":" | awk '{print $1}' | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

box=$(wait_window "起動オプション") || { echo "no start-up question"; exit 1; }
if [ -n "${SHOT_DIR:-}" ]; then sleep 0.5; import -window root "$SHOT_DIR/question.png" 2>/dev/null; fi
xdotool key --window "$box" n 2>/dev/null
sleep 0.5
win=$(wait_window "PUXTEN") || { echo "no game window"; exit 1; }
sleep 1
geometry=$(xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
echo "client area $geometry"
[ "$geometry" = "640x480" ] || { echo "expected 640x480"; exit 1; }
# The title ignores Esc for its first frames: hold it a little while.
sleep 1
xdotool keydown --window "$win" Escape 2>/dev/null
sleep 0.6
xdotool keyup --window "$win" Escape 2>/dev/null
for _ in $(seq 50); do kill -0 $game_pid 2>/dev/null || break; sleep 0.1; done
wait $game_pid
code=$?
echo "exit code $code"
[ $code -eq 0 ] || { cat "$log"; exit 1; }
[ -s "$config/puxten/settings.ini" ] || { echo "no settings file written"; exit 1; }
exit 0
