# Converts the Telesis-style netlist of samples/netlist (one line per cell) into a table
# of nets on a new sheet: the net name, its nodes sorted and their count, the nets
# sorted by name.
#
#   quillary run samples/netlist.qs [OUTPUT-FOLDER]
#
# Run from the project folder; the workbook with the result sheet is saved to
# OUTPUT-FOLDER (default: netlist-out).

load samples/netlist
set MainUserForm.CheckBox1.Value True  # IgnoreIndex#
set MainUserForm.CheckBox3.Value True  # Sort: the nodes of each net are sorted
select A1:A10
answer bigmsg OK                       # OK to convert
answer message No Cancel               # no page set-up; the windows stay as they are
call Actions "Netlist Cnvrt:Telesis"
print cells Netlist-NetCnvrtd1!B3:D12

save ${1:-netlist-out}
