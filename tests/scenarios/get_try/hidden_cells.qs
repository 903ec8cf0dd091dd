# Hidden cells in the selection are gathered and noted on the character line.
new
cell A1 R1
cell A2 R2
cell A3 R3
hide rows 2:2
select A1:A3
call GetSubtractSortCnt
print window
print control MainUserForm.Label11.Caption
print control MainUserForm.CheckBox8.Value

# Shown again, they are not noted.
unhide rows A2
set MainUserForm.CheckBox8.Value False
call GetSubtractSortCnt
print control MainUserForm.Label11.Caption
print control MainUserForm.CheckBox8.Value

# Hidden columns count too.
cell B1 R4
hide columns B:B
select A1:B1
call GetSubtractSortCnt
print window
print control MainUserForm.Label11.Caption
#### expected output
R1-3
     4 Characters. Hidden cells.
True
     4 Characters.
False
R1,R4
     5 Characters. Hidden cells.
