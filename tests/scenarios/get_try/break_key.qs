# The break key stops the run: no window text, no count.
new
cell A1:A40 R1
select A1:A40
answer break 6
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption
print count
#### expected output



#### expected errors
quillary: break key answered "6"
