// Netlist Cnvrt:Telesis: a Telesis-style netlist typed in worksheet cells, one line per
// cell of the selection's first column, becomes a table with one row per net on a new
// result sheet ("<source>-NetCnvrtd<n>"): the net name in column A, its nodes in column
// B (sorted when the Sort option is ticked) and the node count in column C, the nets
// sorted by name. The source cells are never changed.
//
// A net line is a net name, a semicolon and nodes separated by commas and/or blanks
// ("NAME_A; ITEMa1, ITEMa2"). A line that begins with a semicolon, or whose first
// non-blank character stands further right than in the first selected line, continues
// the net above it with more nodes.
//
// The conversion cleans the lines on a work sheet and splits them at the semicolon, then
// gathers each net's lines onto one row by running REDUCE Rows to One unattended through
// the Action list, and counts (and sorts) the nodes with the block engine. A run that
// fails after its result sheet was made leaves that sheet with "-Err" at the end of its
// name.
#pragma once

#include <cstddef>

#include "host/state.h"

namespace quillary::actions {

// The action "Netlist Cnvrt:Telesis".
void CnvrtNetTelesis(host::State& s);

// The indent of the first line: its leading blanks (no-break spaces count as blanks).
std::size_t NetlistIndent(Text firstLine);

// A line cleaned for the split at its semicolon: no blanks left, the nodes joined by
// single commas, and ";" in front of a continuation line (one whose first indent + 1
// characters are blanks).
Text CleanNetlistLine(Text line, std::size_t indent);

}  // namespace quillary::actions
