// A Get/Try's fault as the person reading standard error can act on it: the fault in
// words, the Item, and every cell involved, so that both cells of a duplicate can be
// found without stepping through the fault locator.
//
// In IgnoreIndex# mode with Sort, the duplicates are those of the duplicates list that
// the component keeps on its working sheet for its duplicates walk: every duplicated
// Item with the cells it is in. Otherwise the fault names one Item (the duplicated one
// in CountIndex# mode, where the count stops at the first duplicate, or the one that
// broke the grammar), and its cells are those of the selection that hold it, as the
// fault locator finds them (hidden cells passed over).
#pragma once

#include <iosfwd>
#include <string_view>

#include "platform/excel/excel.h"

namespace quillary::cli {

class Session;

// Writes the report of the fault of the Get/Try the session just ran on `selection`
// after `lead`: one line and then one line for each Item or cell. False, with nothing
// written, when the Get/Try ended without a fault.
bool WriteFaultReport(Session& session, const xl::Range& selection, std::ostream& out, std::string_view lead);

}  // namespace quillary::cli
