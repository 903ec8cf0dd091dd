# Preview: the host puts the source rows on the working sheet and reads the lines back
# from its column A. Nothing is asked, split or numbered; with HideSpcs clear the spaces
# stay, with it ticked they go at the column edges and the line ends.
new
call InitPlace
cell text Quillary3016000000!Z1 "  a , b  "
cell text Quillary3016000000!Z2 "c;d"
set ParseForm.ParsingCtrlText.Value ,>o_
set ParseForm.SemicolonOpt.Value True
set MailBoxForm.Message.Caption $Z$1:$Z$2
set MailBoxForm.shtDiffRpt.Caption Quillary3016000000
set ParseForm.HideSpcs.Value False
call Parser
print cells Quillary3016000000!A1:A2
set ParseForm.HideSpcs.Value True
call Parser
print cells Quillary3016000000!A1:A2
print sheets
print messages
#### expected output
  a ; b  
c;d
  a;b
c;d
Quillary3016000000	2 (very hidden)
Sheet1	-1 (visible)	active
