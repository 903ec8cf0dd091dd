# Tags the duplicated part names of a column, as Get/Try does with "Dups:Tag & Rprt":
# every row holding a duplicate is painted and gets its duplicated names in the column
# to its right. The workbook is saved with the tags.
#
#   quillary run samples/tag_duplicates.qs [OUTPUT-FOLDER]
#
# Run from the project folder; the workbook is saved to OUTPUT-FOLDER (default: out).

load samples/revisions
sheet Names
select A2:A9

# IgnoreIndex# (names are plain texts), Sort, and tag duplicates.
set MainUserForm.CheckBox1.Value True
set MainUserForm.CheckBox3.Value True
set MainUserForm.CheckBox4.Value True
# In the TAG SETTINGS dialog: tags beside the rows, and the colour for marking them.
set CompDupUserForm.LocatorLabel.Value True
set CompDupUserForm.ColorLeftEnable.Value True
answer compare UseNew
call GetSubtractSortCnt

# The Duplicates_Summary, and the tags beside the names.
print window
print cells A1:B9
print formats A2:B9

save ${1:-out}
