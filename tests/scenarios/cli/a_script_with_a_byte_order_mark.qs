# A script saved by an editor that puts a byte order mark at its start runs as
# the same script without one.
new
cell A1 R1
print cells A1
#### expected output
R1
