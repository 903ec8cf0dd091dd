# A bill of materials reduced to one row per part (the designators joined and sorted
# by the block engine, the other rows folded into the part's cells), then expanded
# back to one row per designator; both result sheets saved with the workbook.
load samples/bom
set MainUserForm.CheckBox1.Value True
select A2:D10,C2
call WholeColRow "REDUCE Rows to One"
answer bigmsg OK
answer message Yes No Cancel
call Actions "REDUCE Rows to One"
print cells Bom-Reduced1!A2:E7
print control MainUserForm.CheckBox3.Value
sheet Bom-Reduced1
select B3:E7,D3
call WholeColRow "EXPAND Row to Many"
answer bigmsg OK
answer message No Cancel
call Actions "EXPAND Row to Many"
print cells Bom-Reduced1-Expanded1!B2:E15
save ${1}/out
load ${1}/out
print sheets
#### expected output
			Reference	
1	P100	Resistor 10k\n0603 1%	R1,R2,R5-R7	5
2	P200	Capacitor 100nF	C1,C2,C3,C4	4
3	P300	Microcontroller\nTQFP-32	U1	1
4	P400	LED red\nSMD 0805	D1,D2	2
5	P500	Connector	J1,J2	2
True
		Reference	
P100	Resistor 10k\n0603 1%	R1	5
P100	Resistor 10k\n0603 1%	R2	5
P100	Resistor 10k\n0603 1%	R5-R7	5
P200	Capacitor 100nF	C1	4
P200	Capacitor 100nF	C2	4
P200	Capacitor 100nF	C3	4
P200	Capacitor 100nF	C4	4
P300	Microcontroller\nTQFP-32	U1	1
P400	LED red\nSMD 0805	D1	2
P400	LED red\nSMD 0805	D2	2
P500	Connector	J1	2
P500	Connector	J2	2
			
Quillary3016000000	2 (very hidden)
Bom	-1 (visible)
Bom-Reduced1	-1 (visible)
Bom-Reduced1-Expanded1	-1 (visible)	active
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
quillary: answered Yes (queued)
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
quillary: big message [OK]* [Cancel]
  "EXPAND Row to Many" has been initiated.   OK To EXPAND Rows?
  The original list will remain intact and a new sheet will be added.

  This will put each comma delimited Item into a row of its own together with any other information in the original row within the selection. This is nearly the reverse of Quillary's REDUCE Rows to One.

  If there is NO BOLDED cell within the selection, multiple Items within cells of the FIRST SELECTED COLUMN WILL BE EXPANDED into their own row. The expanded Items will be in the first column of the resulting output table.

  If there is a SINGLE BOLDED cell within the selection, multiple Items within cells of THAT COLUMN WILL BE EXPANDED into their own row. The expanded Items will be in the same relative column in the resulting output table as in the original input list.
  |||||||||||||||||||||||
  NOTE
  To properly expand hyphenated Indexed Items into multiple rows, you must first expand the Indexed Items within their respective cells. Insert a column next to them and use the paste buttons Paste > or Paste V to make a column of single Index Items without hyphens, then expand that column.
  _______________________
  TIPS
  Consider whether there might be advantages to re-arranging the columns prior to applying this action.
  To rearrange columns (in the original input or in the output results), Right-click the column identifier, choose Cut, then Right-click the column identifier where it should go and choose Insert Cut Cells.

  FOR NETLISTS: If you bold a cell containing the Nodes of a NetName and select the NetName and Node columns, you can use "EXPAND Row to Many" to put each node on it's own row along with its NetName. Do this for two netlist revisions and then use Quillary's "COMPARE 2/Uniques" Action to identify precisely which nodes have been modified between revisions. Nets can also be compared whole, one row per net, after using Quillary's "Netlist Cnvrt:Telesis" without Expanding them. A quick Summary Report can be generated highlighting all modified nets. After you sort the Summary Report primarily on the NetName and secondarily on the Tag, the old and new lines appear one over the other. When the changed nodes of a net are hard to see, expand the Nodes and compare again.
quillary: answered OK (queued)
quillary: message [Yes]* [No]
  [Report Page Setup?]( EXPAND Row to Many ): Translation Complete. Apply default Printer Page_Setup?

  The new output results table is highlighted. The original input list is intact on its original sheet behind the new small window.

  To join multiple columns of cells in the new table, first rearrange them to be grouped together if necessary. Then select the group on a single row and use Paste_V.

  All numbers in the output results table have been converted to Text Numbers. To convert them to Number Values, use Quillary's NUMBER Values.
  To clean up commas and spaces to reduce fault messages, use Quillary's Comma Space||  Set.
  To clean up missing prefixes for reference designators, use Quillary's Prefix||  Set.
  To remove prefixes after processing, use Quillary's Prefix||  Clear.

  Choose YES to apply Quillary's default Printer Page_Setup. Choose NO if there might be printer problems.
quillary: answered No (queued)
quillary: message [Yes] [No]* [Cancel]
  [Report View?]( EXPAND Row to Many ): How would you like to arrange the Original Input List and the Output Results List for viewing?

  Don't Ask Again: To have your viewing choice applied every time Quillary creates a new sheet without displaying this dialog box. Use Quillary's Tools action to re-display this dialog box.

  Side-By-Side: Puts the source list and the translated list into Excel's side-by-side mode to examine both the original sheet and the output results sheet 

  Maximize: Maximizes the new smaller Excel window. 
  Keep Small Window: To leave the windows as presently displayed.

  If you already have multiple Excel windows open, you might want to minimize some of them and then use Excel's menu to re-assert Window>Arrange>Veritcal or Horizontal.
quillary: answered Cancel (queued)
