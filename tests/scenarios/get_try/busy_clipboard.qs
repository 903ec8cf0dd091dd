# A clipboard that stays busy through every retry: the count is still shown, the message
# line says the result was not copied.
new
cell A1 R1
select A1
clipboard fail 49 set
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption
print control MainUserForm.label10.Caption
print control MainUserForm.CheckBox8.Value
print clipboard

# One failure less, and the retries get through.
clipboard fail 48 set
call GetSubtractSortCnt
print control MainUserForm.label10.Caption
print clipboard
#### expected output
R1
Count = 1
ClipBrd busy: result NOT copied. Try Get/Try again.
True


R1
