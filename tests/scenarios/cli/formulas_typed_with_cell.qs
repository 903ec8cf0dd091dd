# The stand-in calculates only literal formulas (="text", =12, =TRUE); any other formula
# is kept as it was typed and reads #NAME?, and cell says so on standard error.
new
cell A1:B1 5
cell C1 =A1+B1
cell D1 "=SUM(A1:B1)"
cell E1 "=""R1, R2"""
cell F1 =12
cell G1 =TRUE
print cells A1:G1
#### expected output
5	5	#NAME?	#NAME?	R1, R2	12	TRUE
#### expected errors
quillary: line 5: note: Sheet1!C1: the stand-in does not calculate formulas; =A1+B1 is kept as it was typed and reads #NAME?
quillary: line 6: note: Sheet1!D1: the stand-in does not calculate formulas; =SUM(A1:B1) is kept as it was typed and reads #NAME?
