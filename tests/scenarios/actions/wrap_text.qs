# "Wrap Text||  Clear" unwraps the selection and fits its rows; at the first text cell
# with a hard line break it asks once whether to turn the breaks into commas. Yes
# changes every text cell with a break (a lone carriage return stays); No changes no
# text. Formulas are not looked at.
new
cell A1 "=""formula"""
cell text A2 "one\r\ntwo\nthree"
cell text A3 "a\rb"
cell text A4 "x\ny"
select A1:A4
answer message No
call Actions "Wrap Text||  Clear"
print cells A1:A4
print selection
answer message Yes
call Actions "Wrap Text||  Clear"
print cells A1:A4
#### expected output
formula
one\r\ntwo\nthree
a\rb
x\ny
Sheet1	$A$1:$A$4	$A$2
formula
one,two,three
a\rb
x,y
#### expected errors
quillary: message [Yes]* [No]
  ( Wrap Text: Clear ): HARD LINE-BREAKS have been found within the selected cells.

  Hard Line-Breaks appear as small squares within the text when the text is NOT wrapped. Excel's UnWrap does not remove hard line-breaks.

  Choose YES if you would like Quillary to use a COMMA (Quillary's Item delimiter) as a replacement for EVERY hard line-break found within your WHOLE selection.

  Choose NO to leave hard line-breaks unaltered.
quillary: answered No (queued)
quillary: message [Yes]* [No]
  ( Wrap Text: Clear ): HARD LINE-BREAKS have been found within the selected cells.

  Hard Line-Breaks appear as small squares within the text when the text is NOT wrapped. Excel's UnWrap does not remove hard line-breaks.

  Choose YES if you would like Quillary to use a COMMA (Quillary's Item delimiter) as a replacement for EVERY hard line-break found within your WHOLE selection.

  Choose NO to leave hard line-breaks unaltered.
quillary: answered Yes (queued)
