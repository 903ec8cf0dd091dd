# The designators of each part begin on its second row (the bolded cell B2 lies one
# row below the first row of its record). In every style the first row keeps its
# cells, the designators are joined in the column after them and the later rows fold
# into the columns of the bold row; Indented and Name Change do not read the first
# column below a record's first row, After Empty Cell does (an empty column, left out).
new
cell text A1 P1
cell text B1 d1
cell text C1 x1
cell text B2 R1
cell text C2 y1
cell text B3 R2
cell text C3 y2
cell text A4 P2
cell text B4 d2
cell text C4 x2
cell text B5 C1
cell text C5 z1
set MainUserForm.CheckBox1.Value True

# Indented: a part begins at a non-empty first cell.
select A1:C5,B2
call WholeColRow "REDUCE Rows to One"
answer bigmsg OK
answer message No No Cancel
call Actions "REDUCE Rows to One"
print cells Sheet1-Reduced1!A3:F4

# After Empty Cell: a part begins at the first cell with content after an empty one.
sheet Sheet1
select A1:C5,B2
call WholeColRow "REDUCE Rows to One"
answer bigmsg Option2
answer message No No Cancel
call Actions "REDUCE Rows to One"
print cells Sheet1-Reduced2!A3:F4

# Name Change: the part name repeated down its rows.
sheet Sheet1
cell text A2 P1
cell text A3 P1
cell text A5 P2
select A1:C5,B2
call WholeColRow "REDUCE Rows to One"
answer bigmsg Option
answer message No No Cancel
call Actions "REDUCE Rows to One"
print cells Sheet1-Reduced3!A3:F4
#### expected output
1	P1	d1	x1	R1,R2	y1\ny2
2	P2	d2	x2	C1	z1
1	P1	d1	x1	R1,R2	y1\ny2
2	P2	d2	x2	C1	z1
1	P1	d1	x1	R1,R2	y1\ny2
2	P2	d2	x2	C1	z1
#### expected errors
quillary: big message [OK "Indented"]* [Option "Name Change"] [Option2 "After Empty Cell"] [Cancel]
  "REDUCE Rows to One" has been initiated.   REDUCE ROWS based on WHICH STYLE?

  The original list will remain intact and a new sheet will be added.

  1) AFTER EMPTY CELL:  A new Part/Record begins at the first cell holding content following an empty cell in the first column. Every row up to the next empty first cell belongs to it.

  2) NAME CHANGE:  A new Part/Record begins at a cell with changed content in the first column. Rows whose first cell repeats the one above belong to the same Part/Record.

  3) INDENTED: A new Part/Record begins at a non-empty cell in the first column. Rows with an empty first cell below it belong to the same Part/Record.

  |||||||||||||||||||||||

  GROUPING ITEMS INTO A SINGLE CELL and COLLAPSING LIST (Bold one Cell):

  Bold the cell of the first Part/Record that holds its first Items (e.g. Reference Designators). The Items of that column are joined into a single comma delimited cell for each Part/Record, and the other rows of each Part/Record are collapsed into the columns of the bolded row, one line per row, leaving out text that repeats the row above.

  _______________________

  COLLAPSE LIST ONLY (Bold one cell in first column):

  Bolding a cell in the first column collapses each Part/Record into a single row without joining Items: every column keeps one line per row.

  To list only unique rows, sort the list first and use the NAME CHANGE style with the bolded cell in the first column.

  A single cell can show about 30 collapsed lines; longer records are better split before they are reduced.

  TIPS

  Without a bolded cell the rows of each Part/Record are put side by side on one row.

  NOTE

  Entirely empty columns are omitted in the output result.
quillary: answered OK (queued)
quillary: message (information) [Yes] [No]* [Cancel]
  ( REDUCE Rows to One ): You have chosen to collapse your selection and combine Items into a single cell. But SORTING has not been enabled.

  To sort, use Quillary's IgnoreIndex# Mode along with the Sort option set.

  If the combined Items need sorting, it would be best to choose YES now (or else it would take a few extra steps later).

  Choose YES if you want to use Quillary's Sort Mode to combined Items within their single cells.

  Choose NO if you want to proceed without sorting combined Items.

  Choose CANCEL if you want to Abort this action.
