#!/usr/bin/env bash
# Runs the sound-server cases of live_tests.exe (PulseEndToEnd.*) against a private
# PulseAudio daemon with a null sink: started here in user mode with its own socket and
# folders, and stopped when the cases end. Wine's PulseAudio driver reaches it through
# PULSE_SERVER, so the program's default output is the null sink and the default input
# is that sink's monitor. Exits 77 (skipped) only when the daemon cannot run.
set -u
exe=$1
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)

if ! command -v pulseaudio >/dev/null 2>&1; then
  echo "SKIPPED: pulseaudio is not installed (scripts/setup.sh installs it)"
  exit 77
fi

dir=$(mktemp -d "${TMPDIR:-/tmp}/tastro-pulse.XXXXXX")
pid=
cleanup() {
  if [ -n "$pid" ]; then
    kill "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  fi
  rm -rf "$dir"
}
trap cleanup EXIT

mkdir -p "$dir/run" "$dir/state"
HOME=$dir XDG_RUNTIME_DIR=$dir PULSE_RUNTIME_PATH=$dir/run PULSE_STATE_PATH=$dir/state \
  pulseaudio -n --daemonize=no --system=false --exit-idle-time=-1 --use-pid-file=no --disable-shm=yes \
    --log-target=stderr \
    -L "module-null-sink sink_name=tastro_null rate=44100 channels=2" \
    -L "module-native-protocol-unix socket=$dir/native auth-anonymous=1" \
    >"$dir/daemon.log" 2>&1 &
pid=$!

for _ in $(seq 1 100); do
  [ -S "$dir/native" ] && break
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if [ ! -S "$dir/native" ] || ! kill -0 "$pid" 2>/dev/null; then
  echo "SKIPPED: the private PulseAudio daemon did not start:"
  cat "$dir/daemon.log"
  exit 77
fi
echo "private PulseAudio daemon $pid on $dir/native"

PULSE_SERVER="unix:$dir/native" TASTRO_PULSE_SERVER=1 \
  "$ROOT/scripts/wine-run" "$exe" --gtest_filter='PulseEndToEnd.*'
