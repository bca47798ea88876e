#!/usr/bin/env bash
# Runs the Windows build of tarnwick-cli under Wine like the Linux one: absolute Linux paths among
# the arguments become Z: paths. The program is named by TARNWICK_WINDOWS_CLI.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
arguments=()
for argument in "$@"; do
    case "$argument" in
        /*) arguments+=("Z:${argument//\//\\}") ;;
        *) arguments+=("$argument") ;;
    esac
done
exec bash "$here/../../scripts/wine-run.sh" "$TARNWICK_WINDOWS_CLI" "${arguments[@]}"
