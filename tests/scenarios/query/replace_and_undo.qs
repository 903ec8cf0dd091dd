# Replace changes the one occurrence found and notes it in the cell's comment; Undo puts
# the old text back and takes the note out again. In CountIndex# the end of a range is
# replaced without its hyphen.
new
cell A1 "R1-R5, C2"
cell A2 "C2, R7"
select A1:A2
set QueryUserForm.Textbox1.Value R5
set QueryUserForm.Textbox2.Value R6
query-events NextButton_Click ReplaceButtonClick
call GoQueryUserForm
print cells A1:A2
print comments
print control QueryUserForm.ReplaceButton.Caption

# Replace, then Undo.
set QueryUserForm.Textbox1.Value C2
set QueryUserForm.Textbox2.Value C3
query-events NextButton_Click ReplaceButtonClick ReplaceButtonClick
call GoQueryUserForm
print cells A1:A2
print comments
print control QueryUserForm.ReplaceButton.Caption

# The same text again: nothing changes, and the user is told so.
set QueryUserForm.Textbox2.Value R7
set QueryUserForm.Textbox1.Value R7
query-events NextButton_Click ReplaceButtonClick
call GoQueryUserForm
print cells A2
#### expected output
R1-R6, C2
C2, R7
A1	hidden	repl'd: "R5" "R6"
Undo
R1-R6, C2
C2, R7
A1	hidden	repl'd: "R5" "R6"
Replace
C2, R7
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
quillary: the Query form is shown; sending its events
quillary: the active cell is $A$1
quillary: Query event NextButton_Click
quillary: the active cell is $A$2
quillary: Query event ReplaceButtonClick
quillary: message (information) [OK]
  No change.

  The replacement text specified 
  is the same as the original text.
quillary: answered OK (default)
quillary: the active cell is $A$2
