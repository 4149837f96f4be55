#!/usr/bin/env bash
# Installs what is missing, builds and runs every test: once plainly, once under ASan + UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
./scripts/deps.sh
export QT_QPA_PLATFORM=offscreen
status=0

# Every C++ file as clang-format (.clang-format) lays it out.
if ! git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror; then
  echo "Some files are not formatted: run clang-format -i on them." >&2
  status=1
fi

# Both builds compile each target as one file, which reads the Qt headers once a target rather than
# once a file; the everyday build in build/ keeps one object a file. No debug information in the
# plain build: it makes each file take about 40 % longer to compile.
./scripts/build.sh build-test -DCMAKE_BUILD_TYPE=Release -DTAVREL_UNITY=ON
(cd build-test && ctest --output-on-failure -j2) || status=1

./scripts/build.sh build-asan -DCMAKE_BUILD_TYPE=Debug -DTAVREL_SANITIZE=ON -DTAVREL_BENCH=OFF -DTAVREL_UNITY=ON
(cd build-asan && ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1 \
   ctest --output-on-failure -j2) || status=1

exit $status
