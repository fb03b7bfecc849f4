#!/usr/bin/env bash
# Fuzzes one reader of outside data for a while:
#   scripts/fuzz.sh READER [SECONDS]
# READER is one of map save bitmap sound stage-source key-script; SECONDS
# defaults to 600. Builds build-fuzz/ with clang (libFuzzer with
# AddressSanitizer and UndefinedBehaviorSanitizer), grows a working corpus
# in build-fuzz/corpus/READER from the seeds in tests/fuzz/READER, and
# writes any input that fails into tests/fuzz/READER/ (keep it there once
# mended: CTest replays every file of that folder).
set -euo pipefail
reader="${1:?usage: scripts/fuzz.sh READER [SECONDS]}"
seconds="${2:-600}"
PUXTEN_BUILD="$(cd "$(dirname "$0")/.." && pwd)/build-fuzz"
export PUXTEN_BUILD
source "$(dirname "$0")/setup.sh"
# shellcheck disable=SC2086
ensure_packages $BUILD_PACKAGES libgtest-dev clang libclang-rt-14-dev

[ -d "$PUXTEN_ROOT/tests/fuzz/$reader" ] || { echo "no reader '$reader'" >&2; exit 2; }
# shellcheck disable=SC2046
cmake -S "$PUXTEN_ROOT" -B "$PUXTEN_BUILD" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DPUXTEN_FUZZ=ON -DBUILD_TESTING=ON $(compiler_launcher) >/dev/null
cmake --build "$PUXTEN_BUILD" --target "fuzz-$reader" assets stages
use_sanitizer_options
corpus="$PUXTEN_BUILD/corpus/$reader"
mkdir -p "$corpus"
exec "$PUXTEN_BUILD/tests/fuzz-$reader" -max_total_time="$seconds" -print_final_stats=1 \
  -artifact_prefix="$PUXTEN_ROOT/tests/fuzz/$reader/" "$corpus" "$PUXTEN_ROOT/tests/fuzz/$reader"
