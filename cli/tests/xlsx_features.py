"""A workbook holding what spreadsheet files hold beyond cells, made with openpyxl, and
what openpyxl reads of each of those features in a workbook saved from it: the fixture
of cli/tests/xlsx_keeps_test.cpp and scripts/xlsx_fixtures.sh.

    python3 xlsx_features.py make FILE          the workbook (below)
    python3 xlsx_features.py read FILE          each feature: its name, a tab, its value
    python3 xlsx_features.py changed OLD NEW [PART...]
                                                the parts of OLD that NEW lacks or holds
                                                other bytes of, but for those a save of a
                                                tagged sheet 1 rewrites and the PARTs

The workbook: a sheet "Parts" holding names in A2:A9 (R1, C2 and U3 twice) beside an
empty column B headed "Tag", with a frozen pane, a zoom, hidden gridlines, a table, a
chart, a picture, data validation, a conditional format, a font of its own, outline
levels, a tab colour, a theme-coloured fill, a comment, merged cells, number formats,
dates, a column width, a column style and an array formula; a sheet "Notes" with a comment, a hidden sheet "Hidden" and a
defined name "Counts"."""
import datetime
import io
import sys
import zipfile

import openpyxl

NAMES = ["R1", "C2", "R1", "U3", "C2", "D4", "Q5", "U3"]


def make(path):
    from PIL import Image as Picture
    from openpyxl.chart import BarChart, Reference
    from openpyxl.comments import Comment
    from openpyxl.drawing.image import Image
    from openpyxl.formatting.rule import CellIsRule
    from openpyxl.styles import Font, PatternFill
    from openpyxl.styles.colors import Color
    from openpyxl.workbook.defined_name import DefinedName
    from openpyxl.worksheet.datavalidation import DataValidation
    from openpyxl.worksheet.table import Table

    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Parts"
    ws.append(["Name", "Tag", "Count", "Date"])
    for i, name in enumerate(NAMES):
        ws.append([name, None, i, datetime.date(2024, 1, 1 + i)])
    ws.freeze_panes = "A2"
    ws.sheet_view.zoomScale = 150
    ws.sheet_view.showGridLines = False
    ws.sheet_properties.tabColor = "1072BA"
    ws.row_dimensions[3].outlineLevel = 1
    ws.column_dimensions["D"].outlineLevel = 1
    ws.column_dimensions["A"].width = 30
    ws.column_dimensions["E"].font = Font(italic=True)
    ws["K2"] = "=C2:C3*2"
    ws.formula_attributes["K2"] = {"t": "array", "ref": "K2:K3"}
    ws["A1"].fill = PatternFill("solid", fgColor=Color(theme=4, tint=0.4))
    ws["C1"].font = Font(name="Courier New", size=14, italic=True, strike=True)
    for r in range(2, 10):
        ws.cell(r, 3).number_format = "0.00"
        ws.cell(r, 4).number_format = "yyyy-mm-dd"
    ws["C1"].comment = Comment("Counts from stock", "Stores")
    ws["F1"] = "Merged heading"
    ws.merge_cells("F1:G1")
    dv = DataValidation(type="whole", operator="between", formula1="0", formula2="100")
    dv.add("C2:C9")
    ws.add_data_validation(dv)
    ws.conditional_formatting.add(
        "C2:C9", CellIsRule(operator="greaterThan", formula=["4"], fill=PatternFill("solid", fgColor="FF0000")))
    ws.add_table(Table(displayName="PartList", ref="A1:D9"))
    chart = BarChart()
    chart.add_data(Reference(ws, min_col=3, min_row=1, max_row=9), titles_from_data=True)
    ws.add_chart(chart, "I2")
    png = io.BytesIO()
    Picture.new("RGB", (4, 4), (200, 30, 30)).save(png, "PNG")
    ws.add_image(Image(png), "I20")
    notes = wb.create_sheet("Notes")
    notes["A1"] = "kept"
    notes["A1"].comment = Comment("A note elsewhere", "Stores")
    hidden = wb.create_sheet("Hidden")
    hidden["A1"] = "secret"
    hidden.sheet_state = "hidden"
    wb.defined_names.append(DefinedName("Counts", attr_text="Parts!$C$2:$C$9"))
    wb.save(path)


