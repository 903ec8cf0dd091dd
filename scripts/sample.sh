#!/usr/bin/env bash
# Builds the quillary program (release, without tests) and runs the main job, Get/Try, on
# the sample workbook samples/parts: three presses, each printing the Active Window text
# (standard output) and the count caption or fault (standard error). Then the parser
# splits the sample report samples/report into columns.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build/release

echo "== Checking the build tools (scripts/setup.sh)"
scripts/setup.sh

echo "== Configuring a release build in $build"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DQUILLARY_TESTS=OFF >/dev/null

echo "== Building quillary"
ninja -C "$build" quillary

quillary="$build/cli/quillary"
run() {
  echo
  echo "== quillary get $*"
  "$quillary" get "$@" 2>&1
}

# Reference designators of five rows, condensed into index ranges.
run samples/parts A2:A6 --comma-space
# All the rows: R2 is there twice, and the fault marks it.
run samples/parts A2:A12 --comma-space
# The part names as plain texts, sorted, with their duplicates summarised.
run samples/parts B2:B12 --ignore-index --sort --tag-duplicates

# The report's lines split at their commas onto a new sheet; the lines that begin with
# "#" (operand a) stay whole. The script, one line, is in samples/report.parse.
echo
echo "== quillary parse samples/report A1:A9 --script-file samples/report.parse --a #"
"$quillary" parse samples/report A1:A9 --script-file samples/report.parse --a "#" --unattended 2>/dev/null
