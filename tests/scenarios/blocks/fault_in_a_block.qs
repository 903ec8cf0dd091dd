# A block whose Item breaks the grammar (R5-R2: the first number is not below the
# second) is shown in the labels and handed to the fault locator on the Query form; in
# CountIndex# the run then asks whether to go on. OK writes the block's display text (not
# a count, though counts are wanted) and goes on with the next block.
new
cell A1 R1
cell A2 R5-R2
cell A3 R9
set MainUserForm.CheckBox6.Caption Count
select A1
answer message OK Cancel
call Paste_V Paste_V
print cells A1:B4
print control MainUserForm.label10.Caption
print control QueryUserForm.CaptionLabel.Caption
print control QueryUserForm.Label1.Caption
#### expected output
R1	1
R5-R2	 Quilet> R5-R2 <Quilet
R9	1
	
First >= HyphenSecond
Quillary FAULT LOCATOR
First >= HyphenSecond
#### expected errors
quillary: the Query form is shown
quillary: the active cell is $A$2
quillary: message (information) [OK]* [Cancel]
  ( Paste V ): Fault: First >= HyphenSecond

  Choose OK to continue or CANCEL to abort.
quillary: answered OK (queued)
quillary: message [OK]* [Cancel]
  ( Paste V ): OK to continue processing downward?
quillary: answered Cancel (queued)
