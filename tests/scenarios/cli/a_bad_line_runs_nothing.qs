# Every word of every line is checked before the first command runs: a value a control
# does not take (a check box is True, False or Null) stops the script at once, so
# nothing is printed and nothing is saved.
new
cell A1 x
print cells A1
save ${1}/out
set MainUserForm.CheckBox1.Value maybe
#### expected output
#### expected errors
quillary: line 8: MainUserForm.CheckBox1.Value takes True, False or Null, not 'maybe'
#### expected status 2