# Each feature as openpyxl reads it from `wb`, the workbook, and `ws`, its sheet "Parts".
FEATURES = {
    "names": lambda wb, ws: [ws.cell(r, 1).value for r in range(1, 10)],
    "tags": lambda wb, ws: [ws.cell(r, 2).value for r in range(1, 10)],
    "frozen pane": lambda wb, ws: ws.freeze_panes,
    "zoom": lambda wb, ws: ws.sheet_view.zoomScale,
    "hidden gridlines": lambda wb, ws: ws.sheet_view.showGridLines,
    "table": lambda wb, ws: [(t.displayName, t.ref) for t in ws.tables.values()],
    "chart": lambda wb, ws: [s.val.numRef.f for c in ws._charts for s in c.series],
    "picture": lambda wb, ws: [(i.width, i.height) for i in ws._images],
    "data validation": lambda wb, ws: [(d.type, d.operator, str(d.sqref), d.formula1, d.formula2)
                                       for d in ws.data_validations.dataValidation],
    "conditional format": lambda wb, ws: [(str(f.sqref), r.type, r.operator, r.formula, r.dxf.fill.fgColor.rgb)
                                          for f in ws.conditional_formatting for r in f.rules],
    "font": lambda wb, ws: (ws["C1"].font.name, ws["C1"].font.sz, ws["C1"].font.i, ws["C1"].font.strike),
    "outline levels": lambda wb, ws: (ws.row_dimensions[3].outlineLevel, ws.column_dimensions["D"].outlineLevel),
    "tab colour": lambda wb, ws: ws.sheet_properties.tabColor.rgb,
    "theme fill": lambda wb, ws: (ws["A1"].fill.fill_type, ws["A1"].fill.fgColor.theme, ws["A1"].fill.fgColor.tint),
    "comments": lambda wb, ws: (ws["C1"].comment.text, wb["Notes"]["A1"].comment.text),
    "hidden sheet": lambda wb, ws: (wb["Hidden"].sheet_state, wb["Hidden"]["A1"].value),
    "defined names": lambda wb, ws: [(d.name, d.attr_text) for d in wb.defined_names.definedName
                                     if d.name == "Counts"],
    "merged cells": lambda wb, ws: [str(r) for r in ws.merged_cells.ranges],
    "number formats": lambda wb, ws: (ws["C2"].number_format, ws["D2"].number_format),
    "dates": lambda wb, ws: [ws.cell(r, 4).value.date().isoformat() for r in (2, 9)],
    "column width": lambda wb, ws: round(ws.column_dimensions["A"].width, 2),
    "column style": lambda wb, ws: ws.column_dimensions["E"].font.i,
    "array formula": lambda wb, ws: (ws["K2"].value, ws.formula_attributes.get("K2")),
}


def read(path):
    """Each feature of the workbook at `path` as text, by name; a feature that cannot be
    read gives the error it raised."""
    wb = openpyxl.load_workbook(path)
    values = {}
    for name, feature in FEATURES.items():
        try:
            values[name] = str(feature(wb, wb["Parts"]))
        except Exception as e:
            values[name] = "error: %r" % e
    return values


# What a save of a workbook whose first sheet was tagged rewrites.
REWRITTEN = {"xl/workbook.xml", "xl/_rels/workbook.xml.rels", "[Content_Types].xml", "xl/styles.xml",
             "xl/sharedStrings.xml", "docProps/app.xml", "docProps/core.xml", "xl/worksheets/sheet1.xml"}


def changed(old, new, rewritten=()):
    before, after = zipfile.ZipFile(old), zipfile.ZipFile(new)
    kept, rewritten = set(after.namelist()), REWRITTEN.union(rewritten)
    return [n for n in before.namelist()
            if n not in rewritten and (n not in kept or before.read(n) != after.read(n))]


if __name__ == "__main__":
    command, files = sys.argv[1], sys.argv[2:]
    if command == "make":
        make(files[0])
    elif command == "read":
        for name, value in read(files[0]).items():
            print("%s\t%s" % (name, value))
    elif command == "changed":
        print(changed(files[0], files[1], files[2:]))
    else:
        sys.exit("unknown command " + command)
