# Names turned "last, first" beside the selection, with the titles chosen on the filter
# form dropped (in whatever case they are written) and a shared surname given to both
# people of a couple.
new
cell A1 "Mr. John and Mrs. Mary Smith"
cell A2 "Lee, Ann"
cell A3 "MRS Jane Doe PhD"
cell A4 "a b c d"
list add LastWordFirstFilterForm.RemoveStringsList Mr Mrs PhD Jr
list select LastWordFirstFilterForm.RemoveStringsList Mr Mrs PhD
select A1:A4
answer bigmsg OK
call Actions "LastWord First w/Filter"
print cells A1:B4
#### expected output
Mr. John and Mrs. Mary Smith	Smith Mary, Smith John
Lee, Ann	Ann, Lee
MRS Jane Doe PhD	Doe Jane
a b c d	d c b a
#### expected errors
quillary: big message [OK]* [Option "Filter"] [Cancel]
  "LastWord First w/Filter" has been initiated.  OK To REVERSE the word order?  Excel's Undo will not revert this!
  The output results will be pasted into same amount of cells to the right of your selection as there are in your selection.
  When no Filter items have been selected, this action reverses the order of all space delimited words WITHIN each cell (last word will become first word, and first word will become last word). 
  When any Filter item has been selected (used for names of people), this action reverses the order of all space delimited AND comma delimited words WITHIN each cell (e.g., puts last name in front of first name). 
  This Action is especially useful for adjusting lists of people's names that have both first and last name within the same cell.
  |||||||||||||||||||||||
  EXAMPLES: "Mr. John and Mrs. Mary Smith" becomes "Smith Mary, Smith John".  "a b c d" becomes "d c b a".
  WHEN THE FILTER IS USED:
  Click the Filter Button to choose which typical name titles and suffix should be removed (hold the Ctrl Key to select individually). The result can then be sorted by first name or by last name, and full names can be checked for duplicates.
  Extra spaces and extraneous periods are removed. Hard line-breaks are considered to be the same as commas. Cells with formulas will not be modified.
  When the word "and" or the character "&" stands between two people (e.g. a husband and wife), both people are given the same surname. Applying "LastWord First w/Filter" again to such a result gives each person first name then surname, separated by a comma.
  After using this action on peoples names, Quillary will be able to identify "Smith John" and "John Smith" as duplicates when both name orders are present in a list.
  As in the above example, when the word "and" is found without a comma before or after it, it is removed.
  If there are three or more words in a cell but only the first word is followed by a comma, the last word of the cell is copied and given to the first word as well. "Mary, John Q. Smith" becomes "Smith Q John, Smith Mary".
  _______________________
  NOTES
  When multiple columns are selected, the cell order is not reversed -- only the order of words within each cell is reversed.
  To set the mode so that it reverses names of people properly, be sure to select at least one item to be filtered even if it is not present within your selection.
  _______________________
  TIPS
  It is often useful to preserve the unfiltered information within the original cells.
  This action can be useful in conjunction with Quillary's Text Converter/Importer, which splits names and addresses into columns first.
  FOR ADDRESS LISTS: HIGHLIGHTING CELLS WHICH SOMEWHAT MATCH THE CELL ABOVE OR BELOW:
  » Select whole columns by clicking the identifier letter at the top of a column (drag to select multiple columns). Press Enter once to activate the cell in the second row. Click Excel's menu Insert>Conditional Format.
  » Use the following formula as condition_1 or 2:  =LEFT(A2,4)=LEFT(A3,4)
  » Use the following formula as condition_2 or 3:  =LEFT(A2,4)=LEFT(A1,4)
  » Click on each of those formulas, press F2, and change the column letter to that of the active cell and the count of characters compared as needed.
  » Click the Format button for the first condition and choose a background Pattern color (e.g. light yellow).
  » Click the Format button for the second condition and choose a different background Pattern color (e.g. light green).
  » Sort the whole list of records and any cell which somewhat matches the cell beneath it will be highlighted light yellow. The last cell which somewhat matches the cell above it will be highlighted light green.
  » Visually examine other fields (columns) along the same records (rows) that have been highlighted to see if they are in fact duplicates with only slight differences in spelling.
  To highlight exact matches, for condition_1 or 2 use: =A2=A3.  For condition_2 or 3 use: =A2=A1.
  NOTE: To copy these instructions, click to the far right of this box. Drag or use arrow keys to select text. Copy (Ctrl+C) and Paste into Notepad or any application.
quillary: answered OK (queued)
