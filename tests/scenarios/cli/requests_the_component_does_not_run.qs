# A request for a routine the component does not know runs nothing; an error of the
# component (a Query form event while no request shows the form) is reported and passed
# over after "on-error continue".
new
call Foo
print sheets
on-error continue
event NextButtonClick
print sheets
#### expected output
Sheet1	-1 (visible)	active
Sheet1	-1 (visible)	active
#### expected errors
quillary: line 8: error 91 in NextButtonClick: Quillary: Object variable or With block variable not set
