# The Subtract button subtracts the Items of the selection (every area) from the Active
# Window's in one pass: the rest is shown, counted and staged for pasting; nothing is
# written beside the selection.
new
cell A1 R2
cell A2 C1
cell C1 R3
set MainUserForm.TextBox1.Value R1-4,C1-2
select A1:A2,C1
call GetSubtractSortCntPasteTravel SubtractButton
print window
print control MainUserForm.Label2.Caption
print clipboard
print cells A1:B2
#### expected output
R1,R4,C2
Count = 3
R1,R4,C2
R2	
C1	
