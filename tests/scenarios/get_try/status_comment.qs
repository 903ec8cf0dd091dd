# IgnoreIndex# with Sort and without tagging: the Duplicates_Summary goes into a comment
# on the selection's first cell. A comment already there is replaced only when the user
# agrees; with nothing to say, an agreed-to old comment is removed. A locked cell on a
# protected sheet takes no comment.
new
cell A1 a
cell A2 b
cell A3 c
select A1:A3
set MainUserForm.CheckBox1.Value True
set MainUserForm.CheckBox3.Value True
call GetSubtractSortCnt
print comments

# Duplicates: a new comment.
cell A3 a
call GetSubtractSortCnt
print window
print comments
print control MainUserForm.label10.Caption
print control MainUserForm.CheckBox8.Value

# The user keeps the old comment, then lets it be replaced.
cell A1 b
answer message Cancel
call GetSubtractSortCnt
print comments
answer message OK
call GetSubtractSortCnt
print comments

# No duplicates: the old comment goes, and no new one comes.
cell A2 c
answer message OK
call GetSubtractSortCnt
print comments

# A protected sheet.
cell A2 b
protect sheet
call GetSubtractSortCnt
print comments
#### expected output
a,a,b
A1	hidden	Duplicates_Summary\nDup\t     2\ta
Duplicates were found. See comment box for list.
True
A1	hidden	Duplicates_Summary\nDup\t     2\ta
A1	hidden	Duplicates_Summary\nDup\t     2\tb
#### expected errors
quillary: message (information) [OK]
  (  ): No new comment box was created because there are no new messages to display.
quillary: answered OK (default)
quillary: the Query form is shown
quillary: the active cell is $A$1
quillary: message (information) [OK]
  (  ): A new Comment Box has been placed in the top-left cell of the first area of your selection.

  You can Right-click the cell of the comment box and use Quillary's "Copy Comment Text" to copy the text into the clipboard for pasting.
quillary: answered OK (default)
quillary: the Query form is shown
quillary: the active cell is $A$1
quillary: message [OK]* [Cancel]
  (  ): There is a comment box in the top-left corner cell of the selection which will be removed so that the current results using IgnoreIndex# can be indicated.

  You can Right-click the Cell of the comment box and use Quillary's "Copy Comment Text" to copy the text into the clipboard for pasting.

  OK to replace the existing comment box?
quillary: answered Cancel (queued)
quillary: the Query form is shown
quillary: the active cell is $A$1
quillary: message [OK]* [Cancel]
  (  ): There is a comment box in the top-left corner cell of the selection which will be removed so that the current results using IgnoreIndex# can be indicated.

  You can Right-click the Cell of the comment box and use Quillary's "Copy Comment Text" to copy the text into the clipboard for pasting.

  OK to replace the existing comment box?
quillary: answered OK (queued)
quillary: message [OK]* [Cancel]
  (  ): There is a comment box in the top-left corner cell of the selection which will be removed so that the current results using IgnoreIndex# can be indicated.

  You can Right-click the Cell of the comment box and use Quillary's "Copy Comment Text" to copy the text into the clipboard for pasting.

  OK to replace the existing comment box?
quillary: answered OK (queued)
quillary: message (information) [OK]
  (  ): The previous comment box in the top-left cell of the first area of your selection was deleted. No new comment box was created because there are no new messages to display.
quillary: answered OK (default)
quillary: the Query form is shown
quillary: the active cell is $A$1
quillary: message (information) [OK]
  (  ): PROTECTED CELL - Can not use comment box for status.
quillary: answered OK (default)
