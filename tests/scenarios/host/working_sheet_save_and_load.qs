# InitPlace makes the component's working sheet, very hidden, with its three names; the
# sheet, its names and the user's selection come back from a saved workbook.
load samples/parts
select A2:A5
call InitPlace
print sheets
save ${1}/saved
load ${1}/saved
print sheets
print names
print cells Parts!A2:B2
print selection
#### expected output
Quillary3016000000	2 (very hidden)
Parts	-1 (visible)	active
Quillary3016000000	2 (very hidden)
Parts	-1 (visible)	active
Quillary3016000000!unique1	=Quillary3016000000!$A$1
Quillary3016000000!ExcelPaste	=Quillary3016000000!$J$1
Quillary3016000000!unique1_w	=Quillary3016000000!$K$1
R1, R2, R5-R7	Resistor 10k
Parts	$A$2:$A$5	$A$2
