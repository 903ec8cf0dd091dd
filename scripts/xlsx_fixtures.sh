#!/usr/bin/env bash
# An xlsx workbook that LibreOffice Calc wrote, holding what quillary's writer cannot
# write (a table, data validation, a conditional format, a tab colour, outline levels,
# a chart; LibreOffice drops the frozen pane and the theme fill of the openpyxl file it
# converts), run through quillary: a Get/Try
# with tagging and a save over the file stops and leaves the file as it was, naming
# what it would lose; the same save to another name goes on with a note, and openpyxl
# reads the tags in the new file. Not one of the tests (LibreOffice is slow to start);
# installs libreoffice-calc-nogui and python3-openpyxl when they are missing.
#
#   scripts/xlsx_fixtures.sh [QUILLARY]    (default build/release/cli/quillary)
set -euo pipefail
quillary=$(realpath "${1:-build/release/cli/quillary}")
python=/usr/bin/python3
if ! command -v soffice >/dev/null || ! "$python" -c 'import openpyxl' 2>/dev/null; then
  apt-get install -y --no-install-recommends libreoffice-calc-nogui python3-openpyxl
fi
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
cd "$out"

# The source workbook by openpyxl, then written again by LibreOffice.
"$python" - <<'PY'
import openpyxl
from openpyxl.chart import BarChart, Reference
from openpyxl.formatting.rule import CellIsRule
from openpyxl.styles import PatternFill
from openpyxl.styles.colors import Color
from openpyxl.worksheet.datavalidation import DataValidation
from openpyxl.worksheet.table import Table
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Parts"
ws.append(["Name", "Tag", "Count"])
for i, name in enumerate(["R1", "C2", "R1", "U3", "C2", "D4", "Q5", "U3"]):
    ws.append([name, None, i])
ws.freeze_panes = "A2"
ws.sheet_properties.tabColor = "1072BA"
ws.row_dimensions[3].outlineLevel = 1
ws["A1"].fill = PatternFill("solid", fgColor=Color(theme=4))
dv = DataValidation(type="whole")
dv.add("C2:C9")
ws.add_data_validation(dv)
ws.conditional_formatting.add("C2:C9", CellIsRule(operator="greaterThan", formula=["4"], fill=PatternFill("solid", fgColor="FF0000")))
ws.add_table(Table(displayName="PartList", ref="A1:C9"))
chart = BarChart()
chart.add_data(Reference(ws, min_col=3, min_row=1, max_row=9))
ws.add_chart(chart, "E2")
wb.save("source.xlsx")
PY
mkdir lo
soffice --headless --calc --convert-to xlsx --outdir lo source.xlsx >/dev/null 2>&1
cp lo/source.xlsx book.xlsx
cp book.xlsx before.xlsx

cat >tag.qs <<'QS'
load ${1}/book.xlsx
sheet Parts
select A2:A9
set MainUserForm.CheckBox1.Value True
set MainUserForm.CheckBox3.Value True
set MainUserForm.CheckBox4.Value True
set CompDupUserForm.LocatorLabel.Value True
set CompDupUserForm.ColorLeftEnable.Value True
answer compare UseNew
call GetSubtractSortCnt
save ${2}
QS

status=0
if "$quillary" run tag.qs "$out" "$out/book.xlsx" >over.out 2>over.err; then
  echo "FAIL: the save over the LibreOffice file went on"; status=1
fi
cmp -s book.xlsx before.xlsx || { echo "FAIL: the LibreOffice file changed"; status=1; }
for lost in "tables" "charts" "outline levels (grouped rows or columns) (sheet 'Parts')" "data validation (sheet 'Parts')" \
  "conditional formats (sheet 'Parts')" "the tab colour (sheet 'Parts')"; do
  grep -qF "$lost" over.err || { echo "FAIL: the refusal does not name $lost"; status=1; }
done
if ! "$quillary" run tag.qs "$out" "$out/copy.xlsx" >copy.out 2>copy.err; then
  echo "FAIL: the save to another name failed:"; cat copy.err; status=1
fi
grep -qF "lacks what" copy.err || { echo "FAIL: no note of what the copy lacks"; status=1; }
"$python" - <<'PY' || status=1
import openpyxl
ws = openpyxl.load_workbook("copy.xlsx")["Parts"]
names = [ws.cell(r, 1).value for r in range(2, 10)]
tags = [ws.cell(r, 2).value for r in range(2, 10)]
assert names == ["R1", "C2", "R1", "U3", "C2", "D4", "Q5", "U3"], names
assert all(t for n, t in zip(names, tags) if names.count(n) > 1), tags
print("copy.xlsx: names and tags as expected")
PY
[[ $status == 0 ]] && echo "xlsx_fixtures: the LibreOffice workbook lost nothing"
exit $status
