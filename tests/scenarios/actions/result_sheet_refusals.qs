# The actions that add a result sheet are refused in a workbook whose structure is
# protected; a one-column REDUCE and an output block beyond the sheet's last column are
# refused with their messages. Nothing is written. (The working sheet is made before the
# workbook is protected: with a protected structure it could not be added.)
new
call InitPlace
cell A1:B2 x
select A1:B2
protect workbook
call Actions "REDUCE Rows to One"
unprotect workbook
select A1:A2
call Actions "REDUCE Rows to One"
cell XFD1 "Smith John"
select XFD1
call Actions "LastWord First w/Filter"
print sheets
#### expected output
Quillary3016000000	2 (very hidden)
Sheet1	-1 (visible)	active
#### expected errors
quillary: message (information) [OK]
  ( REDUCE Rows to One ): This WorkBook is Protected. This Action requires that a New WorkSheet be added to the workbook.

  This Action will NOT execute.
quillary: answered OK (default)
quillary: message (information) [OK]
  ( REDUCE Rows to One ): Only one column is selected.

  This action's usefulness is very limited when only one column is selected. Select at least two columns (even if the second one is empty).

  With the Indented style a new part starts at each non-empty cell of the first column; with the Name Change style a new part starts at each cell of the first column that differs from the one above it.

  Columns to the right of the first one should hold information about each part. Multiple rows can be used per part.

  Please make another Selection which includes multiple columns.
quillary: answered OK (default)
quillary: message (information) [OK]
  ( LastWord First w/Filter ): The output results would be pasted into the same amount of empty cells to the right of your selection as there are in your selection.

  But there are only 16384 columns in the worksheet and this action would try to use out to 16385 columns. This is not possible.
quillary: answered OK (default)
