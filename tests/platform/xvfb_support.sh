# Sourced by the scripts that run the real game on a private Xvfb display.
# Exits 77 (skipped) when Xvfb or the X tools are not installed.
command -v Xvfb >/dev/null && command -v xdotool >/dev/null && command -v xwininfo >/dev/null \
  || exit 77

start_xvfb() {  # sets DISPLAY and xvfb (the server's pid)
  local n
  for n in $(seq 91 140); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || { disp=":$n"; break; }
  done
  Xvfb "$disp" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY="$disp"
  for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
}

wait_window() {  # exact name -> window id
  local id=""
  for _ in $(seq 100); do
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
