#!/usr/bin/env bash
# Runs clang-tidy with the checks in .clang-tidy over every source under
# src/, two at a time, with the build's compile_commands.json.
#   scripts/tidy.sh [BUILD_DIR]
# A source is checked again only when it, a header it includes (as the
# build last saw it), its compile command, the checks or clang-tidy changed
# since it last passed. Like the compiler cache, the record of what passed
# is kept per user ($PUXTEN_TIDY_CACHE, by default ~/.cache/puxten/tidy),
# keyed by content, so that other checkouts of the same code reuse it.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json" >&2; exit 1; }
stamps="$build/tidy"
cache="${PUXTEN_TIDY_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/puxten/tidy}"
mkdir -p "$stamps" "$cache"
find "$cache" -type f -mtime +30 -delete  # what no checkout has needed for a month

# "source header header ..." for each object the build made, the
# project's own files only, paths as seen from the build folder.
ninja -C "$build" -t deps | awk '
  /^[^ ].*: #deps/ { if (line != "") print line; line = ""; next }
  /^    / { sub(/^ +/, ""); if ($0 !~ /^\/usr\//) line = line " " $0 }
  END { if (line != "") print line }' | sed 's/$/ /' >"$stamps/deps"
src=$(realpath --relative-to="$build" "$root/src")

check() {  # source log passed-record
  if clang-tidy -p "$build" --quiet "$1" >"$2" 2>&1; then
    touch "$3"
  else
    grep -v "warnings\? generated\|^Suppressed\|^Use -header-filter" "$2" >&2
    return 1
  fi
}
export -f check
export build

cd "$root"
checks=$({ clang-tidy --version && cat .clang-tidy; } | sha256sum | cut -c1-16)
todo=()
all=$(find src -name '*.cpp' | sort)
for f in $all; do
  # The source, every file it included when it was last compiled, and its
  # compile command with this checkout's folder left out.
  files=$(grep -F " $src/${f#src/} " "$stamps/deps" | tr ' ' '\n' | sed -e '/^$/d' -e "s|^[^/]|$build/&|" | sort -u || true)
  command=$(grep -B1 -F "\"file\": \"$root/$f\"" "$build/compile_commands.json" | head -1 | sed "s|$root||g")
  key="$checks-$({ echo "$f $command" && cat "$f" && cat $files 2>/dev/null || true; } | sha256sum | cut -c1-32)"
  [ -f "$cache/$key" ] || todo+=("$f" "$stamps/${f//\//_}.log" "$cache/$key")
done
echo "clang-tidy: $((${#todo[@]} / 3)) of $(echo "$all" | wc -l) sources to check"
[ ${#todo[@]} -eq 0 ] || printf '%s\0' "${todo[@]}" | xargs -0 -n3 -P2 bash -c 'check "$@"' _
