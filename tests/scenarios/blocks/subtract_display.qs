# "Subtract Display V" from the Action list: after its confirmation (TRAVEL chosen on the
# big message form) the block engine runs unattended with the PasteType "Items": each
# block's Items less the Active Window's go beside it, until the empty block below the
# list, where it asks whether to go on. The Active Window shows its own Items again, the
# main form notes the result, later presses are attended again and the mode is "Null".
new
cell A1 "R1-R4, C1"
cell A2 "R2, U1"
cell A3 "C1, U2"
set MainUserForm.TextBox1.Value R2-3,C1
select A1
answer bigmsg Option
answer message Cancel
call Actions "Subtract Display V"
print cells A1:B4
print window
print control MainUserForm.Label2.Caption
print control MainUserForm.label10.Caption
print control MainUserForm.CheckBox6.Caption
print control MailBoxForm.SkipMenu.Enabled
#### expected output
R1-R4, C1	R1,R4
R2, U1	U1
C1, U2	U2
	
R2-3,C1
Count= N/A (PasteSubtract)
Paste last result. For window Items, change PasteType.
Items
False
#### expected errors
quillary: big message [OK "Once"]* [Option "Travel"] [Cancel]
  "Subtract Display V" has been initiated.  OK To Subtract Items in Quillary's Active Window from the selection?
  Excel's Undo will not revert this!

  A new list will be created to the right of your selection which will OMIT all Items presently shown in Quillary's Active Window. If the column to the right of your selection is not empty, insert an empty column there to receive the new resulting list (Right-click the column identifier letter and "Insert").

  This eliminates error prone hand editing, and eliminates having to spend time manually looking for each Item that needs edits. For example, use this to create accurate "Assembly Option Lists". To do this, first provide Quillary with a copy of a Master List that includes all possible components. Then from that list, in a single pass, automatically Subtract all Items not belonging to a particular assembly. When Subtracting from Items which have been defined using hyphenated Index ranges, be sure to use the CountIndex# Mode so that Items within hyphenated ranges can be removed.

  To generate new counts of remaining Items, select the newly created list and use Quillary's "Paste >" after setting "PasteType" to "Count".

  TRAVEL: Processing continues downward applying the same size/shape selection until an all-empty area is encountered.
  ONCE: Processes only the current selection.
  CANCEL: To abort.

  Use the Ctrl key to Abort during processing.

  |||||||||||||||||||||||
  You have selected one row.
  Consider selecting all rows of interest and then use the "Subtract >" Action instead for simpler performance.

  This process evaluates an area the size of your initial selection, puts the result to its right, and steps downward to an area of the same size and checks whether it is all-empty. When an all-empty area is encountered, you will be asked if the process should continue. You can prevent the process from pausing to ask that question before reaching the end of the list by copying a unique string of characters into the clipboard, select the area of interest, use Excel's Edit>GoTo>Special>BLANKS to limit the selection to only empty cells, and then paste the unique string of characters. After the "Subtract Display V" process completes, use Excel's Find and Replace to remove that unique string.

  CountIndex# Mode is enabled. Items will be sorted before being placed into a single cell to the right of your selection.
  _______________________
  NOTES
  Prior to initiating this Action, put one or more Item names into a spare cell or select an existing cell which contains Items to be removed from the list. Use Get/Test to bring the Items into Quillary's Window. When this Action is applied, a new list is generated that does not include the Items originally loaded into Quillary's active window.

  Select only the columns which might contain the Item(s) of interest since all results will be placed into a single column to the right. When the processing has completed, you can copy the results along with any other related columns of interest to another area of the same worksheet or to another worksheet.

  Input Verification: It is recommended to verify the integrity of the original input list prior to using this Action. Do this by selecting all of the Items of interest and either use Quillary's IgnoreIndex# Mode with the Sort/Duplicates option enabled, or use the CountIndex# Mode. It is usually best to remedy any reported problems before proceeding.

  Output Result Confirmation: There are different methods to confirm that the results are as expected. You can select the Original Input Items of interest and then make an additional selecton of the Output Result Items (use the Ctrl key). Then use Quillary's "COMPARE 2/Uniques" Action. Or use Quillary's "Subtract" button to subtract the Output Result Items from the Original Input Items to see that the Items remaining in Quillary's Window are the identical Items which were specified to be removed.
quillary: answered Option (queued)
quillary: message [OK]* [Cancel]
  ( Subtract Display V ): OK to continue processing downward?
quillary: answered Cancel (queued)
