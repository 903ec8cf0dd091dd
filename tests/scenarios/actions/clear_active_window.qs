# "Clear Active Window" empties the Active Window and leaves it the active one; it runs
# before the unattended flag is reset, so the flag stays as it was.
new
set MainUserForm.TextBox1.BackColor &HE0E0E0
set MainUserForm.TextBox2.BackColor &HFFFFFF
set MainUserForm.TextBox2.Text "R1-R5, C1"
set MainUserForm.TextBox1.Text "kept"
set MailBoxForm.SkipMenu.Enabled True
call Actions "Clear Active Window"
print window
print control MainUserForm.TextBox1.Text
print control MainUserForm.TextBox2.BackColor
print control MailBoxForm.SkipMenu.Enabled
#### expected output

kept
16777215
True
