# Sourced: wine_session_start gives the rest of the calling script a private Xvfb at
# 1920x1080x24, one persistent wineserver and a desktop that stays up, so that each
# Windows process started afterwards costs ~0.2 s instead of a cold Wine start. The
# session ends when the calling script exits.
. "$(dirname "${BASH_SOURCE[0]}")/xvfb.sh"
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

wine_session_stop() {
  wineserver -k >/dev/null 2>&1 || true
  xvfb_stop
}

# wine_session_start <folder holding desktop_keeper.exe>
wine_session_start() {
  trap wine_session_stop EXIT
  xvfb_start
  # The order matters: a persistent server started before the prefix is settled hangs ctest.
  wineserver -k >/dev/null 2>&1 || true
  wineboot --init >/dev/null 2>&1 || true
  wineserver -w
  wineserver -p
  wine cmd.exe /c exit 0 </dev/null >/dev/null 2>&1 || true
  # The desktop process, started here, stays for the whole session (see DesktopKeeper.cpp).
  if [ -f "$1/desktop_keeper.exe" ]; then
    wine "$1/desktop_keeper.exe" </dev/null >/dev/null 2>&1 &
  fi
}
