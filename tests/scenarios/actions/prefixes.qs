# The prefix actions rewrite lists of reference designators: every Item after a cell's
# first takes the first Item's prefix, loses it, or loses it only after a hyphen. The
# separators follow the main form's comma-space box. A cell whose first Item has no
# prefix and number, or whose Items mix prefixes, is reported and left as it is; Cancel
# ends the action there.
new
cell text A1 "R1, 2, 3-5"
cell text A2 "R1 , R2 -  R4"
cell text A3 "R1, R2,"
cell text A4 "IC10-IC12, 14"
select A1:A4
set MainUserForm.CheckBox9.Value True
call Actions "Prefix||  Set"
print cells A1:A4
call Actions "Prefix||  Clear"
print cells A1:A4
call Actions "Prefix|| AfterHyphen Clr"
print cells A1:A4
set MainUserForm.CheckBox9.Value False
call Actions "Prefix||  Set"
print cells A1:A4

# Faults: OK goes on with the next cell, Cancel stops.
cell text B1 "5, R6"
cell text B2 "R1, C2"
cell text B3 "C3,4"
select B1:B3
answer message OK OK
call Actions "Prefix||  Set"
print cells B1:B3
cell text B3 "C3,4"
answer message Cancel
call Actions "Prefix||  Set"
print cells B1:B3
#### expected output
R1, R2, R3-R5
R1, R2-R4
R1, R2,
IC10-IC12, IC14
R1, 2, 3-5
R1, 2-4
R1, 2,
IC10-12, 14
R1, R2, R3-5
R1, R2-4
R1, R2,
IC10-12, IC14
R1,R2,R3-R5
R1,R2-R4
R1,R2,
IC10-IC12,IC14
5, R6
R1, C2
C3,C4
5, R6
R1, C2
C3,4
#### expected errors
quillary: message [OK]* [Cancel]
  ( Prefix||  Set ): The first Item name in each selected cell must consist of an alpha prefix and an index number.

  If necessary, manually edit the first Item name so that it has an alpha prefix and an index number (e.g. R1) and re-apply this action.

  OK to Continue with other cells selected?
quillary: answered OK (queued)
quillary: message [OK]* [Cancel]
  ( Prefix||  Set ): RefDes prefixes within one cell must all be the same.

  Manually correct any unintentional extra spaces within Item names and correct any missing commas between Items.

  OK to Continue with other cells selected?
quillary: answered OK (queued)
quillary: message [OK]* [Cancel]
  ( Prefix||  Set ): The first Item name in each selected cell must consist of an alpha prefix and an index number.

  If necessary, manually edit the first Item name so that it has an alpha prefix and an index number (e.g. R1) and re-apply this action.

  OK to Continue with other cells selected?
quillary: answered Cancel (queued)
