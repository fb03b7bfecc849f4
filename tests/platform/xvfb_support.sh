# Sourced by the scripts that run the real game on a private Xvfb display.
# Exits 77 (skipped) when Xvfb or the X tools are not installed.
command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v xwininfo >/dev/null \
  || exit 77

start_xvfb() {  # FOLDER [WxH]: sets DISPLAY and xvfb (the server's pid)
  # The game's temporary files (the sound library's runtime folder) go to
  # FOLDER too, which the caller removes.
  export TMPDIR="$1"
  # Xvfb picks a free display itself and says which once it is ready.
  Xvfb -displayfd 3 -screen 0 "${2:-1024x768}x24" -nolisten tcp 3>"$1/display" >/dev/null 2>&1 &
  xvfb=$!
  for _ in $(seq 300); do [ -s "$1/display" ] && break; sleep 0.1; done
  [ -s "$1/display" ] || { echo "Xvfb did not start"; exit 1; }
  export DISPLAY=":$(cat "$1/display")"
  # On a busy machine the server may name its display before it answers:
  # the game must not meet a display it cannot open.
  for _ in $(seq 300); do xwininfo -root >/dev/null 2>&1 && return 0; sleep 0.1; done
  echo "Xvfb on $DISPLAY does not answer"
  exit 1
}

wait_window() {  # exact name -> window id
  local id=""
  for _ in $(seq 300); do
    id=$(xwininfo -root -tree 2>/dev/null | grep -F "\"$1\":" | awk '{print $1}' | head -1)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

hold_key() {  # window key seconds
  xdotool keydown --window "$1" "$2" 2>/dev/null
  sleep "$3"
  xdotool keyup --window "$1" "$2" 2>/dev/null
}
