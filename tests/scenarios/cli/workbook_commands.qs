# The commands that set a scenario's stage, shown through the print commands.
new
cell A1 x

# Escapes in the texts of set and comment.
set MainUserForm.TextBox1.Text "two\r\nlines\tand a \\"
print control MainUserForm.TextBox1.Text
comment A1 "first\nsecond"
comment C3 shown visible
print comments

# Merged areas; a selection grows over those it touches.
merge B2:C3,E1:E2
print merges
select C2
print selection

# Sheet visibility.
call InitPlace
visibility Quillary3016000000 0
print sheets
visibility Quillary3016000000 -1
print sheets

# A protected workbook cannot take the working sheet the component adds.
new
protect workbook structure
on-error continue
call InitPlace
print sheets
unprotect workbook
call InitPlace
print sheets

# A protected sheet refuses values in its locked cells.
protect sheet
cell A1 y
#### expected output
two\r\nlines\tand a \\
A1	hidden	first\nsecond
C3	visible	shown
$E$1:$E$2
$B$2:$C$3
Sheet1	$B$2:$C$3	$B$2
Quillary3016000000	0 (hidden)
Sheet1	-1 (visible)	active
Quillary3016000000	-1 (visible)
Sheet1	-1 (visible)	active
Sheet1	-1 (visible)	active
Quillary3016000000	2 (very hidden)
Sheet1	-1 (visible)	active
#### expected errors
quillary: line 29: error 1004 in InitPlace: Quillary: Method 'Add' of object 'Sheets' failed
quillary: line 37: error 1004 in Quillary: Range.Value: The cell or chart you're trying to change is on a protected sheet.
#### expected status 1
