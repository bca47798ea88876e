# 32-bit Windows build: the shipped program. The Debian wine64 package cannot start 32-bit code,
# so no emulator is set and no tests are built in this folder.
set(CMAKE_SYSTEM_PROCESSOR x86)
set(TARNWICK_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
