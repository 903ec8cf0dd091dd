# Counts the parts of each board of a sample workbook beside the board's rows.
#
#   quillary run samples/board_counts.qs [OUTPUT-FOLDER]
#
# Run from the project folder; the workbook is saved to OUTPUT-FOLDER (default: out).
# On the sheet Boards each board takes three rows of reference designators (A2:A4,
# A5:A7, A8:A10). "Paste V" with the PasteType "Count" writes the number of parts of a
# block beside its first row, then travels down to the next block of the same size.

load samples/boards
set MainUserForm.CheckBox6.Caption Count
select A2:A4

# The questions, answered in advance: TRAVEL rather than ONCE on the big message form,
# and Cancel when the block below the last board is empty.
answer bigmsg Option
answer message Cancel
call Paste_V Paste_V

print cells Boards!A1:C10
print messages
save ${1:-out}
