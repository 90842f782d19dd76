# Shared set-up for run.sh and test.sh: install what is missing, configure and build.
# Sourced, not run. Prints one line per step; the details go to build/logs/.

PARLANTO_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
PARLANTO_LOGS="$PARLANTO_ROOT/build/logs"
mkdir -p "$PARLANTO_LOGS"

# Packages the build, the tests and the program need (Debian 12 names).
PARLANTO_PACKAGES=(
  cmake ninja-build g++ pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  sox espeak-ng
  pulseaudio pulseaudio-utils libpulse-dev libsoxr-dev
  qt6-base-dev xvfb xauth x11-utils desktop-file-utils fonts-dejavu-core
)
# What only test.sh needs: clang and its fuzzing and sanitizer runtime for the fuzz targets, and a PipeWire
# server for the audio tests.
PARLANTO_TEST_PACKAGES=(clang-14 libclang-rt-14-dev pipewire pipewire-pulse wireplumber)

step() { printf '== %s\n' "$*"; }

fail() {
  printf 'FAILED: %s (log: %s)\n' "$1" "$2" >&2
  tail -n 30 "$2" >&2
  exit 1
}

ensure_packages() {
  local missing=() pkg
  for pkg in "$@"; do
    dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed' || missing+=("$pkg")
  done
  if [ ${#missing[@]} -eq 0 ]; then
    step "packages: all present"
    return
  fi
  step "packages: installing ${missing[*]}"
  local log="$PARLANTO_LOGS/apt.log"
  export DEBIAN_FRONTEND=noninteractive
  if ! apt-get install -y --no-install-recommends "${missing[@]}" >"$log" 2>&1; then
    apt-get update >>"$log" 2>&1 || fail "apt-get update" "$log"
    apt-get install -y --no-install-recommends "${missing[@]}" >>"$log" 2>&1 || fail "apt-get install" "$log"
  fi
}

# build DIR [cmake options...]: configure (once) and build into DIR.
build_tree() {
  local dir="$1"; shift
  local log="$PARLANTO_LOGS/$(basename "$dir").log"
  step "build: $(basename "$dir")"
  cmake -S "$PARLANTO_ROOT" -B "$dir" -G Ninja "$@" >"$log" 2>&1 || fail "cmake configure" "$log"
  cmake --build "$dir" >>"$log" 2>&1 || fail "cmake build" "$log"
}
