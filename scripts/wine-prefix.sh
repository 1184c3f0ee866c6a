#!/usr/bin/env bash
# Creates the project's Wine prefix once: boots it, makes crashes exit instead of
# opening winedbg's dialog, installs Wine's own fonts and maps the common Windows
# font names to the Liberation and DejaVu fonts.
set -euo pipefail
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

# Bump SETTINGS when the registry settings below change: existing prefixes get them again.
SETTINGS=2
BOOTED=$WINEPREFIX/.tastro-booted
STAMP=$WINEPREFIX/.tastro-settings
[ -f "$STAMP" ] && [ "$(cat "$STAMP")" = "$SETTINGS" ] && exit 0

if [ ! -f "$BOOTED" ]; then
  echo "[setup] creating the Wine prefix $WINEPREFIX (once, ~15 s)"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  # No display needed: the boot opens no windows with Mono/Gecko disabled.
  DISPLAY= wineboot --init >/dev/null 2>&1 || true
  wineserver -w
  touch "$BOOTED"
fi

FONTS=$WINEPREFIX/drive_c/windows/Fonts
mkdir -p "$FONTS"
cp -n /usr/share/wine/fonts/* "$FONTS/" 2>/dev/null || true

reg=$(mktemp --suffix=.reg)
trap 'rm -f "$reg"' EXIT
cat > "$reg" <<'REG'
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]
"Arial"="Liberation Sans"
"Microsoft Sans Serif"="Liberation Sans"
"MS Sans Serif"="Liberation Sans"
"Tahoma"="DejaVu Sans"
"Segoe UI"="DejaVu Sans"
"Verdana"="DejaVu Sans"
"Times New Roman"="Liberation Serif"
"Courier New"="Liberation Mono"
"Microsoft YaHei"="WenQuanYi Micro Hei"
"SimSun"="WenQuanYi Micro Hei"
"NSimSun"="WenQuanYi Micro Hei"

; Without a window manager (Xvfb) Wine waits 2 s on every destroyed managed window.
; The program's windows are all borderless and skinned, so nothing is lost.
[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"Managed"="N"

[HKEY_CURRENT_USER\Software\Wine\DllOverrides]
"winemenubuilder.exe"=""
REG
DISPLAY= wine regedit "$(winepath -w "$reg" 2>/dev/null)" >/dev/null 2>&1
wineserver -w
echo "$SETTINGS" > "$STAMP"
