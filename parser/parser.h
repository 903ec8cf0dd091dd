// The parser run ("Parser"): splits the text of the selected rows into columns by the
// parse form's script.
//
// The mail box's shtDiffRpt caption (the target choice, set by the host) picks one of
// four uses:
//   "Quillary3016000000"  preview: the source range lies on the working sheet, the
//                         lines go to its column 1 from row 1; nothing is asked or split
//   the active sheet's name  each line replaces its own source cell (spaces kept,
//                         formula cells left alone); nothing is split
//   ""                    a new sheet "<source>-TxtToCol<n>": column 1 from row 1, then
//                         split into columns and finished as a result sheet of
//                         lines without headings (each line numbered by its row)
//   another sheet's name  that sheet, the same way (after asking when it holds data)
// The source range is the address in the mail box's Message caption; the text of each
// row is read from the first column of each of its areas, top to bottom (the rows that
// a merged first cell covers are passed over). Each row is run through the script
// (interpreter.h) and becomes one line: the output delimiter ("|", ";" or Tab as the
// form's BarOpt, SemicolonOpt, TabOpt say, else ",") marks the columns, and
// TextToColumns splits the lines at it with every column taken as text.
//
// Spaces at the ends of the lines are dropped unless the source is overwritten, or in
// preview mode HideSpcs is clear. Bolded rows can be moved one column to the right
// (asked once while the parse form's Bolded caption is empty). A line may hold at most
// (columns of a sheet - 2) delimiters and 32,767 characters: the run stops with a
// message at the first that does not, before writing it. The lines written before any
// stop stay. The screen-updating wish (OnScreenX) is the same after the run as before
// it, however the run ends. An error reaches the host with "Parser;<mode>: " before
// its source.
#pragma once

#include "host/state.h"

namespace quillary::parser {

inline constexpr char16_t kResultSuffix[] = u"-TxtToCol";

void Parser(host::State& s);

}  // namespace quillary::parser
