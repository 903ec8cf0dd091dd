# "Paste V" travelling down blocks that each hold an empty Item shows the notice about
# empty Items once: it says it is not shown again until the user starts over.
new
cell A1 "R1,"
cell A2 "R2,"
cell A3 "R3,"
select A1
answer message OK OK Cancel
call Paste_V Paste_V
print cells A1:B3
#### expected output
R1,	R1
R2,	R2
R3,	R3
#### expected errors
quillary: message (information) [OK]
  ( Paste V ):  CountIndex# Mode: 

  There are two consecutive commas (or hard line-breaks) without text between them, or there is a comma (or hard line-break) at the beginning or ending of a cell.

  The count will NOT increment for this blank entry nor for any other blank entry found.
  This message will not be re-displayed unless the process is re-run from the start again.

  Use Quillary's "CommaSpace_Clear" or "CommaSpace_Set" to clean the selection, or paste (auto-paste or manual) Quillary's Window for a cleaned results list.

  IngoreIndex# Mode does not report empty Items between commas.
quillary: answered OK (queued)
quillary: message [OK]* [Cancel]
  ( Paste V ): OK to continue processing downward?
quillary: answered OK (queued)
quillary: message [OK]* [Cancel]
  ( Paste V ): OK to continue processing downward?
quillary: answered Cancel (queued)
