# Cross-builds for 64-bit Windows with Debian's mingw-w64 (posix threads):
#   cmake -S . -B build/mingw64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUILLARY_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${QUILLARY_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${QUILLARY_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${QUILLARY_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${QUILLARY_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# Wine's 64-bit loader runs the tests built for this target (Debian's `wine` starts the
# 32-bit loader whenever it is installed, which not every kernel runs).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
