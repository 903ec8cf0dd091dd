# Find Item: Next walks the selection row by row, left to right. R5 is found as an Item of
# its own, as the same number (R05) and inside a range (R1-R8, where Replace is not
# offered), never inside R50. Coming back to the first hit ends the pass: the end-of-pass
# dialog, then the first hit again.
new
cell A1 R5
cell B1 x
cell A2 "C1, R05"
cell B2 R1-R8
cell A3 R50
cell B3 R1-R5
select A1:B3
set QueryUserForm.Textbox1.Value R5
answer queryend Repeat
query-events NextButton_Click NextButton_Click NextButton_Click NextButton_Click NextButton_Click
call GoQueryUserForm
print control QueryUserForm.Label5.Caption
print control QueryUserForm.Label7.Caption
print control QueryUserForm.ReplaceButton.Enabled

# Inside a range: the notice, and no replacement offered.
select B2
set QueryUserForm.Textbox1.Value R5
query-events NextButton_Click
set QueryUserForm.CaptionLabel.Caption "Quillary Query Item"
select B2:B3
call GoQueryUserForm
print control QueryUserForm.Label2.Caption
print control QueryUserForm.Textbox2.Value
print control QueryUserForm.ReplaceButton.Enabled

# One selected cell: the used part of the sheet is searched, from the active cell on.
select C3
query-events NextButton_Click NextButton_Click
call GoQueryUserForm
print selection
#### expected output
R5
Beginning of cells found having this Item.
True
Inside range>R1-R8<
To remove, try Quillary Subtract.
False
Sheet1	$A$1	$A$1
#### expected errors
quillary: the Query form is shown; sending its events
quillary: the active cell is $A$1
quillary: Query event NextButton_Click
quillary: the active cell is $A$1
quillary: Query event NextButton_Click
quillary: the active cell is $A$2
quillary: Query event NextButton_Click
quillary: the active cell is $B$2
quillary: Query event NextButton_Click
quillary: the active cell is $B$3
quillary: Query event NextButton_Click
quillary: end of the Query pass [Repeat]
  Found all the cells having R5
quillary: answered Repeat (queued)
quillary: the active cell is $A$1
quillary: the Query form is shown; sending its events
quillary: the active cell is $B$2
quillary: Query event NextButton_Click
quillary: the active cell is $B$2
quillary: the Query form is shown; sending its events
quillary: the active cell is $C$3
quillary: Query event NextButton_Click
quillary: the active cell is $B$3
quillary: Query event NextButton_Click
quillary: the active cell is $A$1
