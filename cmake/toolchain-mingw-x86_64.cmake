# 64-bit Windows build: the one whose tests run here, under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARNWICK_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

# Lets add_test() on a target and try_run() start .exe files through Wine.
get_filename_component(_tarnwick_wine_run "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR /bin/bash "${_tarnwick_wine_run}")
