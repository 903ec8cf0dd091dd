# Cross-builds for 32-bit Windows with Debian's mingw-w64 (posix threads):
#   cmake -S . -B build/mingw32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(QUILLARY_MINGW_TRIPLE i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-common.cmake)
# Wine's 32-bit loader runs the tests built for this target.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/lib/wine/wine)
