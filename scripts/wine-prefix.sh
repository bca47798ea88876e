#!/usr/bin/env bash
# Creates the private Wine prefix under build/ (the 32-bit one when TARNWICK_WINE_ARCH=win32).
# Cheap when it exists; safe when several test processes call it at once.
set -euo pipefail
TARNWICK_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$TARNWICK_REPO/scripts/wine-env.sh"

ready="$WINEPREFIX/.tarnwick-ready"
unmanaged="$WINEPREFIX/.tarnwick-unmanaged"
[ -f "$ready" ] && [ -f "$unmanaged" ] && exit 0

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$ready" ] && [ -f "$unmanaged" ] && exit 0

log="$WINEPREFIX.log"

# Under Xvfb there is no window manager, and Wine then waits up to 2 s for every window it destroys
# to be withdrawn (measured: 2.05 s per start and close of the application, 0.25 s without). Wine's
# X11 driver managing the windows itself avoids that. Kept apart from the creation so that an
# existing prefix gets it without being made anew.
make_unmanaged() {
  "$TARNWICK_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f
}

if [ -f "$ready" ]; then
  make_unmanaged 9>&- </dev/null >>"$log" 2>&1 || { echo "wine-prefix.sh: setting up $WINEPREFIX failed, see $log" >&2; exit 1; }
  touch "$unmanaged"
  exit 0
fi

{
  # A prefix without the marker was cut short; start again rather than patch it.
  rm -rf "$WINEPREFIX"
  # Wine's own processes must not inherit the lock (they would hold it until the wineserver exits)
  # nor the caller's output (ctest would wait for them to let go of its pipe).
  "$TARNWICK_WINE" wineboot --init
  # With the crash debugger on, a crashing test opens winedbg and waits instead of failing.
  key='HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug'
  "$TARNWICK_WINE" reg add "$key" /v Debugger /t REG_SZ /d "" /f
  "$TARNWICK_WINE" reg add "$key" /v Auto /t REG_SZ /d 1 /f
  make_unmanaged
  "$TARNWICK_WINESERVER" -w
} 9>&- </dev/null >"$log" 2>&1 || { echo "wine-prefix.sh: creating $WINEPREFIX failed, see $log" >&2; exit 1; }
touch "$ready" "$unmanaged"
