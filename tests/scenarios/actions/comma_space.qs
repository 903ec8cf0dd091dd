# "Comma Space||  Set" makes every run of blanks, tabs, line breaks and commas one ", "
# and closes up hyphens; it asks once whether parentheses are separators too.
# "Comma Space||  Clear" takes the blanks from around commas, or, when the host left 2
# in the big message form's answer, only collapses blanks. Numbers and formulas stay.
new
cell text A1 "R1 R2,R3 ,  R4"
cell text A2 "R1 - R5  R7"
cell text A3 "A\r\nB\nC"
cell text A4 "C1(C2)"
cell text A5 "D1 (D2)"
cell A6 12
cell A7 "=""x  y"""
select A1:A7
answer message Yes
call Actions "Comma Space||  Set"
print cells A1:A7

cell text A4 "C1(C2)"
answer message No
call Actions "Comma Space||  Set"
print cells A4

cell text B1 "R1, R2 , R3,  R4"
cell text B2 "R1,\nR2"
cell text B3 "R1,  R2\tR3"
select B1:B3
call Actions "Comma Space||  Clear"
print cells B1:B3
cell text B3 "R1,  R2\tR3"
set BigMsgForm.Answer.Caption 2
call Actions "Comma Space||  Clear"
print cells B1:B3
#### expected output
R1, R2, R3, R4
R1-R5, R7
A, B, C
C1, C2
D1, D2
12
x  y
C1(C2)
R1,R2,R3,R4
R1\nR2
R1,R2\tR3
R1,R2,R3,R4
R1\nR2
R1, R2 R3
#### expected errors
quillary: message (information) [Yes]* [No]
  ( Comma Space||  Set ): There are Parenthesis within the selected content which might be used as delimiters. 

  Would you like Quillary to replace ALL parenthesis found within your selection with a comma (Quillary's delimiter)?
quillary: answered Yes (queued)
quillary: message (information) [Yes]* [No]
  ( Comma Space||  Set ): There are Parenthesis within the selected content which might be used as delimiters. 

  Would you like Quillary to replace ALL parenthesis found within your selection with a comma (Quillary's delimiter)?
quillary: answered No (queued)
