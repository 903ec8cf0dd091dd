# WholeColRow trims entire columns to their content; a merged cell that the trimmed
# selection touches widens it, and the user is told and the request stops (Response 1)
# with the widened selection left for the user to judge.
new
cell B5 x
cell B10 x
cell B40 x
select B:B
merge B10:C10
answer message OK
call WholeColRow Paste_V
print control MailBoxForm.Response.Caption
print selection

# Each of two areas is checked; here the second one is pushed to the left.
new
cell A1 x
cell A3 x
cell D2 x
cell D6 x
select A:A,D:D
merge C4:D4
answer message OK
call WholeColRow "COMPARE 2/Uniques"
print control MailBoxForm.Response.Caption
#### expected output
1
Sheet1	$B$5:$C$40	$B$5
1
#### expected errors
quillary: message (information) [OK]
  ( Paste V ): Your selection #1 was expanded by the presence of a MERGED CELL when you used Quillary's "Entire Column or Entire Row" selection method.

  Quillary only reduces your first TWO "Entire Column or Entire Row" selections to fit actual content and examines them for expansion caused by a Merged Cell.

  The right column of your selection was pushed further to the right than your original selection.

  Quillary's process will be aborted. However, if you are satisfied with the new selection, run a process now using this selection.

  Please take steps to be sure your selections are not persuaded to expand unexpectedly due to Merged Cells.
quillary: answered OK (queued)
quillary: message (information) [OK]
  ( COMPARE 2/Uniques ): Your selection #2 was expanded by the presence of a MERGED CELL when you used Quillary's "Entire Column or Entire Row" selection method.

  Quillary only reduces your first TWO "Entire Column or Entire Row" selections to fit actual content and examines them for expansion caused by a Merged Cell.

  The left column of your selection was pushed further to the left than your original selection.

  Quillary's process will be aborted. However, if you are satisfied with the new selection, run a process now using this selection.

  Please take steps to be sure your selections are not persuaded to expand unexpectedly due to Merged Cells.
quillary: answered OK (queued)
