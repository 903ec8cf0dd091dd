"""Opens an xlsx workbook that quillary saved with openpyxl, a reader of its own, and
checks what the scenario tests/scenarios/xlsx/tag_duplicates_reopened.qs left in it:
values, tags, colours, comments, names and the very hidden working sheet.

    python3 xlsx_openpyxl_check.py FILE

Exits 0 when everything is there, 1 naming what is not, 77 when openpyxl is missing."""
import sys

try:
    import openpyxl
except ImportError:
    print("SKIPPED: python3-openpyxl is not installed (scripts/setup.sh installs it)")
    sys.exit(77)

failures = []


def expect(what, got, wanted):
    if got != wanted:
        failures.append(f"{what}: {got!r}, not {wanted!r}")


book = openpyxl.load_workbook(sys.argv[1])
expect("sheets", book.sheetnames, ["Quillary3016000000", "Revisions", "Names"])
expect("working sheet", book["Quillary3016000000"].sheet_state, "veryHidden")
expect("active sheet", book.active.title, "Names")
names = book["Names"]
expect("A1", names["A1"].value, "Part name")
expect("A2", names["A2"].value, "Resistor 10k")
expect("B2 (tag)", names["B2"].value, "Resistor 10k")
expect("B4 (no tag)", names["B4"].value, None)
expect("A7", names["A7"].value, "Capacitor 10uF, Capacitor 100nF")
# The duplicates are painted &H80FFFF (light yellow); the others are not.
for cell in ("A2", "A3", "A5", "A6", "A7", "A9", "B2", "B9"):
    expect(f"{cell} fill", (names[cell].fill.fill_type, names[cell].fill.fgColor.rgb), ("solid", "FFFFFF80"))
for cell in ("A4", "A8"):
    expect(f"{cell} fill", names[cell].fill.fill_type, None)
expect("A1 comment", names["A1"].comment and names["A1"].comment.text,
       "Names of the parts\nas the supplier lists them")
expect("B1 comment", names["B1"].comment and names["B1"].comment.text, "Tags go here")
expect("A2 comment", names["A2"].comment, None)
scoped = {(d.name, d.localSheetId): d.attr_text for d in book.defined_names.definedName}
expect("name unique1", scoped.get(("unique1", 0)), "Quillary3016000000!$A$1")
expect("name ExcelPaste", scoped.get(("ExcelPaste", 0)), "Quillary3016000000!$J$1")
expect("selection", names.sheet_view.selection[0].sqref, "A2:A9")
expect("active cell", names.sheet_view.selection[0].activeCell, "A3")

if failures:
    print("\n".join(failures))
    sys.exit(1)
print("openpyxl reads the workbook as saved")
