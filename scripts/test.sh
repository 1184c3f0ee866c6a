#!/usr/bin/env bash
# Sets up, builds and runs every test under Wine on a private Xvfb. Extra arguments go
# to ctest (for example -R SqliteLink). Exits non-zero when a test fails.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TASTRO_BUILD_DIR:-$ROOT/build}

"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"

. "$ROOT/scripts/xvfb.sh"
. "$ROOT/scripts/wine-env.sh"

cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  xvfb_stop
}
trap cleanup EXIT

xvfb_start
# One wineserver for the whole run, so each test process skips Wine's start-up.
# The order matters: a persistent server started before the prefix is settled hangs ctest.
wineserver -k >/dev/null 2>&1 || true
wineboot --init >/dev/null 2>&1 || true
wineserver -w
wineserver -p
wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 || true
# The desktop process, started here, stays for the whole run (see DesktopKeeper.cpp).
wine "$BUILD/tests/desktop_keeper.exe" </dev/null >/dev/null 2>&1 &

ctest --test-dir "$BUILD" --output-on-failure --no-tests=error -j "${TASTRO_TEST_JOBS:-$(nproc)}" "$@"
