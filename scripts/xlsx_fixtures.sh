#!/usr/bin/env bash
# An xlsx workbook that LibreOffice Calc wrote, holding what spreadsheet files hold beyond
# cells (the workbook of cli/tests/xlsx_features.py, converted by LibreOffice: a table,
# a chart, a picture, data validation, a conditional format, fonts, outline levels, a tab
# colour, comments, a hidden sheet, a defined name, merged cells, number formats, column
# widths; LibreOffice itself drops the frozen pane, the zoom, the hidden gridlines and the
# theme fill of the file it converts: a note names each feature it changed), run through quillary: a Get/Try
# that tags the duplicated names, saved over the file and, from the same file, to
# another name. Each save must go on; openpyxl must read every feature of the saved file
# as it reads it in LibreOffice's file, and the tags; every part of the package the save
# does not rewrite (xlsx_features.py names those) must be the same bytes; a save to
# another name must leave the original as it was; and LibreOffice must open the saved
# file: its sheets, as CSV, are those of LibreOffice's file with the tags added.
# Not one of the tests (LibreOffice is slow to start); installs libreoffice-calc-nogui,
# python3-openpyxl and python3-pil when they are missing.
#
#   scripts/xlsx_fixtures.sh [QUILLARY]    (default build/release/cli/quillary)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
quillary=$(realpath "${1:-build/release/cli/quillary}")
python=/usr/bin/python3
if ! command -v soffice >/dev/null || ! "$python" -c 'import openpyxl, PIL' 2>/dev/null; then
  apt-get install -y --no-install-recommends libreoffice-calc-nogui python3-openpyxl python3-pil
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$out"
export PYTHONPATH=$root/cli/tests

# LibreOffice with a profile of its own, so that it runs beside any other instance.
soffice() { command soffice "-env:UserInstallation=file://$out/profile" --headless --calc "$@" >/dev/null 2>&1; }

"$python" -m xlsx_features make source.xlsx
soffice --convert-to xlsx --outdir lo source.xlsx
cp lo/source.xlsx original.xlsx
"$python" - <<'PY'
import xlsx_features as f
source, lo = f.read("source.xlsx"), f.read("original.xlsx")
for name, value in lo.items():
    if value != source[name]:
        print("note: LibreOffice's file has %s %s, not %s as openpyxl wrote it" % (name, value, source[name]))
PY

# Every sheet of NAME.xlsx as LibreOffice reads it: csv-NAME/NAME-SHEET.csv.
as_csv() {
  soffice --convert-to 'csv:Text - txt - csv (StarCalc):44,34,76,1,,0,false,true,false,false,false,-1' \
    --outdir "csv-$1" "$1.xlsx"
}
as_csv original

status=0
for how in over copy; do
  cp original.xlsx book.xlsx
  if [[ $how == over ]]; then save=(--save) saved=book; else save=(--save-to "$out/copy.xlsx") saved=copy; fi
  if ! "$quillary" get "$out/book.xlsx" 'Parts!A2:A9' --ignore-index --sort --tag-duplicates \
    --set CompDupUserForm.LocatorLabel.Value=True --answer compare=UseNew "${save[@]}" >"$how.out" 2>"$how.err"; then
    echo "FAIL: the save $how failed:"; cat "$how.err"; status=1; continue
  fi
  [[ $how == copy ]] && ! cmp -s book.xlsx original.xlsx && { echo "FAIL: the save to another name changed the original"; status=1; }
  as_csv "$saved"
  "$python" - "$saved" "$how" <<'PY' || status=1
import csv, sys
import xlsx_features as f

saved, how = sys.argv[1], sys.argv[2]
failures = []
lo, got = f.read("original.xlsx"), f.read(saved + ".xlsx")
tags = ["Tag"] + [n if f.NAMES.count(n) > 1 else None for n in f.NAMES]
for name, value in lo.items():
    wanted = str(tags) if name == "tags" else value
    if got[name] != wanted:
        failures.append("%s: %s, not %s" % (name, got[name], wanted))
lost = f.changed("original.xlsx", saved + ".xlsx")
if lost:
    failures.append("parts changed or missing: %s" % lost)


def sheets(name):
    def rows(sheet):
        try:
            with open("csv-%s/%s-%s.csv" % (name, name, sheet), newline="") as file:
                return list(csv.reader(file))
        except OSError:
            return None
    return {sheet: rows(sheet) for sheet in ("Parts", "Notes", "Hidden")}


wanted, opened = sheets("original"), sheets(saved)
for i, tag in enumerate(tags):
    wanted["Parts"][i][1] = tag or ""
for sheet, rows in wanted.items():
    if opened[sheet] != rows:
        failures.append("LibreOffice reads sheet %s of the saved file as %s, not %s" % (sheet, opened[sheet], rows))
for failure in failures:
    print("FAIL (save %s): %s" % (how, failure))
sys.exit(1 if failures else 0)
PY
done
[[ $status == 0 ]] && echo "xlsx_fixtures: the LibreOffice workbook lost nothing, saved over and to another name"
exit $status
