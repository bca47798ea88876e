# 32-bit Windows build: the shipped program, and its tests under Debian's 32-bit Wine where the
# machine runs 32-bit code.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TARNWICK_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
