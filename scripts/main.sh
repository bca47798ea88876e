#!/usr/bin/env bash
# The main job: install, build the release folder, list the streams of the sample help file.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

bash "$repo/scripts/setup.sh"
bash "$repo/scripts/build.sh" release

cli="$repo/build/release/cli/tarnwick-cli"
if [ ! -x "$cli" ]; then
  echo "main.sh: $cli was not built (cli/CMakeLists.txt must define the tarnwick-cli target)" >&2
  exit 1
fi
exec "$cli" list "$repo/../shared/corpus/topics.classic.chm"
