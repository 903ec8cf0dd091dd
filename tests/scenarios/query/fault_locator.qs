# Get/Try hands a grammar fault over to the Query: the form opens on the offending cell as
# the FAULT LOCATOR; Next ends the pass there. A fault whose Item the Query cannot find in
# its cell (the Item list holds an apostrophe as "´") turns the form into Find Item.
new
cell A1 R1
cell A2 "C4, R1-R2-R3"
cell A3 C7
select A1:A3
answer queryend Repeat
query-events NextButton_Click
call GetSubtractSortCnt
print control QueryUserForm.CaptionLabel.Caption
print control QueryUserForm.Label1.Caption
print control QueryUserForm.Textbox1.Value
print control QueryUserForm.Textbox1.Locked

cell A2 "C4, O'R1-R2-R3"
call GetSubtractSortCnt
print control QueryUserForm.CaptionLabel.Caption
print control QueryUserForm.Label1.Caption
print control QueryUserForm.Textbox1.Value
print control QueryUserForm.Textbox1.Locked
#### expected output
Quillary FAULT LOCATOR
Has More Than 1 Hyphen
R1-R2-R3
True
Quillary Query Item  Ctrl+Q/Alt+Q
Find Item:
O´R1-R2-R3
False
#### expected errors
quillary: the Query form is shown; sending its events
quillary: the active cell is $A$2
quillary: Query event NextButton_Click
quillary: end of the Query pass [Repeat]
  Found all the cells having R1-R2-R3
quillary: answered Repeat (queued)
quillary: the active cell is $A$2
quillary: message (information) [OK]
  FAULT: "Has More Than 1 Hyphen"

  The Item can not be found using Query, but its cell is probably highlighted anyway. Will now change from "Quillary FAULT LOCATOR" mode to "Quillary Query Item  Ctrl+Q/Alt+Q" mode so that you can edit the search term.

  Because Quillary's Query generally locates Items based on the selected mode's rules, a specific Item within the highlighted cell cannot be identified by Query due to a syntax problem.

  CountIndex# Mode is enabled which causes Query to be Upper and Lower case sensitive.
  TRY USING QUILLARY'S "CommaSpace: Clr" Action or try using the "IgnoreIndex#" Mode.

  Automatically locate faults/duplicates by closing Query dialogs and use GET/TRY.

  Other Quillary Actions that might help are: "CommaSpace: Set" and "Prefix: Set".
quillary: answered OK (default)
quillary: the Query form is shown
quillary: the active cell is $A$2
