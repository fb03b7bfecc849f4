#!/usr/bin/env bash
# Runs clang-tidy with the checks in .clang-tidy over every source under
# src/, two at a time, with the build's compile_commands.json.
#   scripts/tidy.sh [BUILD_DIR]
# A source is checked again only when it, a header it includes (as the
# build last saw it) or the checks changed since it last passed; the
# stamps live in BUILD_DIR/tidy/. After a small change this takes seconds.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json" >&2; exit 1; }
stamps="$build/tidy"
mkdir -p "$stamps"

# "source header header ..." for each object the build made, the
# project's own files only, paths as seen from the build folder.
ninja -C "$build" -t deps | awk '
  /^[^ ].*: #deps/ { if (line != "") print line; line = ""; next }
  /^    / { sub(/^ +/, ""); if ($0 !~ /^\/usr\//) line = line " " $0 }
  END { if (line != "") print line }' | sed 's/$/ /' >"$stamps/deps"
src=$(realpath --relative-to="$build" "$root/src")

check() {  # source stamp key
  if clang-tidy -p "$build" --quiet "$1" >"$2.log" 2>&1; then
    echo "$3" >"$2"
  else
    grep -v "warnings\? generated\|^Suppressed\|^Use -header-filter" "$2.log" >&2
    return 1
  fi
}
export -f check
export build

cd "$root"
checks=$(sha256sum <.clang-tidy | cut -c1-16)
todo=()
all=$(find src -name '*.cpp' | sort)
for f in $all; do
  stamp="$stamps/${f//\//_}"
  # The source and every file it included when it was last compiled.
  files=$(grep -F " $src/${f#src/} " "$stamps/deps" | tr ' ' '\n' | sed -e '/^$/d' -e "s|^[^/]|$build/&|" | sort -u || true)
  key="$checks-$({ cat "$f" && cat $files 2>/dev/null || true; } | sha256sum | cut -c1-16)"
  [ "$(cat "$stamp" 2>/dev/null)" = "$key" ] || todo+=("$f" "$stamp" "$key")
done
echo "clang-tidy: $((${#todo[@]} / 3)) of $(echo "$all" | wc -l) sources to check"
[ ${#todo[@]} -eq 0 ] || printf '%s\0' "${todo[@]}" | xargs -0 -n3 -P2 bash -c 'check "$@"' _