quillary: answered No (queued)
quillary: message [Yes]* [No]
  [Report Page Setup?]( REDUCE Rows to One ): Translation Complete. Apply default Printer Page_Setup?

  The new output results table is highlighted. The original source data is intact on its original sheet behind the new small window.

  To join multiple columns of cells in the new table, first rearrange them to be grouped together if necessary. Then select the group on a single row and use Paste_V.

  All numbers in the output results table have been converted to Text Numbers. To convert them to Number Values, use Quillary's NUMBER Values.

  To clean up commas and spaces to reduce fault messages, use Quillary's Comma Space||  Set.

  To clean up missing prefixes for Items with Index Numbers (e.g. Reference Designators), use Quillary's Prefix||  Set.

  To remove prefixes after processing, use Quillary's Prefix||  Clear.

  Choose YES to apply Quillary's default Printer Page_Setup. Choose NO if there might be printer problems.
quillary: answered No (queued)
quillary: message [Yes] [No]* [Cancel]
  [Report View?]( REDUCE Rows to One ): How would you like to arrange the Original Input List and the Output Results List for viewing?

  Don't Ask Again: To have your viewing choice applied every time Quillary creates a new sheet without displaying this dialog box. Use Quillary's Tools action to re-display this dialog box.

  Side-By-Side: Puts the source list and the translated list into Excel's side-by-side mode to examine both the original sheet and the output results sheet 

  Maximize: Maximizes the new smaller Excel window. 
  Keep Small Window: To leave the windows as presently displayed.

  If you already have multiple Excel windows open, you might want to minimize some of them and then use Excel's menu to re-assert Window>Arrange>Veritcal or Horizontal.
quillary: answered Cancel (queued)
quillary: big message [OK "Indented"]* [Option "Name Change"] [Option2 "After Empty Cell"] [Cancel]
  "REDUCE Rows to One" has been initiated.   REDUCE ROWS based on WHICH STYLE?

  The original list will remain intact and a new sheet will be added.

  1) AFTER EMPTY CELL:  A new Part/Record begins at the first cell holding content following an empty cell in the first column. Every row up to the next empty first cell belongs to it.

  2) NAME CHANGE:  A new Part/Record begins at a cell with changed content in the first column. Rows whose first cell repeats the one above belong to the same Part/Record.

  3) INDENTED: A new Part/Record begins at a non-empty cell in the first column. Rows with an empty first cell below it belong to the same Part/Record.

  |||||||||||||||||||||||

  GROUPING ITEMS INTO A SINGLE CELL and COLLAPSING LIST (Bold one Cell):

  Bold the cell of the first Part/Record that holds its first Items (e.g. Reference Designators). The Items of that column are joined into a single comma delimited cell for each Part/Record, and the other rows of each Part/Record are collapsed into the columns of the bolded row, one line per row, leaving out text that repeats the row above.

  _______________________

  COLLAPSE LIST ONLY (Bold one cell in first column):

  Bolding a cell in the first column collapses each Part/Record into a single row without joining Items: every column keeps one line per row.

  To list only unique rows, sort the list first and use the NAME CHANGE style with the bolded cell in the first column.

  A single cell can show about 30 collapsed lines; longer records are better split before they are reduced.

  TIPS

  Without a bolded cell the rows of each Part/Record are put side by side on one row.

  NOTE

  Entirely empty columns are omitted in the output result.
quillary: answered Option2 (queued)
quillary: message (information) [Yes] [No]* [Cancel]
  ( REDUCE Rows to One ): You have chosen to collapse your selection and combine Items into a single cell. But SORTING has not been enabled.

  To sort, use Quillary's IgnoreIndex# Mode along with the Sort option set.

  If the combined Items need sorting, it would be best to choose YES now (or else it would take a few extra steps later).

  Choose YES if you want to use Quillary's Sort Mode to combined Items within their single cells.

  Choose NO if you want to proceed without sorting combined Items.

  Choose CANCEL if you want to Abort this action.
quillary: answered No (queued)
quillary: message [Yes]* [No]
  [Report Page Setup?]( REDUCE Rows to One ): Translation Complete. Apply default Printer Page_Setup?

  The new output results table is highlighted. The original source data is intact on its original sheet behind the new small window.

  To join multiple columns of cells in the new table, first rearrange them to be grouped together if necessary. Then select the group on a single row and use Paste_V.

  All numbers in the output results table have been converted to Text Numbers. To convert them to Number Values, use Quillary's NUMBER Values.

  To clean up commas and spaces to reduce fault messages, use Quillary's Comma Space||  Set.

  To clean up missing prefixes for Items with Index Numbers (e.g. Reference Designators), use Quillary's Prefix||  Set.

  To remove prefixes after processing, use Quillary's Prefix||  Clear.

  Choose YES to apply Quillary's default Printer Page_Setup. Choose NO if there might be printer problems.
