# WholeColRow answers through the mail box's Response: 0 when the entire column holds
# cells, 1 when it is empty (after the message the user answers). SetUpPrinter runs on
# a selection.
new
cell B3 x
cell B7 y
select B:B
call WholeColRow Paste_V
print control MailBoxForm.Response.Caption
select C:C
answer message OK
call WholeColRow Paste_V
print control MailBoxForm.Response.Caption
print selection
select B3:B7
call SetUpPrinter
#### expected output
0
1
Sheet1	$C:$C	$C$1
#### expected errors
quillary: message (information) [OK]
  ( Paste V ): All cells are empty within an entire selected column or row.

  Please make another selection.
quillary: answered OK (queued)
