# The three presses of scripts/sample.sh on the sample workbook.
load samples/parts
set MainUserForm.CheckBox9.Value True

# Reference designators of five rows, condensed into index ranges.
select A2:A6
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption

# All the rows: R2 is there twice, and the fault marks it.
select A2:A12
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption

# The part names as plain texts, sorted, with their duplicates summarised.
set MainUserForm.CheckBox9.Value False
set MainUserForm.CheckBox1.Value True
set MainUserForm.CheckBox3.Value True
set MainUserForm.CheckBox4.Value True
select B2:B12
# The TAG SETTINGS dialog comes first; its OK tags nothing while no tag option is on.
answer compare UseNew
call GetSubtractSortCnt
print window
print control MainUserForm.Label2.Caption
print clipboard
#### expected output
R1-R7, C1-C6, U1
Count = 14
 Quilet> R1-R2, R2 <Quilet
 Duplicate
Duplicates_Summary  (ready to paste)
Dup	     2	Capacitor 100nF
Dup	     2	Microcontroller
Dup	     2	Resistor 10k
 Duplicate
Duplicates_Summary\nDup\t     2\tCapacitor 100nF\nDup\t     2\tMicrocontroller\nDup\t     2\tResistor 10k
#### expected errors
quillary: the Query form is shown
quillary: the active cell is $A$2
quillary: compare dialog [UseNew]* [UseCollected] [Cancel]
  "Dups:Tag & Rprt" has been initiated by using the "Get/Try" button.

  A single area has been selected. A Duplicates Summary will be placed in the clipboard and in Quillary's active window if you choose "OK" (regardless of your settings for Tagging and/or Highlighting Duplicates).

  When only one column has been selected, you can have TAGS placed to the right without needing to join all Items on the same row.

  When you make a single selection including multiple columns, you will only be able to have TAGS placed to the right if "Compare Each Row as a Single Item" is chosen.

  To compare each whole row against all other whole rows within the selection, turn on the "Compare Each Row as a Single Item" option.

  If TAGS are enabled, then any duplicate Item found will be copied into the column to the right to become the TAG.

  When multiple different areas are selected, this process will be similar to merely selecting the basic "Sort/Duplicates" option. The difference is that the "Sort/Duplicates" option places a Duplicates Summary inside a Comment Tag, whereas "Dups:Tag & Rprt" places a Duplicates Summary inside Quillary's Active Window and it will be immediately ready in the clipboard for pasting. And you have the option of placing Tags to the right when your Selection is a single Area. For multiple Selection Areas, placing Text Tags is not practical.

  » TO LIST UNIQUE ITEMS ONLY ONCE (REMOVING DUPLICATES):
  Use the following method to create a sorted list of all unique Items listed only once.

  Select the same area two times (hold the Ctrl key to make the second selection over the first selection). Turn on the "Dups:Tag & Rprt" option and click Quillary's "Get/Try". To compare each whole row against all other whole rows within the selection, turn on the "Compare Each Row as a Single Item" option. Every Item selected will be listed only once in the Duplicates Report (and the duplicates count will be doubled). Paste the Report to the worksheet. Read "Compare Each Row as a Single Item:" under NOTES below.
  _______________________
  NOTES:
  To Compare two selections for Uniques Items (not Duplicates), choose "COMPARE 2/Uniques" from Quillary's dropdown Action menu (can be used to quickly remove blank rows).

  » PASTING THE DUPLICATES SUMMARY REPORT:
  Because a Duplicates Summary Report can be pasted after completion, the option to generate an additional Summary Report sheet is not available.
  Because Excel's Edit>Paste can incorrectly paste Items as number values or as formulas, and it can overwrite existing content without warning, it is recommended that you use Quillary's "Paste Safe To Cursor" to correctly paste the Duplicates Summary Report into THREE COLUMNS. Exisiting content will not be overwritten.

  » "Compare Each Row as a Single Item":
  If you select this option, then when you use Excel's Edit>Paste to put the Duplicates Summary into a worksheet, the Summary will use AS MANY COLUMNS AS THE ORIGINAL content. Be sure not to overwrite existing content. No other warning will be given (Excel's Undo will revert the paste). However, the recommended method for pasting the Duplicates Report to the worksheet is to use Quillary's "Paste Safe To Cursor" Action. Initially, it will paste into only three columns. But then turn off Quillary's Sort option, select the column of Items in the report (not their counts) and click Quillary's "Get/Try" to bring them into Quillary's active window. Click Quillary's "Cell^Col" label to change to columnar, and then use Quillary's "Paste Safe To Cursor" to safely paste correct text into the worksheet using AS MANY COLUMNS AS THE ORIGINAL selection.

  Quillary sets the "TAB" delimiter in the TextToColumns dialog box when this option is chosen.
quillary: answered UseNew (queued)
quillary: the Query form is shown
quillary: the active cell is $B$3
