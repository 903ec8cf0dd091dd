# CommaSpace puts ", " between Items; IgnoreIndex# without Sort keeps the order of
# collection and marks the caption, which is then left-aligned.
new
cell A1 b
cell A2 a
cell A3 c
select A1:A3
set MainUserForm.CheckBox9.Value True
call GetSubtractSortCnt
print window
set MainUserForm.CheckBox1.Value True
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption
print control MainUserForm.Label2.TextAlign
#### expected output
b, a, c
b,a,c
 IgnrIndex  Count = 3
1
