# Bookmarks: with "place a bookmark at each hit" ticked every found cell gets a line in
# its comment; the bookmark button toggles the comment's colour; removing it takes the
# line out and leaves an older comment as it was.
new
cell A1 R5
cell A2 "R1-R5"
comment A2 "checked by QA"
select A1:A2
set QueryUserForm.Textbox1.Value R5
set QueryUserForm.CheckBox1.Value True
query-events NextButton_Click NextButton_Click PlaceBookmark_True
call GoQueryUserForm
print comments

set QueryUserForm.CheckBox1.Value False
query-events NextButton_Click RemoveBookmark NextButton_Click RemoveBookmark
call GoQueryUserForm
print comments
#### expected output
A1	hidden	Query:\t"R5"
A2	hidden	checked by QA\nQuery:\t"R5"
A2	hidden	checked by QA
#### expected errors
quillary: the Query form is shown; sending its events
quillary: the active cell is $A$1
quillary: Query event NextButton_Click
quillary: the active cell is $A$1
quillary: Query event NextButton_Click
quillary: the active cell is $A$2
quillary: Query event PlaceBookmark_True
quillary: the active cell is $A$2
quillary: the Query form is shown; sending its events
quillary: the active cell is $A$2
quillary: Query event NextButton_Click
quillary: the active cell is $A$2
quillary: Query event RemoveBookmark
quillary: the active cell is $A$2
quillary: Query event NextButton_Click
quillary: the active cell is $A$1
quillary: Query event RemoveBookmark
quillary: the active cell is $A$1
