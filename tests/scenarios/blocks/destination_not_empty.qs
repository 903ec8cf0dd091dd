# A destination that holds data is written only when the user agrees to erase it: OK
# erases the whole destination beside the block first; Cancel writes nothing and ends
# the run.
new
cell A1 R1
cell A2 R2
cell B1 old
cell B2 older
select A1:A2
answer bigmsg OK
answer message Cancel
call Paste_V Paste_V
print cells B1:B2
select A1:A2
answer bigmsg OK
answer message OK
call Paste_V Paste_V
print cells B1:B2
#### expected output
old
older
R1-2

#### expected errors
quillary: big message [OK "Once"]* [Option "Travel"] [Cancel]
  You have selected more than one row for "Paste V".

  CountIndex# Mode is enabled. Items will be sorted before being placed into a single cell to the right of your selection.

  TRAVEL: Processing continues downward applying the same size/shape selection until an all-empty area is encountered.
  ONCE: Processes only the current selection.
  CANCEL: To abort.

  Use the Ctrl key to Abort during processing.
quillary: answered OK (queued)
quillary: message [OK]* [Cancel]
  ( Paste V ): Destination is not empty.

  Clicking OK erases the selection before writing. Undo won't revert it!

  To avoid overwriting any data, Cancel and then Right-click the column identifier letter and "Insert" a new column.

  To quickly clear previously pasted data when none of the contents of this column are needed, Cancel and then either Left-click the column identifier letter and press the "Delete" key, or Right-click the column identifier letter and click "ClearContents".
quillary: answered Cancel (queued)
quillary: big message [OK "Once"]* [Option "Travel"] [Cancel]
  You have selected more than one row for "Paste V".

  CountIndex# Mode is enabled. Items will be sorted before being placed into a single cell to the right of your selection.

  TRAVEL: Processing continues downward applying the same size/shape selection until an all-empty area is encountered.
  ONCE: Processes only the current selection.
  CANCEL: To abort.

  Use the Ctrl key to Abort during processing.
quillary: answered OK (queued)
quillary: message [OK]* [Cancel]
  ( Paste V ): Destination is not empty.

  Clicking OK erases the selection before writing. Undo won't revert it!

  To avoid overwriting any data, Cancel and then Right-click the column identifier letter and "Insert" a new column.

  To quickly clear previously pasted data when none of the contents of this column are needed, Cancel and then either Left-click the column identifier letter and press the "Delete" key, or Right-click the column identifier letter and click "ClearContents".
quillary: answered OK (queued)
