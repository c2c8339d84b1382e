# Sourced: one Xvfb server for a whole run, so window tests have a display.
start_xvfb() {
  if [ -n "${DISPLAY:-}" ] && [ -z "${TOVAN_FORCE_XVFB:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0  # a display is there already
  fi
  local fifo; fifo="$(mktemp -u)"; mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" >/dev/null 2>&1 &
  TOVAN_XVFB_PID=$!
  local n; read -r n <"$fifo"; rm -f "$fifo"
  export DISPLAY=":$n"
}
stop_xvfb() {
  if [ -n "${TOVAN_XVFB_PID:-}" ]; then kill "$TOVAN_XVFB_PID" 2>/dev/null || true; fi
}
