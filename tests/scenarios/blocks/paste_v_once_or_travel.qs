# "Paste V" on a block of several rows asks ONCE or TRAVEL on the big message form. ONCE
# writes the Items of the selected block only (as text, condensed) and selects the
# block again; TRAVEL goes on with the block of the same size below, until an empty one.
new
cell A1 R1
cell A2 "R2, 007"
cell A3 C4
cell A4 C2
select A1:A2
answer bigmsg OK
call Paste_V Paste_V
print cells A1:B4
print selection
select A1:A2
cell B1 ""
answer bigmsg Option
answer message Cancel
call Paste_V Paste_V
print cells A1:B4
#### expected output
R1	R1-2,007
R2, 007	
C4	
C2	
Sheet1	$A$1:$A$2	$A$1
R1	R1-2,007
R2, 007	
C4	C2,C4
C2	
#### expected errors
quillary: big message [OK "Once"]* [Option "Travel"] [Cancel]
  You have selected more than one row for "Paste V".

  CountIndex# Mode is enabled. Items will be sorted before being placed into a single cell to the right of your selection.

  TRAVEL: Processing continues downward applying the same size/shape selection until an all-empty area is encountered.
  ONCE: Processes only the current selection.
  CANCEL: To abort.

  Use the Ctrl key to Abort during processing.
quillary: answered OK (queued)
quillary: big message [OK "Once"]* [Option "Travel"] [Cancel]
  You have selected more than one row for "Paste V".

  CountIndex# Mode is enabled. Items will be sorted before being placed into a single cell to the right of your selection.

  TRAVEL: Processing continues downward applying the same size/shape selection until an all-empty area is encountered.
  ONCE: Processes only the current selection.
  CANCEL: To abort.

  Use the Ctrl key to Abort during processing.
quillary: answered Option (queued)
quillary: message [OK]* [Cancel]
  ( Paste V ): OK to continue processing downward?
quillary: answered Cancel (queued)
