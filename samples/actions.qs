# Runs a few entries of the Action list on the sample parts list, as the host sends them
# when the user picks an entry ("Actions" with the entry's text as the mode).
#
#   quillary run samples/actions.qs [OUTPUT-FOLDER]
#
# Run from the project folder; the changed workbook is saved to OUTPUT-FOLDER (default:
# actions-out).

load samples/parts

# The later Items of each cell lose the prefix of its first Item, ", " between Items.
set MainUserForm.CheckBox9.Value True
select A2:A12
call Actions "Prefix||  Clear"
print cells A2:A12

# ... and get it back.
call Actions "Prefix||  Set"
print cells A2:A12

# The part names in upper case, then in Excel's proper case.
select B2:B12
call Actions "Case||  Upper"
print cells B2:B6
call Actions "Case||  Proper"
print cells B2:B6

# Quantities typed as text become numbers.
cell C13 "'0042"
select C13
call Actions "NUMBER Values"
print cells C13

# Comma spacing squeezed out of the designators; the question about parentheses is not
# asked, none are there.
select A2:A12
call Actions "Comma Space||  Clear"
print cells A2:A6

save ${1:-actions-out}
