#!/usr/bin/env bash
# Sets up, builds and runs every test under Wine on a private Xvfb. Extra arguments go
# to ctest (for example -R SqliteLink). Exits non-zero when a test fails.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TASTRO_BUILD_DIR:-$ROOT/build}

"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"

. "$ROOT/scripts/wine-session.sh"
wine_session_start "$BUILD/tests"

ctest --test-dir "$BUILD" --output-on-failure --no-tests=error -j "${TASTRO_TEST_JOBS:-$(nproc)}" "$@"
