# The sample report (samples/report) split as the README shows it: each part line at
# its commas onto a new sheet, the lines that begin with "#" whole (the row condition
# "by", Chr(31) (invisible here), "a1" with operand a "#": the script of
# samples/report.parse).
load samples/report
select A1:A9
set ParseForm.ParsingCtrlText.Value "bya1_,>o_"
set ParseForm.atext.Value "#"
set MailBoxForm.Message.Caption $A$1:$A$9
answer message No Cancel
call Parser
print cells Report-TxtToCol1!A1:E9
#### expected output
1	# Board A: power supply			
2	R1	10k	0603	Resistor 1/10W
3	C1	100n	0402	Capacitor X7R 16V
4	U1	LM317	TO-220	Regulator
5	# Board B: interface			
6	R7	4.7k	0603	Resistor 1/10W
7	D1	BAV99	SOT-23	Diode
8	J1	USB-B		Connector
9	R8	0R	0603	Jumper
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
