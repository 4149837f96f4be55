#!/usr/bin/env bash
# build.sh <build-dir> [cmake -D options...] [-- targets...]: configure once, then build with both cores.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$1"; shift
options=(); targets=()
while [ $# -gt 0 ]; do
  if [ "$1" = "--" ]; then shift; targets=("$@"); break; fi
  options+=("$1"); shift
done
# Paths below the source tree reach the compiler cache relative to it, so a fresh clone anywhere
# reuses what another clone compiled (debug info then names the first clone's folder).
export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
# Configure on the first build, and again whenever options are given, so that a folder made
# before an option existed takes it up.
if [ ! -f "$dir/build.ninja" ] || [ ${#options[@]} -gt 0 ]; then
  # A compiler cache, when installed, makes rebuilds in a second clone cheap.
  command -v ccache >/dev/null 2>&1 && options+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  cmake -S . -B "$dir" -G Ninja "${options[@]}"
fi
if [ ${#targets[@]} -gt 0 ]; then
  cmake --build "$dir" -j2 --target "${targets[@]}"
else
  cmake --build "$dir" -j2
fi
