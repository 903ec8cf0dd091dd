# On a sheet of 256 columns a line may hold 254 delimiters: the split is warned about
# (with 0 more than fit) and goes on. A line with 255 ends the run before it is
# written; the line before it stays, unsplit.
new small
cell text A1 "x,y"
cell text A2 ",,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,"
cell text A3 "z"
select A1:A2
set ParseForm.ParsingCtrlText.Value ,>o_
set MailBoxForm.Message.Caption $A$1:$A$2
answer message Cancel No Cancel
call Parser
print cells Sheet1-TxtToCol1!A1:C2
sheet Sheet1
cell text A2 ",,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,,"
set MailBoxForm.Message.Caption $A$1:$A$3
call Parser
print cells Sheet1-TxtToCol2!A1:A3
#### expected output
1	x	y
2		
x,y


#### expected errors
quillary: message [OK]* [Cancel]
  ( Null ): There are 0 more Output Delimiter characters within one row than there are worksheet columns available.

  You are attempting to use more columns than exist.

  Please change your ConvertText commands so that the amount of Output Delimiters within a single row do not exceed the column count - 2 (254).
quillary: answered Cancel (queued)
quillary: message [Yes]* [No]
  [Report Page Setup?](  ): Apply Quillary's default Printer Page_Setup?

  While using the print preview, try changing Portrait/Landscape and Fit To Pages Width/Tall.
  Choose NO if the worksheet has printer problems -- possibly due to a non-Excel generated worksheet.
quillary: answered No (queued)
quillary: message [Yes] [No]* [Cancel]
  [Report View?]( Null ): How would you like to arrange the Original Input List and the Output Results List for viewing?

  Don't Ask Again: To have your viewing choice applied every time Quillary creates a new sheet without displaying this dialog box. Use Quillary's Tools action to re-display this dialog box.

  Side-By-Side: Puts the source list and the translated list into Excel's side-by-side mode to examine both the original sheet and the output results sheet 

  Maximize: Maximizes the new smaller Excel window. 
  Keep Small Window: To leave the windows as presently displayed.

  If you already have multiple Excel windows open, you might want to minimize some of them and then use Excel's menu to re-assert Window>Arrange>Veritcal or Horizontal.
quillary: answered Cancel (queued)
quillary: message [OK]
  Your parsing commands created too many columns to fit in this version of Excel.

  Use the preview window to determine the issue. The the current results will NOT be output to the worksheet.
quillary: answered OK (default)
