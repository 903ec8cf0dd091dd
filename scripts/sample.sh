#!/usr/bin/env bash
# Builds the quillary program (release, without tests) and runs the sample script on the
# sample workbook, saving the result to the folder given as the first argument (default:
# out/ in the project folder).
set -euo pipefail
cd "$(dirname "$0")/.."
output="${1:-out}"
build=build/release

echo "== Checking the build tools (scripts/setup.sh)"
scripts/setup.sh

echo "== Configuring a release build in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLARY_TESTS=OFF >/dev/null

echo "== Building quillary"
ninja -C "$build" quillary

echo "== Running: $build/cli/quillary run samples/initplace.qs $output"
"$build/cli/quillary" run samples/initplace.qs "$output"

echo "== Saved workbook in $output:"
ls -l "$output"
echo "== $output/workbook.txt:"
cat "$output/workbook.txt"
