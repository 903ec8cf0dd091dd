#!/usr/bin/env bash
# Builds everything with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
build=build/sanitize
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DQUILLARY_SANITIZE=ON >/dev/null
ninja -C "$build"
ctest --test-dir "$build" --output-on-failure -j "$(nproc)"
