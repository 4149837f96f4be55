#!/usr/bin/env bash
# The on-air tests, through the private PulseAudio loop of with_pulse_loop.sh.
# Usage: onair_test.sh <test binary> [gtest options: run just those, by hand]
set -euo pipefail
here=$(dirname "$0")
test_bin="$1"
shift
if [ $# -gt 0 ]; then
  exec bash "$here/with_pulse_loop.sh" "$test_bin" "$@"
fi
# The last test kills the sound server, so it runs on its own after the others.
bash "$here/with_pulse_loop.sh" bash -c '
  status=0
  env -u TAVREL_PULSE_PID "$1" --gtest_filter="-*LosingTheSoundServer*" || status=1
  "$1" --gtest_filter="*LosingTheSoundServer*" || status=1
  exit $status' onair "$test_bin"
