# Sourced: tarnwick_xvfb_start starts a private virtual X server and exports DISPLAY;
# tarnwick_xvfb_stop ends it. Xvfb picks a free display itself (-displayfd), so parallel callers
# cannot race for the same number the way `xvfb-run -a` can.

tarnwick_xvfb_start() {
  local numfile
  numfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$numfile" </dev/null >/dev/null 2>&1 &
  TARNWICK_XVFB_PID=$!
  local i
  for ((i = 0; i < 100; i++)); do
    if [ -s "$numfile" ]; then
      export DISPLAY=":$(tr -d '[:space:]' <"$numfile")"
      rm -f "$numfile"
      return 0
    fi
    kill -0 "$TARNWICK_XVFB_PID" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$numfile"
  echo "xvfb.sh: Xvfb did not start" >&2
  tarnwick_xvfb_stop
  return 1
}

tarnwick_xvfb_stop() {
  if [ -n "${TARNWICK_XVFB_PID:-}" ]; then
    kill "$TARNWICK_XVFB_PID" 2>/dev/null || true
    wait "$TARNWICK_XVFB_PID" 2>/dev/null || true
    TARNWICK_XVFB_PID=
  fi
}
