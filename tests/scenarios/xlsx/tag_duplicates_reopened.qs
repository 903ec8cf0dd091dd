# A Get/Try that tags duplicated names on an xlsx workbook: the workbook is made an
# xlsx file, opened, tagged, saved and opened again, and keeps the tags' colours and
# comments, the names, the very hidden working sheet and the selection.
load samples/revisions
save ${1}/b.xlsx
load ${1}/b.xlsx
sheet Names
select A2:A9
set MainUserForm.CheckBox1.Value True
set MainUserForm.CheckBox3.Value True
set MainUserForm.CheckBox4.Value True
set CompDupUserForm.LocatorLabel.Value True
set CompDupUserForm.ColorLeftEnable.Value True
set CompDupUserForm.IDcomment.Value True
answer compare UseNew
call GetSubtractSortCnt
print window
save ${1}/b.xlsx
load ${1}/b.xlsx
print sheets
print names
print selection
print cells A1:B9
print formats A2:B9
print comments
