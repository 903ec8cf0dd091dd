# The Query on the sample parts list: find an Item, replace it, undo it, and walk the
# duplicated part names.
#
#   quillary run samples/query.qs [OUTPUT-FOLDER]
#
# Run from the project folder; the workbook is saved to OUTPUT-FOLDER (default: out).
# What the Query form shows after each press (the active cell) and its questions go to
# standard error.

load samples/parts

# Find R6 among the reference designators: it lies inside the range R5-R7 of A2.
select A2:A12
set QueryUserForm.Textbox1.Value R6
query-events NextButton_Click
call GoQueryUserForm
print control QueryUserForm.Label2.Caption

# Find R2 (in A2 and A7), replace the first with R8 and undo it (the next Next shows it
# again, as it holds R2 once more); go on to the second and replace it.
set QueryUserForm.Textbox1.Value R2
set QueryUserForm.Textbox2.Value R8
query-events NextButton_Click ReplaceButtonClick ReplaceButtonClick NextButton_Click NextButton_Click ReplaceButtonClick
call GoQueryUserForm
print cells A2:A7
print comments

# Get/Try on the part names in IgnoreIndex# with Sort finds duplicates and walks them on
# the Query form: Next shows each cell; at the end of a name, go on to the next name.
select B2:B12
set MainUserForm.CheckBox1.Value True
set MainUserForm.CheckBox3.Value True
set QueryUserForm.Textbox2.Value ""
answer queryend Different Different
query-events NextButton_Click NextButton_Click NextButton_Click NextButton_Click NextButton_Click
call GetSubtractSortCnt
print window

save ${1:-out}
