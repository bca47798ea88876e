#!/usr/bin/env bash
# wine-run.sh PROGRAM [ARGS...]: runs a Windows program under Wine in the project's own prefix,
# the 32-bit Wine and prefix for a 32-bit program; the emulator ctest puts in front of every
# Windows test. Exit code is the program's, or 124 when it ran longer than TARNWICK_WINE_TIMEOUT
# seconds (default 300).
set -euo pipefail
TARNWICK_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

if [ $# -eq 0 ]; then
  echo "usage: wine-run.sh PROGRAM [ARGS...]" >&2
  exit 2
fi
# The program's own kind decides: the machine field of its PE header (0x14c is i386).
if [ -f "$1" ]; then
  pe=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  [ "$(od -An -tx2 -j$((pe + 4)) -N2 "$1" | tr -d ' ')" = 014c ] && export TARNWICK_WINE_ARCH=win32
fi
source "$TARNWICK_REPO/scripts/wine-env.sh"

bash "$TARNWICK_REPO/scripts/wine-prefix.sh"

# Window tests need an X server; give each run without one its own virtual screen.
if [ -z "${DISPLAY:-}" ]; then
  source "$TARNWICK_REPO/scripts/xvfb.sh"
  tarnwick_xvfb_start
  own_xvfb=$TARNWICK_XVFB_PID
fi

status=0
run() { timeout --kill-after=10 "${TARNWICK_WINE_TIMEOUT:-300}" "$TARNWICK_WINE" "$@"; }
if [ -t 1 ]; then
  run "$@" || status=$?
else
  # Wine's helper processes inherit the program's output and hold it until the wineserver exits,
  # seconds later; a pipe (ctest's) would stay open that long. Only the file is left to them.
  out=$(mktemp)
  err=$(mktemp)
  run "$@" >"$out" 2>"$err" || status=$?
  cat "$out"
  cat "$err" >&2
  rm -f "$out" "$err"
fi
if [ -n "${own_xvfb:-}" ]; then
  # Wine processes this run started (desktop, services) may outlive it and stay attached to this X
  # server until the wineserver goes idle; stop it only then, without making the caller wait.
  ( "$TARNWICK_WINESERVER" -w; kill "$own_xvfb" ) </dev/null >/dev/null 2>&1 &
fi
if [ "$status" -eq 124 ]; then
  echo "wine-run.sh: $1 did not finish within ${TARNWICK_WINE_TIMEOUT:-300} s" >&2
fi
exit "$status"
