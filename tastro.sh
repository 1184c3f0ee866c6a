#!/usr/bin/env bash
# The project's two commands:
#   ./tastro.sh run    set up what is missing, build, and start Tastro under Wine
#   ./tastro.sh test   set up what is missing, build, and run every test
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cmd=${1:-}
[ $# -gt 0 ] && shift
case "$cmd" in
  run)  exec "$ROOT/scripts/run.sh" "$@" ;;
  test) exec "$ROOT/scripts/test.sh" "$@" ;;
  *) echo "usage: ./tastro.sh run | test [ctest arguments]" >&2; exit 2 ;;
esac
