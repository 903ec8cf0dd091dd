# Cross-builds for 64-bit Windows with Debian's mingw-w64 (posix threads):
#   cmake -S . -B build/mingw64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(QUILLARY_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# Wine's 64-bit loader runs the tests built for this target (Debian's `wine` starts the
# 32-bit loader whenever it is installed, which not every kernel runs).
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine64)
