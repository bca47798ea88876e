# Sourced by the Wine scripts: one place for the environment every Windows test process sees.
# Expects TARNWICK_REPO to be the repository root. TARNWICK_WINE_ARCH chooses the kind of program:
# win64 (the default) or win32, the shipped one; each kind has a prefix of its own.

export WINEDEBUG=-all
# No .NET or Gecko: the prefix must not try to download or install them.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine derives the ANSI code page from the Unix locale: zh_CN gives 936, as on the users' Windows.
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8

if [ "${TARNWICK_WINE_ARCH:-win64}" = win32 ]; then
  export WINEPREFIX="$TARNWICK_REPO/build/wineprefix32" WINEARCH=win32
  TARNWICK_WINE=/usr/lib/wine/wine
else
  export WINEPREFIX="$TARNWICK_REPO/build/wineprefix"
  unset WINEARCH
  # Debian's `wine` front end insists on 32-bit support; the 64-bit loader works on its own.
  TARNWICK_WINE=/usr/lib/wine/wine64
fi
TARNWICK_WINESERVER=/usr/lib/wine/wineserver

# True when this machine runs 32-bit programs: the kernel must execute 32-bit code (some do not:
# "Exec format error") and Debian's 32-bit Wine must be installed.
tarnwick_runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }
