# REDUCE Rows to One and EXPAND Row to Many on the bill of materials of samples/bom,
# in which a part spans several rows (the Indented style: a part begins where the first
# column holds its number).
#
#   quillary run samples/bom.qs [OUTPUT-FOLDER]
#
# Run from the project folder; the workbook with both result sheets is saved to
# OUTPUT-FOLDER (default: bom-out).

load samples/bom
set MainUserForm.CheckBox1.Value True  # IgnoreIndex#
set MainUserForm.CheckBox3.Value True  # Sort: the joined designators are sorted

# One row per part: the designators of each part joined and sorted in its RefDes cell,
# the other rows folded into the part's cells line by line. A second area marks the
# column to join, as the user's Ctrl-click does: WholeColRow makes that cell the bolded
# one.
select A2:D10,C2
call WholeColRow "REDUCE Rows to One"
answer bigmsg OK                       # the Indented style
answer message No Cancel               # no page set-up; the windows stay as they are
call Actions "REDUCE Rows to One"
print cells Bom-Reduced1!B2:E7

# ... and back: one row per designator, with the part's other cells beside it.
sheet Bom-Reduced1
select B3:E7,D3
call WholeColRow "EXPAND Row to Many"
answer bigmsg OK
answer message No Cancel
call Actions "EXPAND Row to Many"
print cells Bom-Reduced1-Expanded1!B2:E15

save ${1:-bom-out}
