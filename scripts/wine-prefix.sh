#!/usr/bin/env bash
# Creates the private Wine prefix under build/. Cheap when it exists; safe when several test
# processes call it at once.
set -euo pipefail
TARNWICK_REPO=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
source "$TARNWICK_REPO/scripts/wine-env.sh"

ready="$WINEPREFIX/.tarnwick-ready"
[ -f "$ready" ] && exit 0

mkdir -p "$(dirname "$WINEPREFIX")"
exec 9>"$WINEPREFIX.lock"
flock 9
[ -f "$ready" ] && exit 0

log="$WINEPREFIX.log"
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
  "$TARNWICK_WINESERVER" -w
} 9>&- </dev/null >"$log" 2>&1 || { echo "wine-prefix.sh: creating $WINEPREFIX failed, see $log" >&2; exit 1; }
touch "$ready"
