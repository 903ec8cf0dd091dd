# A fault takes the count's place in both labels, marks the Item in the window, sets the
# notice flag and clears the command-bar count.
new
cell A1 "R1, R2"
cell A2 R3
select A1:A2
call GetSubtractSortCnt
print count

# A duplicate.
cell A2 R2
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption
print control MainUserForm.label10.Caption
print control MainUserForm.CheckBox8.Value
print count

# A grammar fault.
cell A1 R1
cell A2 R1-R2-R3
set MainUserForm.CheckBox8.Value False
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption
print control MainUserForm.label10.Caption
print control MainUserForm.CheckBox8.Value
print count
#### expected output
Cnt= 3
 Quilet> R1-2, R2 <Quilet
 Duplicate
 Duplicate
True

 Quilet> R1-R2-R3 <Quilet
Has More Than 1 Hyphen
Has More Than 1 Hyphen
True

#### expected errors
quillary: the Query form is shown
quillary: the active cell is $A$1
quillary: the Query form is shown
quillary: the active cell is $A$2
