# A target choice that names another sheet that holds data: the lines are written
# there only after Yes to the question, into column A from row 1, and then only the rows
# written are split, while the rest of the sheet stays as it was.
new
cell text A1 "a,b,c"
cell text A2 "d,e,f"
cell text A3 "g,h,i"
select A1:A3
set ParseForm.ParsingCtrlText.Value ,>o_
set MailBoxForm.Message.Caption $A$1:$A$3
answer message No Cancel
call Parser
print cells Sheet1-TxtToCol1!A1:D3

# Two new rows into that sheet: No leaves it as it is.
sheet Sheet1
cell text A1 "1;2"
cell text A2 "3;4"
set ParseForm.ParsingCtrlText.Value "1b>o_"
set ParseForm.btext.Value ;
set MailBoxForm.Message.Caption $A$1:$A$2
set MailBoxForm.shtDiffRpt.Caption Sheet1-TxtToCol1
answer message No
call Parser
print cells Sheet1-TxtToCol1!A1:D3

# Yes: rows 1 and 2 are written and split; row 3 keeps its cells.
sheet Sheet1
set MailBoxForm.shtDiffRpt.Caption Sheet1-TxtToCol1
answer message Yes No Cancel
call Parser
print cells Sheet1-TxtToCol1!A1:E3
print sheets
#### expected output
1	a	b	c
2	d	e	f
3	g	h	i
1	a	b	c
2	d	e	f
3	g	h	i
1	1	2	b	c
2	3	4	e	f
	3	g	h	i
Quillary3016000000	2 (very hidden)
Sheet1	-1 (visible)
Sheet1-TxtToCol1	-1 (visible)	active
#### expected errors
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
quillary: message [Yes] [No]*
  ( Null ): The worksheet Sheet1-TxtToCol1 already holds data.

  The output lines will be written into its first column from row 1 on, over what is there, and split into the columns beside them.

  OK to write into this worksheet?
quillary: answered No (queued)
quillary: message [Yes] [No]*
  ( Null ): The worksheet Sheet1-TxtToCol1 already holds data.

  The output lines will be written into its first column from row 1 on, over what is there, and split into the columns beside them.

  OK to write into this worksheet?
quillary: answered Yes (queued)
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
