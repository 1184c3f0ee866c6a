# Sourced: xvfb_start starts a private Xvfb at 1920x1080x24, or at TASTRO_XVFB_SCREEN when set
# (xvfb-run's default of 640x480x8 is too small and palettised) and exports DISPLAY;
# xvfb_stop ends it.
XVFB_PID=
xvfb_start() {
  local n
  for n in $(seq 91 190); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] && continue
    Xvfb ":$n" -screen 0 "${TASTRO_XVFB_SCREEN:-1920x1080x24}" -nolisten tcp -noreset >/dev/null 2>&1 &
    XVFB_PID=$!
    local i
    for i in $(seq 1 100); do
      [ -e "/tmp/.X11-unix/X$n" ] && { export DISPLAY=":$n"; return 0; }
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.05
    done
    kill "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  done
  echo "could not start Xvfb" >&2
  return 1
}
xvfb_stop() {
  if [ -n "$XVFB_PID" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=
  fi
}
