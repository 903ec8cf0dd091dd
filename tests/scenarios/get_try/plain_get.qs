# A plain Get/Try: the prefixes in the order first met, each with its numbers sorted and
# joined into ranges; the count in the caption (right-aligned) and on the command bar;
# the list on the clipboard and staged as text on the working sheet.
new
cell A1 "R5, R2"
cell A2 "C1,R1"
cell A3 R3
select A1:A3
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption
print control MainUserForm.Label2.TextAlign
print count
print clipboard
print cells Quillary3016000000!ExcelPaste
print formats Quillary3016000000!ExcelPaste
print control MainUserForm.Label11.Caption
print control MainUserForm.label10.Caption
print control MainUserForm.CheckBox8.Value
print selection
#### expected output
R1-3,R5,C1
Count = 5
2
Cnt= 5
R1-3,R5,C1
R1-3,R5,C1
J1	format=@
     10 Characters.

False
Sheet1	$A$1:$A$3	$A$1
