# Sourced by the Wine scripts: one place for the environment every Windows test process sees.
# Expects TARNWICK_REPO to be the repository root.

export WINEPREFIX="$TARNWICK_REPO/build/wineprefix"
export WINEDEBUG=-all
# No .NET or Gecko: the prefix must not try to download or install them.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine derives the ANSI code page from the Unix locale: zh_CN gives 936, as on the users' Windows.
export LANG=zh_CN.UTF-8
export LC_ALL=zh_CN.UTF-8

# Debian's `wine` front end insists on 32-bit support; the 64-bit loader works on its own.
TARNWICK_WINE=/usr/lib/wine/wine64
TARNWICK_WINESERVER=/usr/lib/wine/wineserver
