# A Get/Try on the whole sheet (what Ctrl+A selects) reads only the sheet's used range;
# the empty cells beyond it count as any empty cell: the notice of a blank Item once.
new
cell A1 "R5, R2"
cell C3 R1
select A1:XFD1048576
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption
print selection
#### expected output
R1-2,R5
Count = 3
Sheet1	$1:$1048576	$B$1
#### expected errors
quillary: message (information) [OK]
  (  ):  CountIndex# Mode: 

  There are two consecutive commas (or hard line-breaks) without text between them, or there is a comma (or hard line-break) at the beginning or ending of a cell.

  The count will NOT increment for this blank entry nor for any other blank entry found.
  This message will not be re-displayed unless the process is re-run from the start again.

  Use Quillary's "CommaSpace_Clear" or "CommaSpace_Set" to clean the selection, or paste (auto-paste or manual) Quillary's Window for a cleaned results list.

  IngoreIndex# Mode does not report empty Items between commas.
quillary: answered OK (default)
