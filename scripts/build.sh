#!/usr/bin/env bash
# build.sh <build-dir> [extra cmake args...]: configure once, then build with both cores.
set -euo pipefail
cd "$(dirname "$0")/.."
dir="$1"; shift
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S . -B "$dir" -G Ninja "$@"
fi
cmake --build "$dir" -j2
