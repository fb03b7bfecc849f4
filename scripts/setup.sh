# Shared by ./play and ./test: install what is missing from Debian's
# packages (as root), configure and build. Sourced, not run.
set -euo pipefail

PUXTEN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PUXTEN_BUILD="${PUXTEN_BUILD:-$PUXTEN_ROOT/build}"

BUILD_PACKAGES="g++ cmake ninja-build pkg-config libsdl2-dev libmpg123-dev libfreetype-dev
  zlib1g-dev lame fonts-ipafont-mincho fonts-ipafont-gothic xfonts-base"
TEST_PACKAGES="nettle-dev strace desktop-file-utils appstream file libgtest-dev libbenchmark-dev clang-format clang-tidy xvfb xauth x11-utils xdotool evilwm x11-apps"

missing_packages() {
  local p
  for p in "$@"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
      echo "$p"
    fi
  done
}

ensure_packages() {
  # shellcheck disable=SC2068
  local missing
  missing=$(missing_packages $@ | tr '\n' ' ')
  [ -z "${missing// }" ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "These Debian packages are missing: $missing" >&2
    echo "Install them as root (apt-get install $missing) or run this command as root." >&2
    exit 1
  fi
  echo "Installing: $missing"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  # shellcheck disable=SC2086
  apt-get install -y -qq --no-install-recommends $missing >/dev/null
}

# A compiler cache, where the machine has one, makes rebuilds in several
# checkouts cheap; the build is the same without it.
compiler_launcher() {
  command -v ccache >/dev/null 2>&1 && echo "-DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
  return 0
}
export CCACHE_BASEDIR="$PUXTEN_ROOT"
# The tests' precompiled header is cached too: ccache asks for these.
export CCACHE_SLOPPINESS="pch_defines,time_macros,include_file_mtime,include_file_ctime"

# build_game TYPE [CMAKE OPTION...]: configures and builds $BUILD_TARGET
# (default: everything configured).
build_game() {
  local type="${1:-RelWithDebInfo}"
  shift || true
  # shellcheck disable=SC2046
  cmake -S "$PUXTEN_ROOT" -B "$PUXTEN_BUILD" -G Ninja -DCMAKE_BUILD_TYPE="$type" \
    $(compiler_launcher) "$@" >/dev/null
  cmake --build "$PUXTEN_BUILD" --target "${BUILD_TARGET:-all}" -- -j"$(nproc)"
}

# How programs built with -DPUXTEN_SANITIZE=ON (or the fuzz targets) run:
# the first report ends the program with a failure; leaks inside the
# system's own libraries (X11, SDL's drivers) are not ours to mend.
use_sanitizer_options() {
  export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1}"
  export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
  export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$PUXTEN_ROOT/tests/sanitizer/lsan.supp:print_suppressions=0}"
}
