#!/usr/bin/env bash
# Runs a command under a private PulseAudio server: a null sink (tavrel_loop) whose monitor is
# remapped into an ordinary source (tavrel_in: Qt lists no monitor sources as inputs), both made the
# defaults, so whatever is played comes back as input. The server lives in a temporary folder of its
# own and is stopped on exit; the command finds its pid in TAVREL_PULSE_PID.
# Usage: with_pulse_loop.sh <command> [arguments]
set -euo pipefail

for tool in pulseaudio pactl; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "FATAL: '$tool' is missing: the sound loop needs PulseAudio (scripts/deps.sh installs" \
         "pulseaudio and pulseaudio-utils)." >&2
    exit 1
  fi
done

dir=$(mktemp -d /tmp/tavrel-pulse.XXXXXX)
export HOME="$dir" XDG_RUNTIME_DIR="$dir" PULSE_RUNTIME_PATH="$dir/pulse" PULSE_STATE_PATH="$dir/state"
export PULSE_SERVER="unix:$dir/pulse/native"
unset DBUS_SESSION_BUS_ADDRESS
mkdir -p "$dir/pulse" "$dir/state"

pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --system=false \
  --log-target="file:$dir/pulse.log" \
  -L "module-native-protocol-unix auth-anonymous=1 socket=$dir/pulse/native" \
  -L "module-null-sink sink_name=tavrel_loop rate=8000 channels=1" \
  -L "module-remap-source source_name=tavrel_in master=tavrel_loop.monitor" &
pulse_pid=$!
cleanup() {
  kill "$pulse_pid" 2>/dev/null || true
  wait "$pulse_pid" 2>/dev/null || true
  rm -rf "$dir"
}
trap cleanup EXIT

for _ in $(seq 100); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.1
done
if ! pactl info >/dev/null 2>&1; then
  echo "FATAL: PulseAudio did not start:" >&2
  cat "$dir/pulse.log" >&2 || true
  exit 1
fi
pactl set-default-sink tavrel_loop
pactl set-default-source tavrel_in

export TAVREL_PULSE_PID=$pulse_pid
status=0
"$@" || status=$?
exit $status
