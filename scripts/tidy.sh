#!/usr/bin/env bash
# Runs clang-tidy with the checks in .clang-tidy over every source under
# src/, two at a time, with the build's compile_commands.json.
#   scripts/tidy.sh [BUILD_DIR]
# A source is checked again only when it, a header under src/ or the
# checks changed since it last passed (stamps in BUILD_DIR/tidy/), so a
# run after a small change takes seconds.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
[ -f "$build/compile_commands.json" ] || { echo "no $build/compile_commands.json" >&2; exit 1; }
stamps="$build/tidy"
mkdir -p "$stamps"
cd "$root"
shared=$(cat .clang-tidy $(find src -name '*.h' | sort) | sha256sum | cut -c1-16)

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

todo=()
for f in $(find src -name '*.cpp' | sort); do
  stamp="$stamps/${f//\//_}"
  key="$shared-$(sha256sum <"$f" | cut -c1-16)"
  [ "$(cat "$stamp" 2>/dev/null)" = "$key" ] || todo+=("$f" "$stamp" "$key")
done
echo "clang-tidy: $((${#todo[@]} / 3)) of $(find src -name '*.cpp' | wc -l) sources to check"
[ ${#todo[@]} -eq 0 ] || printf '%s\0' "${todo[@]}" | xargs -0 -n3 -P2 bash -c 'check "$@"' _
