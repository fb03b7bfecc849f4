#!/usr/bin/env bash
# install_check.sh BUILD_DIR APP_ID files|play: installs into a fresh prefix.
# files: checks that every file is where desktops look, and validates the
# desktop entry and the AppStream metadata.
# play: makes the prefix read-only, starts the installed game from / with
# an empty home on a private Xvfb display, starts a run, and checks that the
# progress went to ~/.local/share/puxten and nothing changed in the prefix.
# Exit 0 on success, 77 when a tool is not installed.
set -u
build="$1"
id="$2"
mode="$3"
here="$(cd "$(dirname "$0")" && pwd)"
command -v desktop-file-validate >/dev/null && command -v appstreamcli >/dev/null || exit 77
[ "$mode" = play ] && source "$here/xvfb_support.sh"
root=$(mktemp -d /tmp/puxten-prefix-XXXXXX) || exit 1
game_pid=""
xvfb=""
cleanup() {
  [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null
  chmod -R u+w "$root"
  rm -rf "$root"
}
trap cleanup EXIT
prefix="$root/usr"
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "install failed"; exit 1; }

if [ "$mode" = play ]; then
  before=$(find "$prefix" -printf '%p %s %T@\n' | sort)
  chmod -R a-w "$prefix"
  export HOME="$root/home"
  mkdir "$HOME"
  unset XDG_DATA_HOME XDG_CONFIG_HOME
  start_xvfb "$root"
  (cd / && exec "$prefix/bin/puxten" --window >"$HOME/../game.log" 2>&1) &
  game_pid=$!
  win=$(wait_window "PUXTEN") || { echo "no game window"; cat "$root/game.log"; exit 1; }
  xwininfo -root -tree | grep -qF '"起動オプション"' && { echo "--window still asked"; exit 1; }
  save="$HOME/.local/share/puxten/save/save1.dat"
  for _ in $(seq 20); do
    # The title takes Enter only once it is up and Enter was let go.
    sleep 0.5
    hold_key "$win" Return 0.3
    [ -s "$save" ] && break
  done
  for _ in $(seq 50); do [ -s "$save" ] && break; sleep 0.1; done
  [ -s "$save" ] || { echo "no $save"; find "$HOME"; cat "$root/game.log"; exit 1; }
  after=$(find "$prefix" -printf '%p %s %T@\n' | sort)
  [ "$before" = "$after" ] || { echo "the prefix changed:"; diff <(echo "$before") <(echo "$after"); exit 1; }
  exit 0
fi

status=0
for f in bin/puxten share/puxten/image/title.bmp share/puxten/map/map0.map \
  share/puxten/bgm/title.mp3 share/puxten/SE/start.wav share/applications/$id.desktop \
  share/metainfo/$id.metainfo.xml share/man/man6/puxten.6 \
  share/icons/hicolor/{48x48,128x128,256x256}/apps/$id.png; do
  [ -s "$prefix/$f" ] || { echo "missing: $f"; status=1; }
done
for size in 48 128 256; do
  file "$prefix/share/icons/hicolor/${size}x$size/apps/$id.png" | grep -q "$size x $size, 8-bit/color RGBA" \
    || { echo "icon $size is not a $size x $size RGBA picture"; status=1; }
done
desktop-file-validate "$prefix/share/applications/$id.desktop" || status=1
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" || status=1
"$prefix/bin/puxten" --version | grep -q "^puxten [0-9]" || { echo "no version"; status=1; }
exit $status
