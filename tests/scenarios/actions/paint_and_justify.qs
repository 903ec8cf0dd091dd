# "PAINT TABLE Format" asks on the big message form; OK paints a bordered, wrapped,
# top-aligned table with fitted columns (at most 60 wide, empty ones 1), OK NoTextWrap
# the same without wrapping, Cancel nothing. The justify actions close the gaps at one
# end of each row; a merged cell in a row that must move stops the action first.
new
cell A1 short
cell text A2 "a text of more than sixty characters, which the column width is cut back to"
cell B1 b
cell C9 "outside the selection"
merge B2:C2
select A1:C3
answer bigmsg Cancel
call Actions "PAINT TABLE Format"
print merges
answer bigmsg OK
call Actions "PAINT TABLE Format"
print merges
print widths A1:C1
print formats A1:C3
answer bigmsg Option
call Actions "PAINT TABLE Format"
print formats A1:A1

new
cell D1 a
cell text D2 b
cell text E2 c
cell E3 d
cell H3 e
select D1:H3
merge E2:F2
answer message OK
call Actions "Columns|| Justify Right"
print cells D1:H3
print selection
select D3:H3
call Actions "Columns|| Justify Left"
print cells D3:H3
#### expected output
$B$2:$C$2
A	60
B	1.71
C	1
A1	valign=top wrap border-left=thin border-top=thin border-bottom=thin border-right=thin
B1	valign=top wrap border-left=thin border-top=thin border-bottom=thin border-right=thin
C1	valign=top wrap border-left=thin border-top=thin border-bottom=thin border-right=thin
A2	valign=top wrap border-left=thin border-top=thin border-bottom=thin border-right=thin
B2	valign=top wrap border-left=thin border-top=thin border-bottom=thin border-right=thin
C2	valign=top wrap border-left=thin border-top=thin border-bottom=thin border-right=thin
A3	valign=top wrap border-left=thin border-top=thin border-bottom=thin border-right=thin
B3	valign=top wrap border-left=thin border-top=thin border-bottom=thin border-right=thin
C3	valign=top wrap border-left=thin border-top=thin border-bottom=thin border-right=thin
A1	valign=top border-left=thin border-top=thin border-bottom=thin border-right=thin
				a
b	c			
	d			e
Sheet1	$D$1:$H$3	$F$2
d			e	
#### expected errors
quillary: big message [OK]* [Option "OK NoTextWrap"] [Cancel]
  "PAINT TABLE Format" has been initiated.   OK To PAINT Formatting?    Excel's Undo will not revert this!

  For each cell selected, this Action will; paint Borders around, Align text to the Top, auto-Size.
  OK: the selected cells will auto-Wrap their text.
  OK NoTextWrap: the selected cells will NOT wrap their text.

  Row Heights will be auto-sized to fit tallest cell of the row.
  Column Widths will be auto-sized to fit the longest text within the selection.
  Column widths will be reduced to 60 if wider.
  Merged cells within the selection will be unmerged.
  Text can also be unwrapped with the Action "Wrap Text: Clear".
quillary: answered Cancel (queued)
quillary: big message [OK]* [Option "OK NoTextWrap"] [Cancel]
  "PAINT TABLE Format" has been initiated.   OK To PAINT Formatting?    Excel's Undo will not revert this!

  For each cell selected, this Action will; paint Borders around, Align text to the Top, auto-Size.
  OK: the selected cells will auto-Wrap their text.
  OK NoTextWrap: the selected cells will NOT wrap their text.

  Row Heights will be auto-sized to fit tallest cell of the row.
  Column Widths will be auto-sized to fit the longest text within the selection.
  Column widths will be reduced to 60 if wider.
  Merged cells within the selection will be unmerged.
  Text can also be unwrapped with the Action "Wrap Text: Clear".
quillary: answered OK (queued)
quillary: big message [OK]* [Option "OK NoTextWrap"] [Cancel]
  "PAINT TABLE Format" has been initiated.   OK To PAINT Formatting?    Excel's Undo will not revert this!

  For each cell selected, this Action will; paint Borders around, Align text to the Top, auto-Size.
  OK: the selected cells will auto-Wrap their text.
  OK NoTextWrap: the selected cells will NOT wrap their text.

  Row Heights will be auto-sized to fit tallest cell of the row.
  Column Widths will be auto-sized to fit the longest text within the selection.
  Column widths will be reduced to 60 if wider.
  Merged cells within the selection will be unmerged.
  Text can also be unwrapped with the Action "Wrap Text: Clear".
quillary: answered Option (queued)
quillary: message (information) [OK]
  ( Columns|| Justify Right ): There is a merged cell within your selection. This process will not shift merged cells.

  This action has aborted.

  Please unmerge the offending cell. Consider umerging all cells. Quillary's "PAINT TABLE Format" action will unmerge cells.
quillary: answered OK (queued)
