#!/usr/bin/env bash
# Configures (once) and builds Tastro with the mingw-w64 cross compiler into build/.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TASTRO_BUILD_DIR:-$ROOT/build}
if [ ! -f "$BUILD/build.ninja" ]; then
  cmake -S "$ROOT" -B "$BUILD" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/toolchain-mingw64.cmake" \
    -DCMAKE_BUILD_TYPE="${TASTRO_BUILD_TYPE:-Release}" \
    -DTASTRO_DEPS_DIR="${TASTRO_CACHE:-$ROOT/.cache}/src" >/dev/null
fi
cmake --build "$BUILD"
