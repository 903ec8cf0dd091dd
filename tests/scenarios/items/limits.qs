# A list holds as many Item descriptions as the working sheet has rows, less three:
# 65,533 on a sheet of 65,536 rows. Past that, Get/Try explains the limit of its mode
# and stops, showing the fault instead of the count.
new small
cell A1:A65535 x
select A1:A65535

set MainUserForm.CheckBox1.Value True
call GetSubtractSortCnt
print control MainUserForm.Label2.Caption

set MainUserForm.CheckBox1.Value False
cell A1:A65535 R1
call GetSubtractSortCnt
print control MainUserForm.Label2.Caption

# ExpandRanges: one description per index number.
new small
cell A1 R1-R70000
select A1
set MainUserForm.checkbox2.Value True
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption
#### expected output
Too Many Items
Too Many Items

Too Many Items - ExpandRanges is ON
#### expected errors
quillary: message (information) [OK]
  (  ): You are using "IgnoreIndex#" Mode and the limit of 65533 Item descriptions has been exceeded.

  Changing to the "CountIndex#" Mode will not reduce your Item description count unless you can condense your lists using hypenated ranges (a single description can contain thousands of Items).

  Try making smaller selections to be operated on and then combine the results.
quillary: answered OK (default)
quillary: the Query form is shown
quillary: the active cell is $A$65534
quillary: message (information) [OK]
  (  ): You are using "CountIndex#" Mode and the limit of 65533 Item descriptions has been exceeded.

  Changing to the "IgnoreIndex#" Mode will not reduce your Item description count.

  Try making smaller selections to be operated on and then combine the results.
quillary: answered OK (default)
quillary: the Query form is shown
quillary: the active cell is $A$65534
quillary: message (information) [OK]
  (  ): The maximum Item count of 65533 has been exceeded.

  Try processing smaller amounts of Items or turn off the "ExpandRanges" option.
quillary: answered OK (default)
quillary: the Query form is shown
quillary: the active cell is $A$1
