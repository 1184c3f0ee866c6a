#!/usr/bin/env bash
# Builds and runs the benchmarks (all, or those named: ./scripts/bench.sh storage_bench)
# under Wine on a private Xvfb. Each prints its own figures; none of them fails on a
# slow machine.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TASTRO_BUILD_DIR:-$ROOT/build}

"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh"
cmake --build "$BUILD" --target benchmarks

. "$ROOT/scripts/wine-session.sh"
wine_session_start "$BUILD/tests"

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  for exe in "$BUILD"/tests/*_bench.exe; do
    [ -f "$exe" ] && names+=("$(basename "$exe" .exe)")
  done
fi
[ ${#names[@]} -gt 0 ] || { echo "no benchmarks built"; exit 0; }
rc=0
for n in "${names[@]}"; do
  echo "== $n"
  (cd "$BUILD/tests" && wine "./$n.exe") || rc=1
done
exit $rc
