// The TAG SETTINGS dialog: the host's compare dialog dressed for tagging the duplicates
// of one selection, before a Get/Try gathers anything.
#pragma once

#include "host/proceed.h"
#include "host/state.h"

namespace quillary::compare {

// Prepares the dialog for duplicate tagging and has the host show it: the options reset
// (no report, the left colour only, tags as the Items themselves), the options a
// protected sheet forbids switched off with one warning, and the help text. Answers
// kStop when the user cancelled (Get/Try then stops), kGoOn otherwise; the compare stage
// is idle afterwards.
//
// A selection of several different areas (not one area, and not the same area selected
// twice) gets no dialog: a message says what happens instead and asks whether to go on
// (Cancel: kStop); no control is touched then.
host::Proceed DuplicatesFormShow(host::State& s);

}  // namespace quillary::compare
