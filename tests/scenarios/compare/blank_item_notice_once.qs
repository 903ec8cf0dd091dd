# The notice about empty Items says it is not shown again until the user starts over:
# COMPARE 2/Uniques, which gathers the right area once and the left area twice, shows
# it once, at the first empty cell, though both areas hold one.
new
cell A1 R1
cell A3 R2
cell C1 R1
cell C2 R5
select A1:A3,C1:C3
answer compare UseNew
call Actions "COMPARE 2/Uniques"
print control MainUserForm.TextBox1.Value
print control MainUserForm.TextBox2.Value
#### expected output
R2
R5
#### expected errors
quillary: compare dialog [UseNew]* [UseCollected] [Cancel]
  "COMPARE 2/Uniques" has been initiated.

  Displays all Items listed within one selection that are not listed within the other selection ("Uniques" or "Differences").

  What do you want to compare?
  (Two worksheet areas are selected, and no list is in Quillary's Window).

  » USE NEW: Compares the two worksheet areas selected.

  » CANCEL: To abort. Then either select two new worksheet areas to be compared, or use Quillary's GET/TRY to bring two lists into Quillary's Window to be compared.

  |||||||||||||||||||||||
  DISABLE TAGS
  Tags will NOT be placed next to your selections, and they will NOT be put in a Summary Report.

  LIST ALL UNIQUE ITEMS
  Text Tags will be placed to the right of each row that has a unique Item. This Tag lists all of the unique Items found on each row within your selection. This is not available when you compare all cells on a row as though they are a single Item.

  ID COMMENT
  Comment Tags will be placed to the right of each row that contains a unique Item. Use this Tag to identify the selection containing the unique Item when LIST ALL UNIQUE ITEMS is used as the text tag.

  LOCATOR LABEL
  Text Tags will be placed to the right of each row that contains a unique Item. Use this Tag to identify the selection containing the unique Item.

  LOCATOR LABEL NAME BOX
  Choose Text Tag names from the drop-down box. To modify the drop-down list, see "MORE ABOUT" below.

  COMPARE EACH ROW AS A SINGLE ITEM WITHIN SELECTION
  All content on each row within your selection will treated as though it is only one "long" Item being compared. Use this to determine if anything on the row is different than a row in another selection. This action will not pre-sort Items in cells before comparison. So consider using one of Quillary's sorting functions prior to comparing depending on whether Item order should, or should not, be a factor in determining differences between two selections. Read more in "MORE ABOUT" below.

  COLOR FOR MARKING UNIQUES
  ENABLE a color to use as the background color for each row within the selection that contains unique Items (differences). When a color is ENABLED, you can click the color to change it.

  SUMMARY WRKSHEET/REPORT
  YES: A new worksheet containing the Summary Report will be created. NO: The results will be shown within Quillary's Window only.

  The Summary Report will include a new row for each row within your selection that contains a unique Item. So if the same unique Item is repeated on multiple rows of your selection, those multiple rows will also appear in the Summary Report. A specific row will be listed in the Summary Report only once, even if a row within the selection contains multiple unique Items. To see a list of all Items that are unique on a row, use the "List All Unique Items option". The purpose of this Action is to identify Uniques (differences). Please use Quillary's "Dups:Tag & Rprt" or "CountIndex#" to locate duplicates within a selection.

  When the "List All Unique Items" is chosen, all unique Items will be listed as the Tag in the rightmost column of the Summary Report. That Tag column can appear to be similar (or even identical) to one of the original columns being compared. This might be confusing at first. So remember that if you allow Tags to be written on the original sheet next to the columns being compared, those same Tags will be copied to the Summary Report into the rightmost column.

  The Summary Report will not contain informative Tags unless you enable them AND (if asked) allow them to overwrite any previous Tags in the column to the right of the columns being compared. Tags can be useful for sorting and for jumping to differences by first pressing and releasing the End key and then press either the DownArrow or the UpArrow key when the cursor is in the Tag column. Also, use Excel's Data>Filter>AutoFilter on Quillary's Tag column to display only tagged rows within the original lists.

  Whenever possible, for reference purposes, the Summary Report will include one additional column to the left outside your selection. That column will not be compared. Move a column or insert a column into this position to use for sorting the results Summary Report. It your selections are up against the left edge of the worksheet or are within two columns along side each other, the extra column is not included. If included, it will be the first column to the left in the Summary Report.
  _______________________
  MORE ABOUT: CUSTOM LOCATOR LABEL NAMES
  You can use Excel's Find and Replace to change the resulting TAG names to any other name which might be more useful for your purpose.

  You can type your own Locator Label TAG Names into the dropdown box. If you want to use a different TAG name for each of the two compare selections, separate the two names with a forward slash "/". Otherwise, enter one name and Quillary will append an "(a)" and a "(b)" to identify the Left and Right selections. The new name will be preceeded by "in". For example, when an existing name is fully highlighted in the dropdown box, press the Backspace Key, don't type any characters but press Enter. A blank entry is added to the dropdown list and the new TAG will be applied as; "in(a)" and "in(b)".

  You can also paste a list of your own Locator Label TAG Names into the dropdown box (up to 15 additions). First clear the dropdown box by selecting one of Quillary's default names to fully highlight it and then press the Delete Key (default names can not be deleted but added names can). Copy (Ctrl+C) and Paste (Ctrl+V) a short list that has each Tag name on a separate line/row. Press Enter and they will be included in the dropdown list. Your pasted names are NOT retained when Quillary is re-started.
  _______________________
  MORE ABOUT: COMPARE EACH ROW AS A SINGLE ITEM WITHIN SELECTION
  You can use this option to compare a column of counts generated by Quillary to an existing column of counts. Insert a column of Row#'s or Item#'s next to both columns of counts and include them in your selection before using this Action. Quillary will indicate where the counts differ on the same rows.

  Another way to use this option to compare a column of counts generated by Quillary to an existing column of counts is to copy and insert the original QTY column to both sides of Quillary's QTY column. One selection should include Quillary's QTY column along with the inserted original QTY column to its left . The other selection should include Quillary's QTY column along with the inserted original QTY column to its right. Quillary will indicate where the counts differ on the same rows.

  You can use this option creatively to remove empty rows for consolidation while copying to a new location. To do this, select an area with content for the first selection, then hold the Ctrl Key and click an empty cell to make the second selection. After you generate a Summary Report (which will have no empty rows), you can use that in-place or copy and paste it elsewhere. To retain the original sort order, be sure Quillary's Sort options are cleared.

  When this option is chosen, "TextToColumns" delimiters will be cleared and Quillary's pasting mode will be set to be columnar so that pasted results will go into many rows in a single column. Click Quillary's "Cell^Col" label to switch between pasting columnar (many rows) or into a single cell. Be careful not to overwrite exisiting content since no warning is given when pasting (however, Excel's Undo will revert the paste). It is often best to use Quillary's "PasteDisplayToCursor" action to be warned about overwriting and it will also auto-parse into multiple columns.

  You can quickly rearrange column order if needed, and then return back to the original order. If there are no empty rows above your data, insert a couple. Mark the original column order by putting a single incrementing number into each column in a row above the content of interest (from left to right; 1,2,3, etc.). Then, in the row above that one, put a number in each column which indicates your preferred arrangement order. Now select all content in those columns and go to Excel's menu Data>Sort>Options and select "Sort Left to Right". Click OK. Then, for "Sort by", choose one of the rows that holds your recently added number sequences. Click OK. To save number sequences, copy them to a text file. To paste them back into a worksheet from the file, use Excel's menu Data>TextToColumns>Delimited: enable TAB, and Cancel. Insert empty rows above your data as needed, and then paste the column numbering sequence from the clipboard. Afterward, to prevent Excel from continuing to split pasted text into columns automatically, clear Excel's delimiter setting by simply reopening Quillary's Window.
  _______________________
  NOTES
  You can readily spot differences between two similar cells marked as different by selecting one cell and then the other while watching the formual bar.
  If you make more than two selections, you will have the option to use only the first and last selection. So, if you make a mistake selecting the second area, you can keep trying until you get it right.

  Normally, you will notice this Action processes fairly quickly (even with tens of thousands of records). But, depending on your computer's resources, if your worksheet is very large or if other applications are running, this Action might perform relatively slowly due to hard drive access. If this happens, try closing other applications. Also, try saving your workbook and re-opening it. If this Action still seems slower than you want to wait, copy only the pertinent portion of the list to another worksheet, close the larger worksheet, and apply this Action. You can insert the result back into the original worksheet.
quillary: answered UseNew (queued)
quillary: message (information) [OK]
  ( COMPARE 2/Uniques ):  CountIndex# Mode: 

  There are two consecutive commas (or hard line-breaks) without text between them, or there is a comma (or hard line-break) at the beginning or ending of a cell.

  The count will NOT increment for this blank entry nor for any other blank entry found.
  This message will not be re-displayed unless the process is re-run from the start again.

  Use Quillary's "CommaSpace_Clear" or "CommaSpace_Set" to clean the selection, or paste (auto-paste or manual) Quillary's Window for a cleaned results list.

  IngoreIndex# Mode does not report empty Items between commas.
quillary: answered OK (default)
