# Unattended, with no answer queued, "Paste V" in TRAVEL ends where the list ends: the
# question whether to go on down past the empty block takes Cancel, since its default
# OK would write beside every empty block to the sheet's end.
new
cell A1 "R2, R1"
cell A2 C1-C3
cell A3 "U5, U7"
cell B5 mine
set MainUserForm.CheckBox6.Caption Count
select A1
call Paste_V Paste_V
print cells A1:B5
print count
#### expected output
R2, R1	2
C1-C3	3
U5, U7	2
	
	mine
Cnt= 2
#### expected errors
quillary: message [OK]* [Cancel]
  ( Paste V ): OK to continue processing downward?
quillary: answered Cancel (the default, OK, writes a result beside the empty block below and goes on down, which an unattended run does not do for you)
