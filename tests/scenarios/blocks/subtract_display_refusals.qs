# Subtract Display refuses an Active Window that begins with a fault, and, in
# IgnoreIndex#, the duplicate tagging option; "Subtract Display >" offers only OK and
# works row by row through the first area.
new
cell A1 "R1, R2"
cell A2 "R2, R3"
set MainUserForm.TextBox1.Value " Quilet> R5-R2 <Quilet"
select A1:A2
call Actions "Subtract Display >"
set MainUserForm.CheckBox1.Value True
set MainUserForm.CheckBox4.Caption "Tag Dups"
set MainUserForm.CheckBox4.Value True
call Actions "Subtract Display >"
set MainUserForm.CheckBox1.Value False
set MainUserForm.CheckBox4.Value False
set MainUserForm.TextBox1.Value R2
answer bigmsg OK
call Actions "Subtract Display >"
print cells A1:B2
#### expected output
R1, R2	R1
R2, R3	R3
#### expected errors
quillary: message (information) [OK]
  ( SubtractDisplay ): There is a fault message displayed within Quillary's Active Window.

  Subtracting the faulty Active Window from your worksheet selection is not permitted.

  Please try again using Items which have no faults.
quillary: answered OK (default)
quillary: message (information) [OK]
  ( SubtractDisplay ): The "Tag Dups" option is active.

  You can not use the SubtractDisplay action with that option active.

  After you release this message, please uncheck "Tag Dups"
quillary: answered OK (default)
quillary: big message [OK]* [Cancel]
  "Subtract Display >" has been initiated.  OK To Subtract Items in Quillary's Active Window from the selection?
  Excel's Undo will not revert this!

  A new list will be created to the right of your selection which will OMIT all Items presently shown in Quillary's Active Window. If the column to the right of your selection is not empty, insert an empty column there to receive the new resulting list (Right-click the column identifier letter and "Insert").

  This eliminates error prone hand editing, and eliminates having to spend time manually looking for each Item that needs edits. For example, use this to create accurate "Assembly Option Lists". To do this, first provide Quillary with a copy of a Master List that includes all possible components. Then from that list, in a single pass, automatically Subtract all Items not belonging to a particular assembly. When Subtracting from Items which have been defined using hyphenated Index ranges, be sure to use the CountIndex# Mode so that Items within hyphenated ranges can be removed.

  To generate new counts of remaining Items, select the newly created list and use Quillary's "Paste >" after setting "PasteType" to "Count".

  CountIndex# Mode is enabled. Items will be sorted before being placed into a single cell to the right of your selection.
  _______________________
  NOTES
  Prior to initiating this Action, put one or more Item names into a spare cell or select an existing cell which contains Items to be removed from the list. Use Get/Test to bring the Items into Quillary's Window. When this Action is applied, a new list is generated that does not include the Items originally loaded into Quillary's active window.

  Select only the columns which might contain the Item(s) of interest since all results will be placed into a single column to the right. When the processing has completed, you can copy the results along with any other related columns of interest to another area of the same worksheet or to another worksheet.

  Input Verification: It is recommended to verify the integrity of the original input list prior to using this Action. Do this by selecting all of the Items of interest and either use Quillary's IgnoreIndex# Mode with the Sort/Duplicates option enabled, or use the CountIndex# Mode. It is usually best to remedy any reported problems before proceeding.

  Output Result Confirmation: There are different methods to confirm that the results are as expected. You can select the Original Input Items of interest and then make an additional selecton of the Output Result Items (use the Ctrl key). Then use Quillary's "COMPARE 2/Uniques" Action. Or use Quillary's "Subtract" button to subtract the Output Result Items from the Original Input Items to see that the Items remaining in Quillary's Window are the identical Items which were specified to be removed.
quillary: answered OK (queued)
