#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every
# test, builds and runs the sample (scripts/sample.sh), then cross-builds the Windows
# in-process server and runs its tests under Wine (scripts/com.sh). QUILLARY_JOBS limits
# the parallel jobs (default: the number of processors).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=build/sanitize
jobs=${QUILLARY_JOBS:-$(nproc)}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLARY_SANITIZE=ON >/dev/null
ninja -C "$build" -j "$jobs"
ctest --test-dir "$build" --output-on-failure -j "$jobs"
# The README's first command: the optimised build (whose warnings differ) and the sample.
scripts/sample.sh >/dev/null
# The in-process server for Windows and its tests under Wine.
QUILLARY_JOBS=$jobs scripts/com.sh
