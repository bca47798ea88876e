#!/usr/bin/env bash
# build.sh [FOLDER...]: configures (when needed) and builds the build folders under build/.
# Without arguments it builds all of them: native release fuzz tsan win64 win32.
set -euo pipefail
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
jobs=${TARNWICK_JOBS:-2}

release_o2=(-DCMAKE_BUILD_TYPE=Release "-DCMAKE_CXX_FLAGS_RELEASE=-O2 -DNDEBUG" "-DCMAKE_C_FLAGS_RELEASE=-O2 -DNDEBUG")

configure_args() {
  case "$1" in
    native)  args=(-DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ -DCMAKE_BUILD_TYPE=Debug
                   -DTARNWICK_SANITIZE=ON) ;;
    release) args=(-DCMAKE_C_COMPILER=gcc -DCMAKE_CXX_COMPILER=g++ "${release_o2[@]}"
                   -DTARNWICK_TESTS=OFF -DTARNWICK_BENCH=ON) ;;
    fuzz)    args=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug
                   -DTARNWICK_FUZZ=ON) ;;
    tsan)    args=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=Debug
                   -DTARNWICK_TSAN=ON) ;;
    win64)   args=("-DCMAKE_TOOLCHAIN_FILE=$repo/cmake/toolchain-mingw-x86_64.cmake" "${release_o2[@]}") ;;
    win32)   args=("-DCMAKE_TOOLCHAIN_FILE=$repo/cmake/toolchain-mingw-i686.cmake" "${release_o2[@]}") ;;
    *) echo "build.sh: unknown build folder '$1' (native release fuzz tsan win64 win32)" >&2; exit 2 ;;
  esac
}

# CMake registers the tests that read the sample files as skipped when they are missing (a fresh
# clone): a folder is configured again when they come or go.
samples=present
for sample in topics.classic example combined combined2; do
  [ -f "$repo/../shared/corpus/$sample.chm" ] || samples=missing
done

folders=("$@")
[ ${#folders[@]} -gt 0 ] || folders=(native release fuzz tsan win64 win32)

for folder in "${folders[@]}"; do
  configure_args "$folder"
  dir="$repo/build/$folder"
  mkdir -p "$dir"
  # Reconfigure from scratch when this script's settings for the folder changed.
  stamp="$dir/.tarnwick-configure-args"
  wanted=$(printf '%s\n' "${args[@]}" "samples $samples")
  if [ ! -f "$dir/build.ninja" ] || [ "$(cat "$stamp" 2>/dev/null)" != "$wanted" ]; then
    rm -f "$dir/CMakeCache.txt"
    echo "== configure build/$folder"
    cmake -S "$repo" -B "$dir" -G Ninja "${args[@]}" >"$repo/build/configure-$folder.log" 2>&1 ||
      { cat "$repo/build/configure-$folder.log" >&2; exit 1; }
    printf '%s' "$wanted" >"$stamp"
  fi
  echo "== build build/$folder"
  cmake --build "$dir" -j "$jobs"
done
