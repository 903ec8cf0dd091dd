# With no workbook open, the request reaches the component, which returns at once.
call InitPlace
print window
#### expected output

