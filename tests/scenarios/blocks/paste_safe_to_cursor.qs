# "Paste Safe To Cursor" from the Action list writes the Active Window's lines at the top
# of the selection, each as text (a number, a formula, TRUE stay texts), and refuses to
# write over cells that hold data, leaving the destination selected.
new
set MainUserForm.TextBox1.Value "007\r\n=1+1\r\nTRUE\r\nR1-3"
select C2:D9
answer bigmsg OK
call Actions "Paste Safe To Cursor"
print cells C2:C5
print selection
cell B3 mine
select B2
answer bigmsg OK
call Actions "Paste Safe To Cursor"
print cells B2:B5
print selection
#### expected output
007
=1+1
TRUE
R1-3
Sheet1	$C$2:$C$5	$C$2

mine


Sheet1	$B$2:$B$5	$B$2
#### expected errors
quillary: big message [OK "Active Window"]* [Option "Text FromClipbrd"] [Cancel]
  "Paste Safe To Cursor" has been initiated.   OK To Paste to Worksheet?
  Excel's Undo will not revert this!

  ACTIVE WINDOW: Text displayed in Quillary's active Window will be pasted at the top of your selection. 
  Click Quillary's Cell^Col label to toggle the text in Quillary's Window back and forth between comma delimited (single cell) and columar format (multiple cells in one column). 

  TEXT FROM CLIPBOARD: Text that has been copied into Windows Clipboard will be pasted at the top of your selection. Use this to get text from other applications into the worksheet safely as text (without undesireable interpretations by Excel that can happen during a normal Clipboard paste). Alternatively, you can also try formating the destination cells in Excel as "Text" prior to pasting directly from the Windows Clipboard. After pasting safely into the worksheet, use Quillary's "Text Converter/Import" (and other features) to arrange it appropriately.


  This action is useful for assuring nothing is overwritten, and it assures everything will be pasted as text instead of number values or unintentional formulas. For example: TRUE, FALSE, Date-like numbers, Quotes (when TextToColums TextQualifier is set), etc., will all paste correctly as text.

  Also, when there is too much text for only a single cell to receive the paste, this action assures that if an Item Name gets split spanning across cells, the cell will not unintentionally become a number value nor a formula caused by an unexpected "formula" character becoming the first character of a cell. This version of Quillary does NOT attempt to repair Item Names split across cells. Please submit a request for a repair process to be added if it is essential. Use Quillary's "Cell^Col" to paste Items into mulitple cells of a column while keeping Item names intact. Or use Quillary's "Paste V" to group multiple cells of Items into single cells.
  _______________________
  » Pasting a Duplicates_Summary Report:

  This action will correctly paste into three columns the Duplicate Items and their counts as listed in a Quillary "Summary_Report" after using Quillary's "Dups:Tag & Rprt" option.

  It is recommended that you use Quillary's "Paste Safe To Cursor" for a Duplicates_Summary when you do not want Excel's Edit>Paste to paste Items improperly as number values or as formulas. Be aware that, unlike Quillary's Paste methods, Excel's Edit>Paste can truncate long formulas.

  If "COMPARE EACH ROW AS A SINGLE ITEM WITHIN SELECTION" was chosen when checking for Duplicates, then "Paste Safe To Cursor" will place the "Summary_Report" into 3 columns as usual. However, to expand the reported duplicates into the same amount of Items and columns as in the original selection, select the third column of the summary, click Get/Test, switch to columnar display, and paste using "PasteToCusor". Note: If "COMPARE EACH ROW AS A SINGLE ITEM WITHIN SELECTION" was chosen when checking for Duplicates, and if Quillary's Window is set to columnar, Excel's Paste will paste comma delimited Items into the same amount of columns as the original selection.
  _______________________
  » Pasting "Compare2/Uniques" Results when "COMPARE EACH ROW AS A SINGLE ITEM WITHIN SELECTION" has been chosen.

  If you use Excel to paste comparison results, all will be pasted into a single column and there may be special characters included that Quillary uses to join Items and Cells.

  However, if you use Quillary's "Paste Safe To Cursor" , all will be pasted safely and correctly as text into the same arrangement of columns and cells as the original selection (the special characters used to join Items and Cells will have been removed).

  After pasting one of Quillary's Windows to the worksheet, click Quillary's other window to activate it, and then use this action to also safely paste those results.
  _______________________
  NOTES:
  "Paste Safe To Cursor" only pastes Items shown in Quillary's Active Window and not their count - regardless of the Paste_Type option setting.

  Often, it is safe to use Excel's Edit>Paste directly without the problem of unintentional formulas being pasted. You can do that safely without any special steps if you are sure that Item names do not begin with characters which Excel considers to be formula characters (eg. " +-=$%@( " ). You can provide even more safety if you first select the destination area (e.g. a whole blank worksheet) and use Excel's menu to Format>Cells>Number>Text. After pasting, you can change the format back to "GENERAL" (all cells pasted as text will remain as text unless you edit their cell). This is not a solid work around. When in doubt, it is best to use Quillary's Paste methods. Also, be aware that if Items do begin with a formula character and if there are more characters in that cell than Excel's maximum formula size (255 long for pre-Excel 2007), Excel will give a warning message.
