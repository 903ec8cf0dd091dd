# "Hyperlink|| ReplaceWith" links every non-empty cell to its own text; a cell with a
# line break gets no link and one notice per run. "Hyperlink|| Extract" writes the
# address of each first-column cell's link, as text, into the next column, asking before
# it overwrites; neither writes beyond the sheet's last column.
new
cell A1 http://example.invalid/
cell A2 5
cell text A4 "two\nlines"
cell text A5 "x\ny"
select A1:A5
answer message OK
call Actions "Hyperlink|| ReplaceWith"
print hyperlinks A1:A5
print cells A1:A5

cell B1 old
answer message OK
call Actions "Hyperlink|| Extract"
print cells A1:B5
print selection
answer message Cancel
cell B1 old
call Actions "Hyperlink|| Extract"
print cells B1:B2

select XFD1
answer message OK
call Actions "Hyperlink|| ReplaceWith"
#### expected output
A1	http://example.invalid/	
A2	5	
http://example.invalid/
5

two\nlines
x\ny
http://example.invalid/	http://example.invalid/
5	5
	
two\nlines	
x\ny	
Sheet1	$A$1:$A$5	$A$1
old
5
#### expected errors
quillary: message [OK]* [Cancel]
  ( Hyperlink:ReplaceWith ): HARD LINE-BREAKS have been found within the selected cells.

  A Hyperlink can NOT be created for a cell containing Hard Line-Breaks. Even if the Hard Line-Breaks are removed, the resulting text might not be useful as a hyperlink.

  Hard Line-Breaks appear as small squares within the text when the text is NOT wrapped.

  Click OK to continue. This message will not be displayed again until after this action finishes.
quillary: answered OK (queued)
quillary: message [OK]* [Cancel]
  ( Hyperlink:Extract ): Destination is not empty.

  Clicking OK erases the selection before writing. Undo won't revert it!

  To avoid overwriting any data, Cancel and then Right-click the column identifier letter and choose "Insert" to put an empty column in its place.

  To quickly clear previously pasted data when none of the contents of this column are needed, Cancel and then either Left-click the column identifier letter and press the "Delete" key, or Right-click it and choose "ClearContents".
quillary: answered OK (queued)
quillary: message [OK]* [Cancel]
  ( Hyperlink:Extract ): Destination is not empty.

  Clicking OK erases the selection before writing. Undo won't revert it!

  To avoid overwriting any data, Cancel and then Right-click the column identifier letter and choose "Insert" to put an empty column in its place.

  To quickly clear previously pasted data when none of the contents of this column are needed, Cancel and then either Left-click the column identifier letter and press the "Delete" key, or Right-click it and choose "ClearContents".
quillary: answered Cancel (queued)
quillary: message (information) [OK]
  ( Hyperlink:ReplaceWith ): Cannot put result beyond 16384 columns.
quillary: answered OK (queued)
