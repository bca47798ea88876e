# 64-bit Windows build: its tests run here, under Wine.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TARNWICK_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
