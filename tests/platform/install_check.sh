#!/usr/bin/env bash
# install_check.sh BUILD_DIR APP_ID files: installs into a fresh prefix,
# checks that every file is where desktops look, and validates the desktop
# entry and the AppStream metadata. Exit 0 on success, 77 when the
# validators are not installed.
set -u
build="$1"
id="$2"
command -v desktop-file-validate >/dev/null && command -v appstreamcli >/dev/null || exit 77
root=$(mktemp -d /tmp/puxten-prefix-XXXXXX) || exit 1
trap 'chmod -R u+w "$root"; rm -rf "$root"' EXIT
prefix="$root/usr"
cmake --install "$build" --prefix "$prefix" >/dev/null || { echo "install failed"; exit 1; }

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
