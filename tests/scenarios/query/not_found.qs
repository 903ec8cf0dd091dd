# What the Query says when it finds nothing: over the whole sheet (one selected cell) and
# within a selection, in CountIndex# and IgnoreIndex#; a second Next repeats the report
# without searching again. A search text with a number of 15 digits is refused in
# CountIndex#. A whole-sheet search whose first cell is merged ends its pass too.
new
cell A1 R5
cell A2 abcd
select A1
set QueryUserForm.Textbox1.Value R9
query-events NextButton_Click NextButton_Click
call GoQueryUserForm
print control QueryUserForm.Label3.BackColor

set MainUserForm.CheckBox1.Value True
select A1:A2
set QueryUserForm.Textbox1.Value abc
query-events NextButton_Click
call GoQueryUserForm

set MainUserForm.CheckBox1.Value False
set QueryUserForm.Textbox1.Value R123456789012345
query-events NextButton_Click
call GoQueryUserForm
print control QueryUserForm.Label1.Caption

new
cell A1 R1
merge A1:B2
cell D4 x
select C1
set QueryUserForm.Textbox1.Value R9
query-events NextButton_Click
call GoQueryUserForm
#### expected output
16576
BigNum >=15 digits
#### expected errors
quillary: the Query form is shown; sending its events
quillary: the active cell is $A$1
quillary: Query event NextButton_Click
quillary: message (information) [OK]
  Query could not find a match for the Item specified on the current worksheet.

  Because only one cell was selected, the whole worksheet was searched. To limit the search area and shorten the search time, make a pre-selection.

  Check that you have used proper syntax for your search term because Quillary's Query generally abides by the rules which define Items.

  CountIndex# Mode is enabled which causes Query to be Upper and Lower case sensitive. 
  For Query to be case insensitive, use IgnoreIndex# Mode or use Quillary's "Case" Actions to set cells to the same Case.

  TRY USING QUILLARY'S "CommaSpace: Clr" Action or try using "IgnoreIndex#" Mode.

  Other Quillary Actions that might help are: "CommaSpace: Set" and "Prefix: Set".
quillary: answered OK (default)
quillary: the active cell is $A$1
quillary: Query event NextButton_Click
quillary: message (information) [OK]
  Query could not find a match for the Item specified on the current worksheet.

  Because only one cell was selected, the whole worksheet was searched. To limit the search area and shorten the search time, make a pre-selection.

  Check that you have used proper syntax for your search term because Quillary's Query generally abides by the rules which define Items.

  CountIndex# Mode is enabled which causes Query to be Upper and Lower case sensitive. 
  For Query to be case insensitive, use IgnoreIndex# Mode or use Quillary's "Case" Actions to set cells to the same Case.

  TRY USING QUILLARY'S "CommaSpace: Clr" Action or try using "IgnoreIndex#" Mode.

  Other Quillary Actions that might help are: "CommaSpace: Set" and "Prefix: Set".
quillary: answered OK (default)
quillary: the active cell is $A$1
quillary: the Query form is shown; sending its events
quillary: the active cell is $A$1
quillary: Query event NextButton_Click
quillary: message (information) [OK]


  IgnoreIndex# is enabled - Not searching inside ranges - Case insensitive.

  Query could not find a match for the specified Item WITHIN YOUR SELECTION.
quillary: answered OK (default)
quillary: the active cell is $A$1
quillary: the Query form is shown; sending its events
quillary: the active cell is $A$1
quillary: Query event NextButton_Click
quillary: message (information) [OK]
  (  ): You are using "CountIndex#" Mode and a number with 15 digits or more was found within the name you typed into the Query field "Find Item".

  Excel cannot process this number without the possibility of introducing rounding errors.

  Use the "IgnoreIndex#" Mode to ignore number values.
quillary: answered OK (default)
quillary: the active cell is $A$1
quillary: the Query form is shown; sending its events
quillary: the active cell is $C$1
quillary: Query event NextButton_Click
quillary: message (information) [OK]
  Query could not find a match for the Item specified on the current worksheet.

  Because only one cell was selected, the whole worksheet was searched. To limit the search area and shorten the search time, make a pre-selection.

  Check that you have used proper syntax for your search term because Quillary's Query generally abides by the rules which define Items.

  CountIndex# Mode is enabled which causes Query to be Upper and Lower case sensitive. 
  For Query to be case insensitive, use IgnoreIndex# Mode or use Quillary's "Case" Actions to set cells to the same Case.

  TRY USING QUILLARY'S "CommaSpace: Clr" Action or try using "IgnoreIndex#" Mode.

  Other Quillary Actions that might help are: "CommaSpace: Set" and "Prefix: Set".
quillary: answered OK (default)
quillary: the active cell is $C$1
