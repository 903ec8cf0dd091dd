# Without "on-error continue", an error of the component ends the script with status 1.
new
call Actions "LastWord First w/Filter"
print sheets
#### expected output
#### expected errors
quillary: line 3: error 438 in Actions: Quillary: The routine "ReverseOrder" is not part of this build of the component.
#### expected status 1
