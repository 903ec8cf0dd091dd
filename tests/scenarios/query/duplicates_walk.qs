# Get/Try in IgnoreIndex# with Sort finds duplicates and walks them on the Query form:
# Next shows each cell of a name; at the end of a name the end-of-pass dialog offers the
# next different name; at the end of the list a message. The different-name button
# jumps to the next name.
new
cell A1 apple
cell A2 pear
cell A3 Apple
cell A4 kiwi
cell A5 pear
select A1:A5
set MainUserForm.CheckBox1.Value True
set MainUserForm.CheckBox3.Value True
answer queryend Different
query-events NextButton_Click NextButton_Click NextButton_Click NextButton_Click NextButton_Click
call GetSubtractSortCnt
print control QueryUserForm.Label1.Caption
print control QueryUserForm.Textbox1.Value

# The different-name button, to the last name and back to the first.
query-events diffdupsButtonClick diffdupsButtonClick diffdupsButtonClick
call GetSubtractSortCnt
#### expected output
Duplicate Item:
pear
#### expected errors
quillary: the Query form is shown; sending its events
quillary: the active cell is $A$1
quillary: Query event NextButton_Click
quillary: the active cell is $A$3
quillary: Query event NextButton_Click
quillary: end of the Query pass [Repeat] [Different]*
  Found all the cells having apple
quillary: answered Different (queued)
quillary: the active cell is $A$2
quillary: Query event NextButton_Click
quillary: the active cell is $A$5
quillary: Query event NextButton_Click
quillary: message (information) [OK]
  This is the last different Duplicate name found within your selection.

  Choose "Next" to review the other Duplicates with this same name.

  Choose "Different Name" to cycle back to the first Duplicate to review again.
quillary: answered OK (default)
quillary: the active cell is $A$5
quillary: Query event NextButton_Click
quillary: the active cell is $A$2
quillary: message (information) [OK]
  (  ): A new Comment Box has been placed in the top-left cell of the first area of your selection.

  You can Right-click the cell of the comment box and use Quillary's "Copy Comment Text" to copy the text into the clipboard for pasting.
quillary: answered OK (default)
quillary: the Query form is shown; sending its events
quillary: the active cell is $A$1
quillary: Query event diffdupsButtonClick
quillary: the active cell is $A$2
quillary: Query event diffdupsButtonClick
quillary: message (information) [OK]
  This is the last different Duplicate name found within your selection.

  Choose "Next" to review the other Duplicates with this same name.

  Choose  "Different Name" to cycle back to the first Duplicate to review again.
quillary: answered OK (default)
quillary: the active cell is $A$2
quillary: Query event diffdupsButtonClick
quillary: the active cell is $A$1
quillary: message [OK]* [Cancel]
  (  ): There is a comment box in the top-left corner cell of the selection which will be removed so that the current results using IgnoreIndex# can be indicated.

  You can Right-click the Cell of the comment box and use Quillary's "Copy Comment Text" to copy the text into the clipboard for pasting.

  OK to replace the existing comment box?
quillary: answered OK (default)
