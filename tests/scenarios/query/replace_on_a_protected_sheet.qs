# A protected sheet that allows no formatting lets the user change its unlocked cells:
# Replace there changes the value and notes it in the comment, without putting the
# cell's alignment back (the sheet forbids it, and the write left it as it was); Undo
# takes the new value and its note back.
load tests/scenarios/query/unlocked_cells
select A1
set QueryUserForm.Textbox1.Value R5
set QueryUserForm.Textbox2.Value R6
query-events NextButton_Click ReplaceButtonClick
call GoQueryUserForm
print cells A1
print comments
print control QueryUserForm.ReplaceButton.Caption
print formats A1

# Replace, then Undo.
set QueryUserForm.Textbox1.Value R6
set QueryUserForm.Textbox2.Value R7
query-events NextButton_Click ReplaceButtonClick ReplaceButtonClick
call GoQueryUserForm
print cells A1
print comments
print control QueryUserForm.ReplaceButton.Caption
#### expected output
R1, R6
A1	hidden	repl'd: "R5" "R6"
Undo
A1	align=right unlocked
R1, R6
A1	hidden	repl'd: "R5" "R6"
Replace
#### expected errors
quillary: the Query form is shown; sending its events
quillary: the active cell is $A$1
quillary: Query event NextButton_Click
quillary: the active cell is $A$1
quillary: Query event ReplaceButtonClick
quillary: the active cell is $A$1
quillary: the Query form is shown; sending its events
quillary: the active cell is $A$1
quillary: Query event NextButton_Click
quillary: the active cell is $A$1
quillary: Query event ReplaceButtonClick
quillary: the active cell is $A$1
quillary: Query event ReplaceButtonClick
quillary: the active cell is $A$1
