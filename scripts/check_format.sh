#!/usr/bin/env bash
# Checks that clang-format (by .clang-format) would change nothing in the tracked C++
# sources: prints each place it would change and exits 1 when there is one. A file is
# laid out with `clang-format -i FILE`.
#
#   scripts/check_format.sh [FOLDER]      FOLDER: a git work tree (default: this project)
set -euo pipefail
cd "${1:-$(dirname "$0")/..}"
if ! command -v clang-format >/dev/null; then
  echo "format: clang-format is missing (scripts/setup.sh installs it)"
  exit 1
fi
files=()
while IFS= read -r -d '' file; do
  [[ -f $file ]] && files+=("$file")  # a tracked file deleted in the work tree is left out
done < <(git ls-files -z -- '*.h' '*.hpp' '*.c' '*.cc' '*.cpp')
if ((${#files[@]} == 0)); then
  echo "format: no tracked C++ source in $PWD"
  exit 1
fi
if ! printf '%s\0' "${files[@]}" | xargs -0 -n 16 -P "$(nproc)" clang-format --dry-run --Werror; then
  echo "format: clang-format would change the files above (clang-format -i FILE lays one out)"
  exit 1
fi
echo "format: ${#files[@]} tracked sources, each laid out as clang-format lays it out"
