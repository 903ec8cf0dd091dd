# "Paste V" on a one-row selection travels without asking: the count of each block goes
# beside it as a number, block after block, until the block below the list is empty;
# there it asks whether to go on (Cancel stops). The count caption and the command bar
# show the last block's count.
new
cell A1 "R2, R1"
cell A2 C1-C3
cell A3 "U5, U7"
set MainUserForm.CheckBox6.Caption Count
select A1
answer message Cancel
call Paste_V Paste_V
print cells A1:B4
print formats B1
print control MainUserForm.Label2.Caption
print count
print selection
#### expected output
R2, R1	2
C1-C3	3
U5, U7	2
	
B1	valign=top
Count = 2
Cnt= 2
Sheet1	$A$4	$A$4
#### expected errors
quillary: message [OK]* [Cancel]
  ( Paste V ): OK to continue processing downward?
quillary: answered Cancel (queued)
