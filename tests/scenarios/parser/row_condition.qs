# A script with a row condition: "by", Chr(31) (the invisible character after "by"),
# operand a written once ("a1"): the rows that begin with "#" run the commands of
# section 1 (none: they stay as they are), the others those of section 2, here the
# first two commas to the output delimiter (Tab) and every "-" deleted.
new
cell text A1 "# header, kept"
cell text A2 "a,b-c,d,e"
cell text A3 "x-y"
select A1:A3
set ParseForm.ParsingCtrlText.Value "bya1_b>'\\2,>o_"
set ParseForm.atext.Value "#"
set ParseForm.btext.Value -
set ParseForm.TabOpt.Value True
set MailBoxForm.Message.Caption $A$1:$A$3
set MailBoxForm.shtDiffRpt.Caption Sheet1
call Parser
print cells A1:A3
#### expected output
# header, kept
a\tbc\td,e
xy
