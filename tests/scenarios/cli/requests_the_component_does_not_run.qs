# A request for a routine the component does not know runs nothing; one whose routine
# is not part of this build raises an error, which "on-error continue" reports and
# passes over.
new
call Foo
print sheets
on-error continue
call Parser
print sheets
#### expected output
Sheet1	-1 (visible)	active
Sheet1	-1 (visible)	active
#### expected errors
quillary: line 8: error 438 in Quillary: The routine "Parser" is not part of this build of the component.
