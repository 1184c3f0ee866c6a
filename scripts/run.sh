#!/usr/bin/env bash
# Sets up, builds and starts Tastro under Wine; returns with the program's exit code.
# Without a usable display it starts a private Xvfb and says so. Without a real keyboard
# the program talks to the built-in virtual keyboard (TASTRO_VIRTUAL_KEYBOARD, set it
# empty to use real HID devices only).
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TASTRO_BUILD_DIR:-$ROOT/build}

"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"

. "$ROOT/scripts/xvfb.sh"
. "$ROOT/scripts/wine-env.sh"
trap xvfb_stop EXIT

if [ -z "${DISPLAY:-}" ] || ! xdpyinfo >/dev/null 2>&1; then
  xvfb_start
  echo "[run] no display available: Tastro runs on a private Xvfb at $DISPLAY (1920x1080x24)."
  echo "[run] take a screenshot with ImageMagick: DISPLAY=$DISPLAY import -window root screen.png"
fi

export TASTRO_VIRTUAL_KEYBOARD=${TASTRO_VIRTUAL_KEYBOARD-wired}
rc=0
wine "$BUILD/Tastro/Tastro.exe" || rc=$?
exit $rc
