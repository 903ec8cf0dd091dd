# A target choice that names the source sheet writes each line over its own source
# cell, spaces kept; a formula cell is left alone and a number comes back as text.
# Nothing is split and no sheet is added.
new
cell text B2 " x , y "
cell B3 12
cell B4 "=""p,q"""
cell text B5 "r,s"
select B2:B5
set ParseForm.ParsingCtrlText.Value ,>t_
set MailBoxForm.Message.Caption $B$2:$B$5
set MailBoxForm.shtDiffRpt.Caption Sheet1
call Parser
print cells B2:B5
print sheets
#### expected output
 x \t y 
12
p,q
r\ts
Quillary3016000000	2 (very hidden)
Sheet1	-1 (visible)	active
