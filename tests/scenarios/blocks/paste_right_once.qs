# "Paste >" processes the selection row by row (ONCE, as an attended press starts): the
# Items of each row, condensed, beside the row. The first block is selected again with
# the last row's first cell active.
new
cell A1 R3
cell B1 R1
cell A2 C2
cell B2 C1
cell A3 U1
cell B3 U2
select A1:B3
call PasteRight Paste_>
print cells A1:C3
print selection
print control MainUserForm.Label2.Caption
#### expected output
R3	R1	R1,R3
C2	C1	C1-2
U1	U2	U1-2
Sheet1	$A$1:$B$3	$A$3
Count = 2
