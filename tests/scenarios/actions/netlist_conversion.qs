# The sample netlist converted with its nodes sorted by the block engine: one row per
# net, sorted by name, with the node count; the source lines stay as they are.
load samples/netlist
set MainUserForm.CheckBox1.Value True
set MainUserForm.CheckBox3.Value True
select A1:A10
answer bigmsg OK
answer message No Cancel
call Actions "Netlist Cnvrt:Telesis"
print sheets
print cells Netlist-NetCnvrtd1!A2:D10
print cells Netlist!A3:A4
print control MainUserForm.ComboBox1.Value
print control MailBoxForm.SkipMenu.Enabled
#### expected output
Quillary3016000000	2 (very hidden)
Netlist	-1 (visible)
Netlist-NetCnvrtd1	-1 (visible)	active
			
1	A_LED	D1-1,R4-2	2
2	CLK	R2-2,U1-3	2
3	DATA	J2-3,R3-2,U1-5	3
4	GND	C1-2,C2-2,J1-2,R4-1,U1-8	5
5	RESET	R1-2,U1-4	2
6	SDA	J2-2,R3-1,U1-6	3
7	VCC	C1-1,C2-1,J1-1,R1-1,U1-1	5
			
GND; U1-8, C1-2 C2-2
    J1-2 R4-1
Netlist Cnvrt:Telesis
False
#### expected errors
quillary: big message [OK]* [Cancel]
  "Netlist Cnvrt:Telesis" has been initiated.   OK To Convert Netlist?

  The original list will remain intact and a new sheet will be added.

  This will auto-convert a Telesis style netlist which has a format such that a line begins with a Name (called a Netname), followed by a semicolon and then at least one Item belonging to that Name (called a Node). Any additional rows of Items (Nodes) belonging to that same Name (Netname) must have more spaces at the beginning than the top-most row or else they must begin with a semicolon.

  Example of Telesis style netlist showing locations of semicolons and commas (and/or delimiting spaces). Words can be anything:
  NAME_A; ITEMa1, ITEMa2
  ;ITEMa3, ITEMa4
  NAME_B; ITEMb1, ITEMb2
  NAME_C; ITEMc1

  Select only the cells that should be sorted together (e.g. include all nets, exclude other statements). Convert dissimilar sections separately if necessary.

  To sort nodes (for comparison purposes, for example), use Quillary's IgnoreIndex# Mode along with the Sort option set.

  NET_NAMES are always sorted when "Netlist Cnvrt:Telesis" is used.

  For netlists that are not in this style, Excel's Find and Replace can often bring them into it, or Quillary's "Text Converter/Import" can split them into columns.

  Or split the lines into a net name column and node columns with TextToColumns, bold the first node cell and use "REDUCE Rows to One" to gather each net onto one row.
quillary: answered OK (queued)
quillary: message [Yes]* [No]
  [Report Page Setup?]( Netlist Cnvrt:Telesis ): Apply Quillary's default Printer Page_Setup?

  While using the print preview, try changing Portrait/Landscape and Fit To Pages Width/Tall.

  Choose NO if the worksheet has printer problems -- possibly due to a non-Excel generated worksheet.
quillary: answered No (queued)
quillary: message [Yes] [No]* [Cancel]
  [Report View?]( Netlist Cnvrt:Telesis ): How would you like to arrange the Original Input List and the Output Results List for viewing?

  Don't Ask Again: To have your viewing choice applied every time Quillary creates a new sheet without displaying this dialog box. Use Quillary's Tools action to re-display this dialog box.

  Side-By-Side: Puts the source list and the translated list into Excel's side-by-side mode to examine both the original sheet and the output results sheet 

  Maximize: Maximizes the new smaller Excel window. 
  Keep Small Window: To leave the windows as presently displayed.

  If you already have multiple Excel windows open, you might want to minimize some of them and then use Excel's menu to re-assert Window>Arrange>Veritcal or Horizontal.
quillary: answered Cancel (queued)
