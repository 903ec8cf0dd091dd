# A CSV field longer than the 32,767 characters a cell holds is cut to them, and the
# load says which cell; a path that does not exist is named.
load tests/scenarios/workbook/long_field
print cells B3
load tests/scenarios/workbook/no_such_folder
#### expected output
short
#### expected errors
quillary: note: Notes!B2: the text of 40000 characters was cut to the 32767 a cell holds
quillary: line 5: 'tests/scenarios/workbook/no_such_folder' does not exist
#### expected status 1
