# The parser's messages, each ending the run: a script without commands (no sheet is
# made), a script with no "_" at all (the same), a row condition whose operand letter is
# outside its alphabet ("z", after the invisible Chr(31)), a cell it cannot read (the
# line before it stays, unsplit, and the cell becomes the active one), and a command
# that stops advancing while the source is overwritten (the row is named, the source
# stays as it was).
new
cell text A1 "a,b"
cell A2 "#N/A"
cell text A3 "abcdef"
select A1:A3
set MailBoxForm.Message.Caption $A$1:$A$1
set ParseForm.ParsingCtrlText.Value ""
call Parser
set ParseForm.ParsingCtrlText.Value ,>o
call Parser
set ParseForm.ParsingCtrlText.Value "byz1\\,>o_"
call Parser
print sheets
set MailBoxForm.Message.Caption $A$1:$A$2
set ParseForm.ParsingCtrlText.Value ,>o_
answer message OK
call Parser
print selection
print cells Sheet1-TxtToCol1!A1:B2
sheet Sheet1
set MailBoxForm.Message.Caption $A$3
set MailBoxForm.shtDiffRpt.Caption Sheet1
set ParseForm.ParsingCtrlText.Value "3^!'_"
call Parser
print cells A3
print sheets
#### expected output
Quillary3016000000	2 (very hidden)
Sheet1	-1 (visible)	active
Sheet1	$A$1:$A$3	$A$2
a,b	
	
abcdef
Quillary3016000000	2 (very hidden)
Sheet1	-1 (visible)	active
Sheet1-TxtToCol1	-1 (visible)
#### expected errors
quillary: message [OK]
  ( Null ): No Parsing Commands have been defined.

  Please define how to parse the selected text.

  If your selection does not need to be further modified, you can create a new worksheet by defining an event that does nothing (e.g. @n/a step_null).
quillary: answered OK (default)
quillary: message [OK]
  ( Null ): No Parsing Commands have been defined.

  Please define how to parse the selected text.

  If your selection does not need to be further modified, you can create a new worksheet by defining an event that does nothing (e.g. @n/a step_null).
quillary: answered OK (default)
quillary: message [OK]
  Script code error.

  An invalid script has been submitted that is not compatible with this version of Quillary.
quillary: answered OK (default)
quillary: message [OK]
  Error while running script.

  This might be caused by incompatible script syntax or by an anomaly within the worksheet.
quillary: answered OK (queued)
quillary: message [OK]
  The command procedure you provided is not advancing through the source and therefore might be defining an infinite loop condition.

  You requested that the original source be overwritten. This process stopped at worksheet row# 3 without modifying it. If the reported row# is beyond the first row, consider replacing the current source with another copy of your original source.

   It is recommended that to you use the Preview mode to more quickly find and improve the step that does not advance in your commands.

  Please make changes to your commands so that this message does not get displayed.
quillary: answered OK (default)
