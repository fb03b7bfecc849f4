#!/usr/bin/env bash
# Rewrites tests/replays/hashes/ from the recorded replays, run the way the
# picture-hash test runs them: stageNN.keys from that stage's door, every
# other replay from the title. Only for a change that alters pictures on
# purpose; its commit message says why.
#   tests/replays/regenerate_hashes.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/../.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
out="$root/tests/replays/hashes"
mkdir -p "$out"
rm -f "$out"/*.sha256
for keys in "$root"/data/replays/*.keys; do
  name="$(basename "$keys" .keys)"
  stage=()
  if [[ "$name" =~ ^stage([0-9]+)$ ]]; then stage=(--stage "${BASH_REMATCH[1]}"); fi
  "$build/puxten-replay" --data "$build/data" "${stage[@]}" --input "$keys" \
    --picture-hashes "$out/$name.sha256" >/dev/null
  echo "$name: $(wc -l <"$out/$name.sha256") pictures"
done