quillary: answered OK (queued)
quillary: big message [OK "Active Window"]* [Option "Text FromClipbrd"] [Cancel]
  "Paste Safe To Cursor" has been initiated.   OK To Paste to Worksheet?
  Excel's Undo will not revert this!

  ACTIVE WINDOW: Text displayed in Quillary's active Window will be pasted at the top of your selection. 
  Click Quillary's Cell^Col label to toggle the text in Quillary's Window back and forth between comma delimited (single cell) and columar format (multiple cells in one column). 

  TEXT FROM CLIPBOARD: Text that has been copied into Windows Clipboard will be pasted at the top of your selection. Use this to get text from other applications into the worksheet safely as text (without undesireable interpretations by Excel that can happen during a normal Clipboard paste). Alternatively, you can also try formating the destination cells in Excel as "Text" prior to pasting directly from the Windows Clipboard. After pasting safely into the worksheet, use Quillary's "Text Converter/Import" (and other features) to arrange it appropriately.


  This action is useful for assuring nothing is overwritten, and it assures everything will be pasted as text instead of number values or unintentional formulas. For example: TRUE, FALSE, Date-like numbers, Quotes (when TextToColums TextQualifier is set), etc., will all paste correctly as text.

  Also, when there is too much text for only a single cell to receive the paste, this action assures that if an Item Name gets split spanning across cells, the cell will not unintentionally become a number value nor a formula caused by an unexpected "formula" character becoming the first character of a cell. This version of Quillary does NOT attempt to repair Item Names split across cells. Please submit a request for a repair process to be added if it is essential. Use Quillary's "Cell^Col" to paste Items into mulitple cells of a column while keeping Item names intact. Or use Quillary's "Paste V" to group multiple cells of Items into single cells.
  _______________________
  » Pasting a Duplicates_Summary Report:

  This action will correctly paste into three columns the Duplicate Items and their counts as listed in a Quillary "Summary_Report" after using Quillary's "Dups:Tag & Rprt" option.

  It is recommended that you use Quillary's "Paste Safe To Cursor" for a Duplicates_Summary when you do not want Excel's Edit>Paste to paste Items improperly as number values or as formulas. Be aware that, unlike Quillary's Paste methods, Excel's Edit>Paste can truncate long formulas.

  If "COMPARE EACH ROW AS A SINGLE ITEM WITHIN SELECTION" was chosen when checking for Duplicates, then "Paste Safe To Cursor" will place the "Summary_Report" into 3 columns as usual. However, to expand the reported duplicates into the same amount of Items and columns as in the original selection, select the third column of the summary, click Get/Test, switch to columnar display, and paste using "PasteToCusor". Note: If "COMPARE EACH ROW AS A SINGLE ITEM WITHIN SELECTION" was chosen when checking for Duplicates, and if Quillary's Window is set to columnar, Excel's Paste will paste comma delimited Items into the same amount of columns as the original selection.
  _______________________
  » Pasting "Compare2/Uniques" Results when "COMPARE EACH ROW AS A SINGLE ITEM WITHIN SELECTION" has been chosen.

  If you use Excel to paste comparison results, all will be pasted into a single column and there may be special characters included that Quillary uses to join Items and Cells.

  However, if you use Quillary's "Paste Safe To Cursor" , all will be pasted safely and correctly as text into the same arrangement of columns and cells as the original selection (the special characters used to join Items and Cells will have been removed).

  After pasting one of Quillary's Windows to the worksheet, click Quillary's other window to activate it, and then use this action to also safely paste those results.
  _______________________
  NOTES:
  "Paste Safe To Cursor" only pastes Items shown in Quillary's Active Window and not their count - regardless of the Paste_Type option setting.

  Often, it is safe to use Excel's Edit>Paste directly without the problem of unintentional formulas being pasted. You can do that safely without any special steps if you are sure that Item names do not begin with characters which Excel considers to be formula characters (eg. " +-=$%@( " ). You can provide even more safety if you first select the destination area (e.g. a whole blank worksheet) and use Excel's menu to Format>Cells>Number>Text. After pasting, you can change the format back to "GENERAL" (all cells pasted as text will remain as text unless you edit their cell). This is not a solid work around. When in doubt, it is best to use Quillary's Paste methods. Also, be aware that if Items do begin with a formula character and if there are more characters in that cell than Excel's maximum formula size (255 long for pre-Excel 2007), Excel will give a warning message.
quillary: answered OK (queued)
quillary: message (information) [OK]
  ( Paste Safe To Cursor ): Will not overwrite. You must manually clear the cells that will be used before they can be written to.

  There are 1 cells that have data which would be overwritten.

  The process has CANCELLED. Close the dialog box and then press the delete key if it is OK to clear the area needed.
quillary: answered OK (default)
