# Compares two revisions of a parts list with "COMPARE 2/Uniques": the reference
# designators only Rev A holds go to the left window, those only Rev B holds to the
# right one; both sides are tagged and coloured on the sheet, and the rows that differ
# are written onto the "Revisions-DiffRpt1" report sheet. The workbook is saved with
# the tags and the report.
#
#   quillary run samples/compare.qs [OUTPUT-FOLDER]
#
# Run from the project folder; the workbook is saved to OUTPUT-FOLDER (default: out).

load samples/revisions
select A2:A9,C2:C9

# In the compare dialog: list the unique Items beside each row, colour both sides and
# write the difference report; then USE NEW compares the two areas.
set CompDupUserForm.ListUniques.Value True
set CompDupUserForm.ColorLeftEnable.Value True
set CompDupUserForm.ColorRightEnable.Value True
set CompDupUserForm.SummaryYes.Value True
answer compare UseNew
# The report's page set-up: No; the windows: left as they are.
answer message No Cancel
call Actions "COMPARE 2/Uniques"

print control MainUserForm.TextBox1.Value
print control MainUserForm.TextBox2.Value
print cells Revisions!A1:D9
print sheets
print cells Revisions-DiffRpt1!A2:D9

save ${1:-out}
