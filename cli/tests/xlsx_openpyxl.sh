#!/usr/bin/env bash
# Runs the xlsx scenario with QUILLARY into a fresh folder and opens the workbook it
# saved with openpyxl (xlsx_openpyxl_check.py). Run from the project folder.
#
#   cli/tests/xlsx_openpyxl.sh QUILLARY
set -uo pipefail
quillary=$1
here=$(dirname "$0")
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# Debian's own Python, which python3-openpyxl installs into, before any other.
python=python3
[[ -x /usr/bin/python3 ]] && python=/usr/bin/python3
"$quillary" run tests/scenarios/xlsx/tag_duplicates_reopened.qs "$out" >/dev/null 2>&1 || {
  echo "the scenario failed"
  exit 1
}
"$python" "$here/xlsx_openpyxl_check.py" "$out/b.xlsx"
