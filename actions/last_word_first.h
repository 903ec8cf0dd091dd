// LastWord First w/Filter: the words inside each cell of the selected block in reverse
// order, written into a block of the same size right beside it; the source cells are
// not changed.
//
// With a title filter chosen on the host's filter form (its RemoveStringsList) it turns
// people's names: the chosen titles and suffixes are dropped (compared without regard to
// case), periods and extra blanks are cleaned, "and" and "&" between two people become
// a comma, and a surname given once is given to the other person too:
// "Mr. John and Mrs. Mary Smith" becomes "Smith Mary, Smith John".
#pragma once

#include "host/state.h"

namespace quillary::actions {

// The action "LastWord First w/Filter".
void ReverseOrder(host::State& s);

// One cell's text turned: `titleFilter` is "," followed by each chosen title and ","
// (just "," when none is chosen, which turns the words only).
Text LastWordFirst(Text source, TextView titleFilter);

}  // namespace quillary::actions
