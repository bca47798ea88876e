# Shared by the two mingw-w64 toolchain files; they set TARNWICK_MINGW_TRIPLE first.
set(CMAKE_SYSTEM_NAME Windows)

# The posix thread model gives std::thread and std::mutex, which GoogleTest and the core need.
set(CMAKE_C_COMPILER   ${TARNWICK_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TARNWICK_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER  ${TARNWICK_MINGW_TRIPLE}-windres)

# Resource scripts are UTF-8 (they carry the Chinese UI strings); without this windres reads them
# in the build machine's code page and mangles every non-ASCII string.
set(CMAKE_RC_FLAGS_INIT "-c 65001")

# A copied .exe must start on a bare Windows: no libstdc++/libgcc/winpthread DLLs beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT    "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Lets add_test() on a target start .exe files through Wine, which picks the 32- or 64-bit Wine
# and prefix from the program itself.
get_filename_component(_tarnwick_wine_run "${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run.sh" ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR /bin/bash "${_tarnwick_wine_run}")

set(CMAKE_FIND_ROOT_PATH /usr/${TARNWICK_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
