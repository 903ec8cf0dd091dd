# The Active Window swap turns a comma list into one Item per line (a line that would be
# taken for a formula gets a blank first) and back; each time the text is staged for
# pasting and the main form says what kind of paste is ready.
new
set MainUserForm.CheckBox9.Value True
set MainUserForm.TextBox1.Value "R1, -5, (12), C3"
call SwapDsply
print window
print control MainUserForm.label10.Caption
print clipboard
call SwapDsply
print window
print control MainUserForm.label10.Caption
print control MainUserForm.Label11.Caption
#### expected output
R1
 -5
 (12)
C3
Ready for multiple cell pasting (columnar).
R1\r\n -5\r\n (12)\r\nC3
R1, -5, (12), C3
Ready for single cell pasting.
     16 Characters.
