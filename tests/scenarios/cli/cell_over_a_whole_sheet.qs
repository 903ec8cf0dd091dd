# cell stores its value in every cell of the area, so it fills at most 10,000,000 cells
# at once: a whole column of the small grid is fine, ten columns of the large grid are
# refused before anything is written; "" clears any area.
new small
cell A:A x
print cells A65535:B65536
new
cell A:XFD ""
cell A1 kept
cell A:J x
print cells A1
#### expected output
x	
x	
#### expected errors
quillary: line 10: cell A:J would fill 10,485,760 cells; cell fills at most 10,000,000 at once (cell "" clears any area)
#### expected status 1
