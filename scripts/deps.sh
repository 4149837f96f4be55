#!/usr/bin/env bash
# Installs the Debian packages Tavrel needs; quick when all are there.
#   deps.sh           to build and run the program, and to run its tests and benchmarks
#   deps.sh program   to build and run the program only
set -euo pipefail
# The program: its build and the libraries it runs with.
program=(
  build-essential cmake ninja-build pkg-config git
  qt6-base-dev qt6-serialport-dev qt6-multimedia-dev libqt6multimedia6 qt6-qpa-plugins
  libliquid-dev libfftw3-dev libsndfile1-dev libhamlib-dev hamradio-files
)
# The tests and benchmarks only (rigctld and rigctl for the rig tests, the format check, a compiler cache).
tests=(
  libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev libhamlib-utils
  pulseaudio pulseaudio-utils socat xvfb xauth imagemagick fonts-dejavu-core clang-format ccache
)
packages=("${program[@]}")
[ "${1:-}" = program ] || packages+=("${tests[@]}")
missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

[ "${1:-}" = program ] && exit 0

# Node.js and npm (either Debian's or another packaging of them) for the independent ADIF
# reader the tests check the export with.
if ! command -v npm >/dev/null 2>&1; then
  echo "Installing: npm"
  sudo_cmd=""
  [ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
  $sudo_cmd apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq --no-install-recommends npm
fi
reader="$(dirname "$0")/../tests/export/adif-reader"
if [ ! -d "$reader/node_modules" ]; then
  (cd "$reader" && npm ci --no-audit --no-fund --loglevel=error)
fi
