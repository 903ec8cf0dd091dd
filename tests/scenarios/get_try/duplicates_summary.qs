# IgnoreIndex#, Sort and Tag duplicates: the window shows the Duplicates_Summary, the
# clipboard holds it without "(ready to paste)", its columns split at tabs when pasted.
new
cell A1 a
cell A2 b
cell A3 a
select A1:A3
set MainUserForm.CheckBox1.Value True
set MainUserForm.CheckBox3.Value True
set MainUserForm.CheckBox4.Value True
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption
print clipboard
print cells Quillary3016000000!J1:L2
#### expected output
Duplicates_Summary  (ready to paste)
Dup	     2	a
 Duplicate
Duplicates_Summary\nDup\t     2\ta
Duplicates_Summary		
Dup\t     2\ta		
