# On a protected sheet Get/Try still shows its list, notes the protection and stages
# nothing, also when the protection allows formatting.
new
cell A1 R1
cell A2 R2
select A1:A2
protect sheet
call GetSubtractSortCnt
print window
print control MainUserForm.label10.Caption
print clipboard

unprotect sheet
protect sheet Sheet1 allow-formatting
call GetSubtractSortCnt
print window
print control MainUserForm.label10.Caption
print clipboard
#### expected output
R1-2
Worksheet is Protected. ClipBrd and Actions are Limited.

R1-2
Worksheet is Protected. ClipBrd and Actions are Limited.

