#!/usr/bin/env bash
# Builds ZuntGallery.exe, shows it on a private Xvfb and saves a screenshot of the screen to
# build/gallery.png (ImageMagick's import), then closes it. Usage: scripts/gallery.sh [out.png]
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${TASTRO_BUILD_DIR:-$ROOT/build}
OUT=${1:-$BUILD/gallery.png}

"$ROOT/scripts/setup.sh"
"$ROOT/scripts/build.sh" >/dev/null
cmake --build "$BUILD" --target ZuntGallery >/dev/null

# The real ImageMagick (some machines carry a stand-in named convert but no import).
if ! command -v import >/dev/null 2>&1; then
  SUDO=; [ "$(id -u)" != 0 ] && SUDO=sudo
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends imagemagick >/dev/null
fi

# A tall screen: every section fits without scrolling.
export TASTRO_XVFB_SCREEN=${TASTRO_XVFB_SCREEN:-2560x1800x24}
. "$ROOT/scripts/wine-session.sh"
wine_session_start "$BUILD/tests"

ready=$(mktemp -u /tmp/zunt-gallery-ready.XXXXXX)
ZUNT_GALLERY_READY="Z:${ready//\//\\}" wine "$BUILD/gallery/ZuntGallery.exe" </dev/null >/dev/null 2>&1 &
pid=$!
for _ in $(seq 1 300); do
  [ -e "$ready" ] && break
  kill -0 "$pid" 2>/dev/null || { echo "ZuntGallery.exe ended before it was ready" >&2; exit 1; }
  sleep 0.1
done
[ -e "$ready" ] || { echo "ZuntGallery.exe did not get ready" >&2; kill "$pid" 2>/dev/null; exit 1; }
sleep 0.3
import -window root "$OUT"
rm -f "$ready"
kill "$pid" 2>/dev/null || true
wait "$pid" 2>/dev/null || true
echo "$OUT"
