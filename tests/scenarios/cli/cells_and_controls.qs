# Cells take values as a user types them; controls take their properties by name in any
# case, the form also with its "vba" prefix.
new small
cell A1:B2 '007
cell C1 12.50
cell A3 "tab\here"
set vbaMainUserForm.checkbox1.Value True
print control MainUserForm.CheckBox1.Value
set MainUserForm.TextBox1.BackColor &HE0E0E0
set MainUserForm.TextBox2.Text 007
print window
print cells A1:C3
print control MailBoxForm.SkipMenu.Enabled
#### expected output
True
007
007	007	12.5
007	007	
tab\\here		
False
