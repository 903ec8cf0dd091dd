# Two commas without an Item between them, or one at either end of a cell: the user is
# told (once per run), the blank entries are not counted.
new
cell A1 "a,,b"
cell A2 ",c"
cell A3 d
select A1:A3
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption
#### expected output
a,b,c,d
Count = 4
#### expected errors
quillary: message (information) [OK]
  (  ):  CountIndex# Mode: 

  There are two consecutive commas (or hard line-breaks) without text between them, or there is a comma (or hard line-break) at the beginning or ending of a cell.

  The count will NOT increment for this blank entry nor for any other blank entry found.
  This message will not be re-displayed unless the process is re-run from the start again.

  Use Quillary's "CommaSpace_Clear" or "CommaSpace_Set" to clean the selection, or paste (auto-paste or manual) Quillary's Window for a cleaned results list.

  IngoreIndex# Mode does not report empty Items between commas.
quillary: answered OK (default)
