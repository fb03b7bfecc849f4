#!/usr/bin/env bash
# Starts the real game under a private Xvfb display with --new-game over a
# saved run, answers Yes to clearing it and No to the start-up question,
# checks the 640 x 480 client area, quits from the title with Esc, and
# checks the run is gone. Exit 0 on success, 77 when Xvfb is not there.
set -u
game="$1"
data="$2"
source "$(dirname "$0")/xvfb_support.sh"
# A home of its own, so the player's real folders are never touched; the
# settings go to a folder of this run; a Japanese locale asks in Japanese.
HOME=$(mktemp -d /tmp/puxten-home-XXXXXX) || exit 1
export HOME
unset XDG_DATA_HOME
config="$HOME/config"
start_xvfb "$HOME"
trap 'kill $xvfb 2>/dev/null; kill $game_pid 2>/dev/null; rm -rf "$HOME"' EXIT
log="$HOME/game.log"
save="$HOME/.local/share/puxten/save"
mkdir -p "$save" && for f in save1.dat mapsave.dat checkpoint.dat; do echo run >"$save/$f"; done
cd "$data" || exit 1
XDG_CONFIG_HOME="$config" LANG=ja_JP.UTF-8 LC_ALL= "$game" --new-game >"$log" 2>&1 &
game_pid=$!

box=$(wait_window "新しいゲーム") || { echo "no new-game question"; exit 1; }
xdotool key --window "$box" y 2>/dev/null

box=$(wait_window "起動オプション") || { echo "no start-up question"; exit 1; }
xdotool key --window "$box" n 2>/dev/null
sleep 0.5
win=$(wait_window "PUXTEN") || { echo "no game window"; exit 1; }
sleep 1
geometry=$(xwininfo -id "$win" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}')
echo "client area $geometry"
[ "$geometry" = "640x480" ] || { echo "expected 640x480"; exit 1; }
# The title ignores Esc for its first frames: hold it a little while.
sleep 1
hold_key "$win" Escape 0.6
for _ in $(seq 50); do kill -0 $game_pid 2>/dev/null || break; sleep 0.1; done
wait $game_pid
code=$?
echo "exit code $code"
[ $code -eq 0 ] || { cat "$log"; exit 1; }
[ -s "$config/puxten/settings.ini" ] || { echo "no settings file written"; exit 1; }
[ -z "$(ls -A "$save")" ] || { echo "the saved run is still there: $(ls "$save")"; exit 1; }
exit 0
