# The parser splits each selected row at its commas (",>o_": "," to the output
# delimiter, which is "," with no option ticked) onto a new sheet "<sheet>-TxtToCol1",
# every column as text; the result sheet is finished (rows numbered from the third on)
# and the page set-up and report view questions are asked. The Tab setting of later
# pastes is left off, and the screen-updating wish stays as it was.
new
cell text A1 "R1, 10k , 0603"
cell text A2 "C1,100n,0402 "
cell text A3 "U1,LM317"
cell text A4 007
select A1:A4
set ParseForm.ParsingCtrlText.Value ,>o_
set MailBoxForm.Message.Caption $A$1:$A$4
answer message No Cancel
call Parser
print sheets
print cells Sheet1-TxtToCol1!A1:D4
print control MailBoxForm.OnScreenX.Enabled
print control ParseForm.Bolded.Caption
#### expected output
Quillary3016000000	2 (very hidden)
Sheet1	-1 (visible)
Sheet1-TxtToCol1	-1 (visible)	active
1	R1	10k	0603
2	C1	100n	0402
3	U1	LM317	
4	007		
True
X
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
