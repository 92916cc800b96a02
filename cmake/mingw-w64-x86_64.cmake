# Cross-compiling for 64-bit Windows with Debian's mingw-w64 toolchain (the posix thread model,
# which the standard library's threads need). Programs built here run under Wine on Linux.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ORBELT_MINGW_PREFIX x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${ORBELT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORBELT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${ORBELT_MINGW_PREFIX}-windres)
set(ORBELT_IDL_COMPILER ${ORBELT_MINGW_PREFIX}-widl)

set(CMAKE_FIND_ROOT_PATH /usr/${ORBELT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Every program and the add-in need nothing beyond the system's DLLs.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test programs run under Wine, in the build's own Wine prefix.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run.sh)
