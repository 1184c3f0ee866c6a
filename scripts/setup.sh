#!/usr/bin/env bash
# Brings a Debian 12 machine to the point where Tastro builds and its tests run:
#   1. installs the apt packages that are missing (nothing when all are there),
#   2. fetches the third-party sources from Debian's source packages into .cache/src
#      (once; later calls are offline), applies our patches, generates sqlite3.c,
#   3. creates the project's Wine prefix in .cache/wine (once).
# Safe to call again and again: every step checks before it acts.
set -euo pipefail

ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
CACHE=${TASTRO_CACHE:-$ROOT/.cache}
SRC=$CACHE/src
mkdir -p "$CACHE" "$SRC"

log() { printf '[setup] %s\n' "$*"; }

SUDO=
if [ "$(id -u)" != 0 ]; then SUDO=sudo; fi

# ---------------------------------------------------------------- apt packages
PACKAGES=(
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  wine wine64 fonts-wine
  xvfb xauth x11-utils
  cmake ninja-build make gcc libc6-dev
  googletest libz-mingw-w64-dev
  tcl python3 python3-pil
  openssl osslsigncode unzip
  dpkg-dev xz-utils bzip2 patch ca-certificates
  fonts-liberation fonts-dejavu-core fonts-wqy-microhei fonts-open-sans
  pulseaudio
)

missing=()
for p in "${PACKAGES[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done
if [ ${#missing[@]} -gt 0 ]; then
  log "installing: ${missing[*]}"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# ---------------------------------------------------- Debian source packages
# A private apt state in the cache with deb-src twins of the machine's configured
# Debian suites: the system's apt configuration stays untouched, and no root is needed.
APT=$CACHE/apt
apt_opts=(-o "Dir::Etc::SourceList=$APT/sources.list" -o "Dir::Etc::SourceParts=$APT/sources.list.d"
          -o "Dir::State::Lists=$APT/lists" -o "Dir::Cache=$APT/cache" -o "APT::Sandbox::User=root"
          -o "Debug::NoLocking=1")

apt_src_ready() { [ -f "$APT/ready" ]; }

prepare_apt_src() {
  apt_src_ready && return 0
  log "enabling deb-src twins of the configured Debian suites (private apt state in $APT)"
  rm -rf "$APT"
  mkdir -p "$APT/sources.list.d" "$APT/lists/partial" "$APT/cache/archives/partial"
  : > "$APT/sources.list"
  # One-line style sources
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    grep -E '^\s*deb\s' "$f" | grep -E 'debian' | sed -E 's/^\s*deb\s/deb-src /' >> "$APT/sources.list" || true
  done
  # deb822 style sources
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    grep -q -E 'debian' "$f" || continue
    sed -E 's/^Types:.*/Types: deb-src/' "$f" > "$APT/sources.list.d/$(basename "$f")"
  done
  apt-get "${apt_opts[@]}" update -qq
  touch "$APT/ready"
}

# fetch <source package> <directory it unpacks to> <version>...
# Tries the given versions in order (one apt-get call each: one failure would abort a combined call).
fetch_source() {
  local pkg=$1 dir=$2; shift 2
  [ -d "$SRC/$dir" ] && [ -f "$SRC/$dir/.tastro-unpacked" ] && return 0
  prepare_apt_src
  local dl=$CACHE/downloads/$pkg
  mkdir -p "$dl"
  local dsc= v
  for v in "$@"; do
    if (cd "$dl" && apt-get "${apt_opts[@]}" source --download-only -qq "$pkg=$v" >/dev/null 2>&1); then
      dsc="$dl/${pkg}_${v#*:}.dsc"; log "fetched $pkg $v"; break
    fi
  done
  [ -n "$dsc" ] && [ -f "$dsc" ] || { echo "could not fetch source package $pkg ($*)" >&2; exit 1; }
  rm -rf "${SRC:?}/$dir"
  (cd "$dl" && dpkg-source --no-check -x "$dsc" "$SRC/$dir" >/dev/null)
  touch "$SRC/$dir/.tastro-unpacked"
}

# Version choices: the newest Debian revision of the pinned upstream release that answers.
sqlite_versions() {
  prepare_apt_src
  apt-cache "${apt_opts[@]}" showsrc sqlite3 2>/dev/null | sed -n 's/^Version: //p' | grep '^3\.40\.1-' | sort -rV
}

fetch_source hidapi hidapi 0.13.1-1
fetch_source zlib zlib 1:1.2.13.dfsg-1+deb12u1 1:1.2.13.dfsg-1
# pugixml serves only as the yardstick of the XML benchmark; nothing ships with it.
fetch_source pugixml pugixml 1.13-0.2
if ! [ -f "$SRC/sqlite3/.tastro-unpacked" ]; then
  mapfile -t sv < <(sqlite_versions)
  fetch_source sqlite3 sqlite3 "${sv[@]}" 3.40.1-2
fi

# Our patches, applied once.
for p in "$ROOT"/patches/hidapi-0.13.1/*.patch; do
  [ -f "$p" ] || continue
  stamp="$SRC/hidapi/.applied-$(basename "$p")"
  [ -f "$stamp" ] && continue
  log "patching hidapi: $(basename "$p")"
  patch -d "$SRC/hidapi" -p1 --forward --quiet < "$p"
  touch "$stamp"
done

# The SQLite amalgamation, generated once from the full source tree.
if ! [ -f "$SRC/sqlite3-amalgamation/sqlite3.c" ]; then
  log "generating sqlite3.c"
  (cd "$SRC/sqlite3" && make -s -f Makefile.linux-gcc TOP=. sqlite3.c >/dev/null 2>&1) \
    || { echo "generating sqlite3.c failed" >&2; exit 1; }
  mkdir -p "$SRC/sqlite3-amalgamation"
  cp "$SRC/sqlite3/sqlite3.c" "$SRC/sqlite3/sqlite3.h" "$SRC/sqlite3/sqlite3ext.h" "$SRC/sqlite3-amalgamation/"
fi

# --------------------------------------------------------------- Wine prefix
"$ROOT/scripts/wine-prefix.sh"
