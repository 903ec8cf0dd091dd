# The Action list runs the entry whose text comes as the mode of an "Actions" request. A
# text without an action (also one with the wrong number of blanks after "||") only
# empties list 1 of the working sheet. The entries that add a worksheet are refused in a
# protected workbook before their routine runs.
new
cell A1 "r1, r2"
select A1
call Actions "Borders||  Set"
call Actions "Case|| Upper"
print cells A1
print sheets
set MailBoxForm.SkipMenu.Enabled True
call Actions Tools
print control MailBoxForm.SkipMenu.Enabled
call Actions "Case||  Upper"
print cells A1

protect workbook
answer message OK
call Actions "EXPAND Row to Many"
#### expected output
r1, r2
Quillary3016000000	2 (very hidden)
Sheet1	-1 (visible)	active
False
R1, R2
#### expected errors
quillary: message (information) [OK]
  ( EXPAND Row to Many ): This WorkBook is Protected. This Action requires that a New WorkSheet be added to the workbook.

  This Action will NOT execute.
quillary: answered OK (queued)