quillary: answered No (queued)
quillary: message [Yes] [No]* [Cancel]
  [Report View?]( REDUCE Rows to One ): How would you like to arrange the Original Input List and the Output Results List for viewing?

  Don't Ask Again: To have your viewing choice applied every time Quillary creates a new sheet without displaying this dialog box. Use Quillary's Tools action to re-display this dialog box.

  Side-By-Side: Puts the source list and the translated list into Excel's side-by-side mode to examine both the original sheet and the output results sheet 

  Maximize: Maximizes the new smaller Excel window. 
  Keep Small Window: To leave the windows as presently displayed.

  If you already have multiple Excel windows open, you might want to minimize some of them and then use Excel's menu to re-assert Window>Arrange>Veritcal or Horizontal.
quillary: answered Cancel (queued)
quillary: big message [OK "Indented"]* [Option "Name Change"] [Option2 "After Empty Cell"] [Cancel]
  "REDUCE Rows to One" has been initiated.   REDUCE ROWS based on WHICH STYLE?

  The original list will remain intact and a new sheet will be added.

  1) AFTER EMPTY CELL:  A new Part/Record begins at the first cell holding content following an empty cell in the first column. Every row up to the next empty first cell belongs to it.

  2) NAME CHANGE:  A new Part/Record begins at a cell with changed content in the first column. Rows whose first cell repeats the one above belong to the same Part/Record.

  3) INDENTED: A new Part/Record begins at a non-empty cell in the first column. Rows with an empty first cell below it belong to the same Part/Record.

  |||||||||||||||||||||||

  GROUPING ITEMS INTO A SINGLE CELL and COLLAPSING LIST (Bold one Cell):

  Bold the cell of the first Part/Record that holds its first Items (e.g. Reference Designators). The Items of that column are joined into a single comma delimited cell for each Part/Record, and the other rows of each Part/Record are collapsed into the columns of the bolded row, one line per row, leaving out text that repeats the row above.

  _______________________

  COLLAPSE LIST ONLY (Bold one cell in first column):

  Bolding a cell in the first column collapses each Part/Record into a single row without joining Items: every column keeps one line per row.

  To list only unique rows, sort the list first and use the NAME CHANGE style with the bolded cell in the first column.

  A single cell can show about 30 collapsed lines; longer records are better split before they are reduced.

  TIPS

  Without a bolded cell the rows of each Part/Record are put side by side on one row.

  NOTE

  Entirely empty columns are omitted in the output result.
quillary: answered Option (queued)
quillary: message (information) [Yes] [No]* [Cancel]
  ( REDUCE Rows to One ): You have chosen to collapse your selection and combine Items into a single cell. But SORTING has not been enabled.

  To sort, use Quillary's IgnoreIndex# Mode along with the Sort option set.

  If the combined Items need sorting, it would be best to choose YES now (or else it would take a few extra steps later).

  Choose YES if you want to use Quillary's Sort Mode to combined Items within their single cells.

  Choose NO if you want to proceed without sorting combined Items.

  Choose CANCEL if you want to Abort this action.
quillary: answered No (queued)
quillary: message [Yes]* [No]
  [Report Page Setup?]( REDUCE Rows to One ): Translation Complete. Apply default Printer Page_Setup?

  The new output results table is highlighted. The original source data is intact on its original sheet behind the new small window.

  To join multiple columns of cells in the new table, first rearrange them to be grouped together if necessary. Then select the group on a single row and use Paste_V.

  All numbers in the output results table have been converted to Text Numbers. To convert them to Number Values, use Quillary's NUMBER Values.

  To clean up commas and spaces to reduce fault messages, use Quillary's Comma Space||  Set.

  To clean up missing prefixes for Items with Index Numbers (e.g. Reference Designators), use Quillary's Prefix||  Set.

  To remove prefixes after processing, use Quillary's Prefix||  Clear.

  Choose YES to apply Quillary's default Printer Page_Setup. Choose NO if there might be printer problems.
quillary: answered No (queued)
quillary: message [Yes] [No]* [Cancel]
  [Report View?]( REDUCE Rows to One ): How would you like to arrange the Original Input List and the Output Results List for viewing?

  Don't Ask Again: To have your viewing choice applied every time Quillary creates a new sheet without displaying this dialog box. Use Quillary's Tools action to re-display this dialog box.

  Side-By-Side: Puts the source list and the translated list into Excel's side-by-side mode to examine both the original sheet and the output results sheet 

  Maximize: Maximizes the new smaller Excel window. 
  Keep Small Window: To leave the windows as presently displayed.

  If you already have multiple Excel windows open, you might want to minimize some of them and then use Excel's menu to re-assert Window>Arrange>Veritcal or Horizontal.
quillary: answered Cancel (queued)
