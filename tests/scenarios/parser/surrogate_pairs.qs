# A character of two UTF-16 code units (an emoji) is one character to the parser: the
# character a count of places on ("1^": one place on) never falls between its two
# units, and the delimiter written before ("-o") or after ("+o") it leaves it whole.
new
cell text A1 "😀😀 ok"
cell text A2 "a😀b"
cell text A3 "ab😀"
select A1:A3
set ParseForm.ParsingCtrlText.Value 1^-o_
set ParseForm.BarOpt.Value True
set MailBoxForm.Message.Caption $A$1:$A$3
set MailBoxForm.shtDiffRpt.Caption Sheet1
call Parser
print cells A1:A3

cell text A1 "😀😀 ok"
cell text A2 "a😀b"
cell text A3 "ab😀"
set ParseForm.ParsingCtrlText.Value 1^+o_
call Parser
print cells A1:A3
#### expected output
😀|😀 ok
a|😀b
a|b😀
😀😀| ok
a😀|b
ab|😀
