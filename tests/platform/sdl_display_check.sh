#!/usr/bin/env bash
# The real game in a window under Xvfb and a window manager: 640 x 480 at
# first; Alt+Enter fills the screen and again brings back 640 x 480; the
# window resized to 1280 x 960 is captured (as XWD) into $3/scaled.xwd for
# the caller to check; the settings file's bad line is reported, and the
# music volume (-) and the window's scale are kept in it. Exit 0 on
# success, 77 when a tool is missing.
set -u
game="$1"
data="$2"
out="$3"
command -v xwd >/dev/null && command -v evilwm >/dev/null || exit 77
source "$(dirname "$0")/xvfb_support.sh"
game_pid="" wm=""
trap 'kill $game_pid $wm $xvfb 2>/dev/null' EXIT
start_xvfb "$out" 1600x1200
evilwm >/dev/null 2>&1 &
wm=$!

mkdir -p "$out/config/puxten"
settings="$out/config/puxten/settings.ini"
printf 'pause_on_focus_loss = no\nwindow_scale = huge\n' >"$settings"
cd "$data" || exit 1
# Progress too goes to a folder of this run, never the player's own.
XDG_CONFIG_HOME="$out/config" XDG_DATA_HOME="$out/share" "$game" --window >"$out/log" 2>&1 &
game_pid=$!

win=$(wait_window PUXTEN)
[ -n "$win" ] || { echo "no game window"; cat "$out/log"; exit 1; }

size() { xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }
expect_size() {  # waits up to 10 s for the window to take this size
  for _ in $(seq 100); do [ "$(size)" = "$1" ] && return 0; sleep 0.1; done
  echo "$2: window is $(size), expected $1"
  exit 1
}
expect_size 640x480 "at start"
xdotool windowfocus --sync "$win" 2>/dev/null
xdotool key alt+Return
expect_size 1600x1200 "after Alt+Enter"
xdotool key alt+Return
expect_size 640x480 "after the second Alt+Enter"
xdotool windowmove "$win" 0 0 windowsize "$win" 1280 960
expect_size 1280x960 "after resizing"
sleep 0.5  # a frame or two at the new size
xwd -id "$win" -silent >"$out/scaled.xwd" || exit 1
xdotool key minus
for _ in $(seq 50); do grep -q "^music_volume = 90" "$settings" && break; sleep 0.1; done
# Esc held on the title quits.
hold_key "$win" Escape 0.6
for _ in $(seq 50); do kill -0 $game_pid 2>/dev/null || break; sleep 0.1; done
grep -q "settings.ini:2: bad value \"huge\"" "$out/log" || { echo "bad line not reported"; cat "$out/log"; exit 1; }
grep -q "^music_volume = 90" "$settings" || { echo "music volume not kept"; cat "$settings"; exit 1; }
grep -q "^window_scale = 2" "$settings" || { echo "window scale not kept"; cat "$settings"; exit 1; }
exit 0
