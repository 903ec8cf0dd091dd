# A number in parentheses is a negative number, as the application enters it: typed
# into a cell, or made a value again by "NUMBER Values" from a text. "(12)" keeps the
# General format; with separators or currency the cell takes a format that shows a
# negative number in parentheses. Inside the parentheses a sign or a percentage makes
# no number.
new
cell A1 (12)
cell A2 "(1,234.5)"
cell A3 ($12)
print cells A1:A3
print formats A1:A3

cell text B1 (12)
cell text B2 "(1,234.5)"
cell text B3 ($12)
cell text B4 (-12)
cell text B5 (12%)
select B1:B5
call Actions "NUMBER Values"
print cells B1:B5
#### expected output
-12
-1234.5
-12
A2	format="#,##0.00_);(#,##0.00)"
A3	format=$#,##0_);($#,##0)
-12
-1234.5
-12
(-12)
(12%)
