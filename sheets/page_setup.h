// The component's standard printed-report layout for the active sheet.
#pragma once

#include "host/state.h"

namespace quillary::sheets {

// Gives the active sheet the default page set-up: the active window's selection (every
// area) as the print area, the file name centred and "date Page n of m" on the right in
// the header, fixed margins, one page wide and at most 200 tall, row 1 repeated on every
// page, centred horizontally. Asks nothing. An error reaches the caller with
// "SetUpPrinter;<mode>: " before its source.
void SetUpPrinter(host::State& s);

// The same set-up for a sheet of lines without headings (the parser's): no row is made
// to repeat on every page; print titles the sheet had stay as they were.
void SetUpPrinterWithoutTitles(host::State& s);

}  // namespace quillary::sheets
