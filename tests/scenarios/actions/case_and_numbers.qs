# The case actions and "NUMBER Values" work on text constants only: trimmed, no-break
# spaces as blanks, a text of blanks cleared. "NUMBER Values" lets texts be read again
# as typed, but a text that would become a formula stays a text.
new
cell text A1 "  mc donald-smith o'neil  "
cell text A2 "   "
cell A3 5
cell A4 "=""formula"""
select A1:A4
call Actions "Case||  Proper"
print cells A1:A4
call Actions "Case||  Upper"
print cells A1
call Actions "Case||  Lower"
print cells A1

cell text B1 " 7 "
cell text B2 "12 apples"
cell text B3 "=1+2"
cell text B4 -abc
cell text B5 1.5E3
cell text B6 0042
select B1:B6
call Actions "NUMBER Values"
print cells B1:B6
#### expected output
Mc Donald-Smith O'Neil

5
formula
MC DONALD-SMITH O'NEIL
mc donald-smith o'neil
7
12 apples
=1+2
-abc
1500
42
