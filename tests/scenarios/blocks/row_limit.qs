# On a sheet of 65,536 rows a downward block may end two rows above the last: a
# selection past that halts before the first block, and a TRAVEL (here unattended, as an
# action runs it) that reaches it halts with the same message after the last block it
# could write.
new small
cell A65534 R1
cell A65535 R2
select A65534:A65535
answer bigmsg Option
call Paste_V Paste_V
print cells B65534:B65535
cell A65533 R3
select A65533
set MailBoxForm.SkipMenu.Enabled True
call Paste_V Paste_V
print cells B65533:B65535
#### expected output


R3
R1

#### expected errors
quillary: big message [OK "Once"]* [Option "Travel"] [Cancel]
  You have selected more than one row for "Paste V".

  CountIndex# Mode is enabled. Items will be sorted before being placed into a single cell to the right of your selection.

  TRAVEL: Processing continues downward applying the same size/shape selection until an all-empty area is encountered.
  ONCE: Processes only the current selection.
  CANCEL: To abort.

  Use the Ctrl key to Abort during processing.
quillary: answered Option (queued)
quillary: message (information) [OK]
  ( Paste V ): Halted. Reached the 65534 Row limit.
quillary: answered OK (default)
quillary: message (information) [OK]
  ( Paste V ): Halted. Reached the 65534 Row limit.
quillary: answered OK (default)
