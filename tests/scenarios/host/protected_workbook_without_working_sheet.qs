# A workbook whose structure is protected cannot take the working sheet the Item lists
# live on. While it has none, Get/Try, COMPARE 2/Uniques and the block engine say so
# and stop before they change anything; once it has one, they run.
new
cell A1 R2
cell A2 R1
cell C1 R1
protect workbook structure
select A1:A2
set MainUserForm.TextBox1.Value "kept"
call GetSubtractSortCnt
select A1:A2,C1
call Actions "COMPARE 2/Uniques"
select A1:A2
call Paste_V Paste_V
print sheets
print control MainUserForm.TextBox1.Value
print cells A1:C2

# With the working sheet made before the protection, Get/Try runs.
unprotect workbook
call InitPlace
protect workbook structure
select A1:A2
call GetSubtractSortCnt
print window
#### expected output
Sheet1	-1 (visible)	active
kept
R2		R1
R1		
R1-2
#### expected errors
quillary: message (information) [OK]
  (  ): This WorkBook is Protected. This Action requires that a New WorkSheet be added to the workbook.

  This Action will NOT execute.
quillary: answered OK (default)
quillary: message (information) [OK]
  ( COMPARE 2/Uniques ): This WorkBook is Protected. This Action requires that a New WorkSheet be added to the workbook.

  This Action will NOT execute.
quillary: answered OK (default)
quillary: message (information) [OK]
  ( Paste V ): This WorkBook is Protected. This Action requires that a New WorkSheet be added to the workbook.

  This Action will NOT execute.
quillary: answered OK (default)
