#!/usr/bin/env bash
# The main job: install, build the release folder and both Windows folders, list the streams of the
# sample help file, then start the window program as users get it: the shipped zip unpacked into a
# folder of its own, its 32-bit Tarnwick.exe started there with the sample file. Without a display
# the window goes to a private Xvfb, is photographed and closed; the screenshot's path is printed.
# A clone without ../shared beside it shows the program's own help file, which the build compiles.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
sample="$repo/../shared/corpus/topics.classic.chm"

bash "$repo/scripts/setup.sh"
bash "$repo/scripts/build.sh" release win64 win32

cli="$repo/build/release/cli/tarnwick-cli"
if [ ! -x "$cli" ]; then
  echo "main.sh: $cli was not built (cli/CMakeLists.txt must define the tarnwick-cli target)" >&2
  exit 1
fi
if [ ! -f "$sample" ]; then
  sample="$repo/build/release/TARNHelp.chm"
  echo "main.sh: no sample help files in ../shared/corpus beside the repository; showing the program's own help file $sample" >&2
fi
"$cli" list "$sample"

TARNWICK_REPO=$repo
source "$repo/scripts/wine-env.sh"
shipped=$(mktemp -d)
trap 'rm -rf "$shipped"' EXIT
zip=("$repo"/build/win32/Tarnwick-*-win32.zip)
(cd "$shipped" && cmake -E tar xf "${zip[0]}")
folder=("$shipped"/*/)
cd "${folder[0]}"
if tarnwick_runs_32bit; then
  export TARNWICK_WINE_ARCH=win32
  source "$repo/scripts/wine-env.sh"
else
  # Everything else stays as shipped: the tips and the help file beside the program.
  echo "main.sh: this machine cannot run 32-bit programs; starting the 64-bit build of the same program from the unpacked folder" >&2
  cp "$repo/build/win64/Tarnwick.exe" Tarnwick.exe
fi
sample_windows="Z:$(realpath "$sample")"

if [ -n "${DISPLAY:-}" ]; then
  # A person is watching: the window stays until they close it.
  TARNWICK_WINE_TIMEOUT=86400 exec bash "$repo/scripts/wine-run.sh" ./Tarnwick.exe "$sample_windows"
fi

source "$repo/scripts/xvfb.sh"
tarnwick_xvfb_start
trap 'tarnwick_xvfb_stop; rm -rf "$shipped"' EXIT
shots="$repo/build/screenshots"
mkdir -p "$shots"

wait_for_window() { # NAME: true once a window of that name is shown, within 60 s
  local i
  for ((i = 0; i < 120; i++)); do
    xdotool search --onlyvisible --name "$1" >/dev/null 2>&1 && return 0
    sleep 0.5
  done
  return 1
}

TARNWICK_WINE_TIMEOUT=300 bash "$repo/scripts/wine-run.sh" ./Tarnwick.exe "$sample_windows" &
program=$!
frame_title="$(basename "$sample") - Tarnwick"
if ! wait_for_window "$frame_title"; then
  echo "main.sh: no window \"$frame_title\" appeared within 60 s" >&2
  kill "$program" 2>/dev/null || true
  exit 1
fi
# The tip of the day, when it is switched on, opens in front of the list; Esc closes it and
# stores nothing.
if wait_for_window "日积月累"; then
  sleep 1
  import -window root "$shots/main-window-with-tip.png"
  xdotool key Escape
fi
sleep 1.5
import -window root "$shots/main-window.png"
"$TARNWICK_WINE" taskkill /im Tarnwick.exe >/dev/null 2>&1 || true
wait "$program" || true
echo "main.sh: screenshot of the window on $(basename "$sample"): $shots/main-window.png"
