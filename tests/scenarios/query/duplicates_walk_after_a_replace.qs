# In the duplicates walk, a Replace in the top-left cell of the selection (here the
# first cell of the second name) does not make the walk start that name again: the
# next Next shows the name's next cell, and the one after it ends the list.
new
cell A1 pear
cell A2 apple
cell A3 pear
cell A4 apple
select A1:A4
set MainUserForm.CheckBox1.Value True
set MainUserForm.CheckBox3.Value True
answer queryend Different
answer message OK Cancel
query-events NextButton_Click NextButton_Click ReplaceButtonClick NextButton_Click NextButton_Click
call GetSubtractSortCnt
print cells A1:A4
print comments
#### expected output
apple
apple
pear
apple
A1	hidden	repl'd: "pear" "apple"
#### expected errors
quillary: the Query form is shown; sending its events
quillary: the active cell is $A$2
quillary: Query event NextButton_Click
quillary: the active cell is $A$4
quillary: Query event NextButton_Click
quillary: end of the Query pass [Repeat] [Different]*
  Found all the cells having apple
quillary: answered Different (queued)
quillary: the active cell is $A$1
quillary: Query event ReplaceButtonClick
quillary: the active cell is $A$1
quillary: Query event NextButton_Click
quillary: the active cell is $A$3
quillary: Query event NextButton_Click
quillary: message (information) [OK]
  This is the last different Duplicate name found within your selection.

  Choose "Next" to review the other Duplicates with this same name.

  Choose "Different Name" to cycle back to the first Duplicate to review again.
quillary: answered OK (queued)
quillary: the active cell is $A$3
quillary: message [OK]* [Cancel]
  (  ): There is a comment box in the top-left corner cell of the selection which will be removed so that the current results using IgnoreIndex# can be indicated.

  You can Right-click the Cell of the comment box and use Quillary's "Copy Comment Text" to copy the text into the clipboard for pasting.

  OK to replace the existing comment box?
quillary: answered Cancel (queued)
