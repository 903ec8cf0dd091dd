# A target the user protected is not written into. Only the first column of the empty
# sheet Out is unlocked: the parser says so and writes nothing, where the lines and
# their columns once went into the locked cells before the finishing failed. The source
# sheet protected, with its cells locked, is not overwritten either; a workbook whose
# structure is protected gets no new sheet.
load tests/scenarios/parser/protected_target
select A1:A3
set ParseForm.ParsingCtrlText.Value ,>o_
set MailBoxForm.Message.Caption $A$1:$A$3
set MailBoxForm.shtDiffRpt.Caption Out
call Parser
print cells Out!A1:D3

protect sheet Lines
set MailBoxForm.shtDiffRpt.Caption Lines
call Parser
print cells Lines!A1:C3

unprotect sheet Lines
protect workbook
set MailBoxForm.shtDiffRpt.Caption ""
call Parser
print sheets
#### expected output
			
			
			
R1,10k,0603		
C1,100n,0402		
U1,LM317,TO-220		
Quillary3016000000	2 (very hidden)
Lines	-1 (visible)	active
Out	-1 (visible)
#### expected errors
quillary: message (exclamation) [OK]
  ( Null ): The worksheet Out is protected.

  The output lines cannot be written into it and split into columns while it is protected.

  Nothing has been written. Unprotect the worksheet, or choose another target, and try again.
quillary: answered OK (default)
quillary: message (exclamation) [OK]
  ( Null ): The worksheet Lines is protected.

  Selected cells that the output lines would replace are locked.

  Nothing has been written. Unprotect the worksheet, or choose another target, and try again.
quillary: answered OK (default)
quillary: message (information) [OK]
  (  ): This WorkBook is Protected. This Action requires that a New WorkSheet be added to the workbook.

  This Action will NOT execute.
quillary: answered OK (default)
