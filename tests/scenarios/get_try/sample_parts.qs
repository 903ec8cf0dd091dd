# The three presses of scripts/sample.sh on the sample workbook.
load samples/parts
set MainUserForm.CheckBox9.Value True

# Reference designators of five rows, condensed into index ranges.
select A2:A6
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption

# All the rows: R2 is there twice, and the fault marks it.
select A2:A12
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption

# The part names as plain texts, sorted, with their duplicates summarised.
set MainUserForm.CheckBox9.Value False
set MainUserForm.CheckBox1.Value True
set MainUserForm.CheckBox3.Value True
set MainUserForm.CheckBox4.Value True
select B2:B12
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption
print clipboard
#### expected output
R1-R7, C1-C6, U1
Count = 14
 Quilet> R1-R2, R2 <Quilet
 Duplicate
Duplicates_Summary  (ready to paste)
Dup	     2	Capacitor 100nF
Dup	     2	Microcontroller
Dup	     2	Resistor 10k
 Duplicate
Duplicates_Summary\nDup\t     2\tCapacitor 100nF\nDup\t     2\tMicrocontroller\nDup\t     2\tResistor 10k
