# A request for a routine the component does not know runs nothing, and quillary notes
# it, with the name meant when one is near (names are told apart by case); an error of
# the component (a Query form event while no request shows the form) is reported and
# passed over after "on-error continue".
new
call Foo
call getSubtractSortCnt
print sheets
on-error continue
event NextButtonClick
print sheets
#### expected output
Sheet1	-1 (visible)	active
Sheet1	-1 (visible)	active
#### expected errors
quillary: line 6: note: the component knows no routine 'Foo': it runs nothing (ROUTINES in --help lists the names)
quillary: line 7: note: the component knows no routine 'getSubtractSortCnt': it runs nothing (did you mean GetSubtractSortCnt?)
quillary: line 10: error 91 in NextButtonClick: Quillary: Object variable or With block variable not set
