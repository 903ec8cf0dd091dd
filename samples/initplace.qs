# Prepares the component's working sheet in the sample parts list.
#
#   quillary run samples/initplace.qs [OUTPUT-FOLDER]
#
# Run from the project folder; the workbook is saved to OUTPUT-FOLDER (default: out).

load samples/parts
print sheets

# The reference designators of every part.
select A2:A12
call InitPlace

# The working sheet is there now, very hidden, with its three names.
print sheets
print names
# Its lists stay empty until a request gathers Items into them.
print cells Quillary3016000000!A1:K2

save ${1:-out}
