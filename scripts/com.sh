#!/usr/bin/env bash
# Cross-builds the in-process server (com/) and the core it is made of for Windows with
# mingw-w64, 64-bit and 32-bit, and runs its tests under Wine in a fresh prefix.
#
#   scripts/com.sh [x86_64|i686 ...]
#
# Each target builds in build/mingw-<arch> (cmake/mingw-w64-<arch>.cmake); the tests run
# through ctest there, with WINEPREFIX=build/wine (made afresh on every run, headless:
# the tests are console programs), WINEDEBUG=-all and the Mono and Gecko installers
# turned off. On a machine whose kernel does not run 32-bit programs
# (scripts/runs_i386.sh) the 32-bit target is built and only the checks of the built DLL
# run (com/tests/check_dll.sh: stripped, its version resource, its start-up registration
# of the unwind tables), with a line saying so. QUILLARY_JOBS limits the parallel jobs (default: the number of processors).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh com
jobs=${QUILLARY_JOBS:-$(nproc)}
arches=("$@")
((${#arches[@]})) || arches=(x86_64 i686)
runs_i386=1
scripts/runs_i386.sh || runs_i386=0

export WINEPREFIX=$PWD/build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEARCH=win64
unset DISPLAY
rm -rf "$WINEPREFIX"
mkdir -p "$WINEPREFIX"
/usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

for arch in "${arches[@]}"; do
  build=build/mingw-$arch
  echo "== $arch"
  cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLARY_TESTS=ON \
    -DCMAKE_TOOLCHAIN_FILE="cmake/mingw-w64-$arch.cmake" >/dev/null
  ninja -C "$build" -j "$jobs"
  if [[ $arch == i686 && $runs_i386 == 0 ]]; then
    echo "== i686 built; this machine's kernel does not run 32-bit programs: only the checks of the built DLL run"
    ctest --test-dir "$build" --output-on-failure -L built-file
    continue
  fi
  ctest --test-dir "$build" --output-on-failure -j 1
done
