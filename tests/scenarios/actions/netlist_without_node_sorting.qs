# Without the Sort option the conversion asks; No keeps each net's nodes in their order,
# and the counts, written after the net names are sorted, stay with their nets.
new
cell A1 "'B; b2 b1"
cell A2 "'A; a2,a1"
cell A3 "'   a3"
select A1:A3
set MainUserForm.CheckBox1.Value True
answer bigmsg OK
answer message No No Cancel
call Actions "Netlist Cnvrt:Telesis"
print cells Sheet1-NetCnvrtd1!B3:D4
#### expected output
A	a2,a1,a3	3
B	b2,b1	2
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
quillary: message (information) [Yes]* [No] [Cancel]
  ( Netlist Cnvrt:Telesis ): It is often best to sort the NODES of a netlist so that they can be compared later. But NODE sorting has not been enabled.

  To sort NODES use Quillary's IgnoreIndex# Mode along with the Sort option set.

  NET_NAMES are always sorted with this action.

  Choose YES if you want to use Quillary's Sort Mode to sort NODES.

  Choose NO if you want to proceed without sorting the NODES.

  Choose CANCEL if you want to Abort this action.
quillary: answered No (queued)
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
