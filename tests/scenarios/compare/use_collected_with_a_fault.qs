# COMPARE 2/Uniques with USE COLLECTED when a window's list holds an Item that breaks
# the grammar: the fault is reported in the main form's labels as Get/Try reports a
# fault of the window's text, nothing is compared, and both windows keep their texts.
new
select A1
set MainUserForm.TextBox1.Value "R3, R5-R2"
set MainUserForm.TextBox2.Value "R3, R4"
answer compare UseCollected
call Actions "COMPARE 2/Uniques"
print control MainUserForm.TextBox1.Value
print control MainUserForm.TextBox2.Value
print control MainUserForm.Label2.Caption
print control MainUserForm.label10.Caption
print control MainUserForm.Label11.Caption
print control MainUserForm.CheckBox8.Value
print count

# The same fault in the right window.
set MainUserForm.TextBox1.Value "R3, R4"
set MainUserForm.TextBox2.Value "R3, R5-R2"
answer compare UseCollected
call Actions "COMPARE 2/Uniques"
print control MainUserForm.TextBox1.Value
print control MainUserForm.TextBox2.Value
print control MainUserForm.Label2.Caption
#### expected output
R3, R5-R2
R3, R4
First >= HyphenSecond
First >= HyphenSecond
     9 Characters.
True

R3, R4
R3, R5-R2
First >= HyphenSecond
#### expected errors
quillary: compare dialog [UseNew] [UseCollected]* [Cancel]
  "COMPARE 2/Uniques" has been initiated.

  Displays all Items listed within one selection that are not listed within the other selection ("Uniques" or "Differences").

  What do you want to compare?
  (Only one worksheet area is selected, and two lists are in Quillary's Window).

  » USE COLLECTED: Compares the two previously collected lists already in Quillary's Window. The worksheet selections will be ignored. No Tags or Color Marking will be applied to the worksheet. No Summary Report will be generated (instead, paste Quillary's Split Windows for a listing). NOTE: Because only delimited Items are held within Quillary's Windows, it is not possible to compare whole cell contents if there are commas present. Multiple columns can not be compared. You must choose USE NEW to ignore commas and column boundaries. 

  » CANCEL: To abort. Then either select two worksheet areas to be compared, or use Quillary's GET/TRY to bring two lists into Quillary's Window to be compared.

  |||||||||||||||||||||||
  To select more than one area; Method#1) Make your first selection, then hold the Ctrl Key and Left-click on a column's IDENTIFIER letter or on a row's IDENTIFIER number -- drag to include more columns or rows if needed. Method#2) Make your first selection, then hold the Ctrl Key and Left-click on a CELL at the start of a new selection. Then expand the selection by dragging the mouse (or to expand, RELEASE THE CTRL KEY and HOLD THE SHIFT KEY, and then use either the Arrow Keys with the End Key or else click a cell that you want to become the opposite corner of your selection).
quillary: answered UseCollected (queued)
quillary: compare dialog [UseNew] [UseCollected]* [Cancel]
  "COMPARE 2/Uniques" has been initiated.

  Displays all Items listed within one selection that are not listed within the other selection ("Uniques" or "Differences").

  What do you want to compare?
  (Only one worksheet area is selected, and two lists are in Quillary's Window).

  » USE COLLECTED: Compares the two previously collected lists already in Quillary's Window. The worksheet selections will be ignored. No Tags or Color Marking will be applied to the worksheet. No Summary Report will be generated (instead, paste Quillary's Split Windows for a listing). NOTE: Because only delimited Items are held within Quillary's Windows, it is not possible to compare whole cell contents if there are commas present. Multiple columns can not be compared. You must choose USE NEW to ignore commas and column boundaries. 

  » CANCEL: To abort. Then either select two worksheet areas to be compared, or use Quillary's GET/TRY to bring two lists into Quillary's Window to be compared.

  |||||||||||||||||||||||
  To select more than one area; Method#1) Make your first selection, then hold the Ctrl Key and Left-click on a column's IDENTIFIER letter or on a row's IDENTIFIER number -- drag to include more columns or rows if needed. Method#2) Make your first selection, then hold the Ctrl Key and Left-click on a CELL at the start of a new selection. Then expand the selection by dragging the mouse (or to expand, RELEASE THE CTRL KEY and HOLD THE SHIFT KEY, and then use either the Arrow Keys with the End Key or else click a cell that you want to become the opposite corner of your selection).
quillary: answered UseCollected (queued)
