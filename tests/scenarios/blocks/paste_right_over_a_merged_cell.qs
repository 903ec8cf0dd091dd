# "Paste >" over a selection holding a vertically merged cell: the application widens
# a selected row over the merged cell, but each block stays one row of the selection,
# so the results go beside its rows and nothing below them is written.
new
cell A5 R1
cell B5 R2
cell B6 R3
cell A7 R4
cell B7 R5
merge A5:A6
select A5:B6
answer message OK
call PasteRight Paste_>
print cells A5:C7
print selection
#### expected output
R1	R2	R1-2
	R3	R3
R4	R5	
Sheet1	$A$5:$B$6	$A$6
#### expected errors
quillary: message (information) [OK]
  ( Paste > ):  CountIndex# Mode: 

  There are two consecutive commas (or hard line-breaks) without text between them, or there is a comma (or hard line-break) at the beginning or ending of a cell.

  The count will NOT increment for this blank entry nor for any other blank entry found.
  This message will not be re-displayed unless the process is re-run from the start again.

  Use Quillary's "CommaSpace_Clear" or "CommaSpace_Set" to clean the selection, or paste (auto-paste or manual) Quillary's Window for a cleaned results list.

  IngoreIndex# Mode does not report empty Items between commas.
quillary: answered OK (queued)
