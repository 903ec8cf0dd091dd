# A request for a routine the component does not know runs nothing; one whose routine
# is not part of this build raises an error, which "on-error continue" reports and
# passes over.
new
call Foo
print sheets
on-error continue
call Actions "LastWord First w/Filter"
print sheets
#### expected output
Sheet1	-1 (visible)	active
Quillary3016000000	2 (very hidden)
Sheet1	-1 (visible)	active
#### expected errors
quillary: line 8: error 438 in Actions: Quillary: The routine "ReverseOrder" is not part of this build of the component.
