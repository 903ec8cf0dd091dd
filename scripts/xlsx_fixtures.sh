#!/usr/bin/env bash
# An xlsx workbook that LibreOffice Calc wrote, holding much that quillary's workbook does
# not model (a table, data validation, a conditional format, a tab colour, outline
# levels, a chart, a frozen pane, a comment, italic and sized fonts, a hidden sheet, a
# defined name), run through quillary: a Get/Try with tagging saved over the file goes
# on, and openpyxl finds every feature still there and the tags written. Not one of the
# tests (LibreOffice is slow to start); installs libreoffice-calc-nogui and
# python3-openpyxl when they are missing.
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
from openpyxl.comments import Comment
from openpyxl.formatting.rule import CellIsRule
from openpyxl.styles import Font, PatternFill
from openpyxl.workbook.defined_name import DefinedName
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
ws["C1"].comment = Comment("counted by hand", "me")
ws["A2"].font = Font(italic=True, size=14)
wb.create_sheet("Hidden").sheet_state = "hidden"
wb.defined_names.append(DefinedName("Names", attr_text="Parts!$A$2:$A$9"))
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
"$python" - <<'PY' >features.before
import openpyxl
wb = openpyxl.load_workbook("book.xlsx")
ws = wb["Parts"]
print(ws.freeze_panes, ws.sheet_properties.tabColor is not None, ws.row_dimensions[3].outlineLevel)
print(list(ws.tables), len(ws._charts), len(ws.data_validations.dataValidation), len(ws.conditional_formatting))
print(ws["C1"].comment is not None, ws["A2"].font.i, ws["A2"].font.sz, wb["Hidden"].sheet_state)
print("Names" in [n.name for n in wb.defined_names.definedName])  # the run adds names of its own
PY
if ! "$quillary" run tag.qs "$out" "$out/book.xlsx" >over.out 2>over.err; then
  echo "FAIL: the save over the LibreOffice file failed:"; cat over.err; status=1
fi
# The features as openpyxl reads them, before and after: the same.
"$python" - <<'PY' >features.after || status=1
import openpyxl
wb = openpyxl.load_workbook("book.xlsx")
ws = wb["Parts"]
print(ws.freeze_panes, ws.sheet_properties.tabColor is not None, ws.row_dimensions[3].outlineLevel)
print(list(ws.tables), len(ws._charts), len(ws.data_validations.dataValidation), len(ws.conditional_formatting))
print(ws["C1"].comment is not None, ws["A2"].font.i, ws["A2"].font.sz, wb["Hidden"].sheet_state)
print("Names" in [n.name for n in wb.defined_names.definedName])  # the run adds names of its own
PY
if ! cmp -s features.before features.after; then
  echo "FAIL: features changed by the save:"; diff features.before features.after; status=1
fi
"$python" - <<'PY' || status=1
import openpyxl
ws = openpyxl.load_workbook("book.xlsx")["Parts"]
names = [ws.cell(r, 1).value for r in range(2, 10)]
tags = [ws.cell(r, 2).value for r in range(2, 10)]
assert names == ["R1", "C2", "R1", "U3", "C2", "D4", "Q5", "U3"], names
assert all(t for n, t in zip(names, tags) if names.count(n) > 1), tags
print("book.xlsx: names and tags as expected")
PY
[[ $status == 0 ]] && echo "xlsx_fixtures: the LibreOffice workbook lost nothing" && cat features.after
exit $status
