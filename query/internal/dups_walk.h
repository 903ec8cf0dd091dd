// The duplicates walk's start, which the Query entry runs.
#pragma once

#include "host/state.h"

namespace quillary::query {

// Starts the walk over the duplicates list beside the list `listName` ("unique1") and
// shows the Query form on the first listed cell; returns when the form closes. An empty
// list shows no form.
void GoQueryUserFormDups(host::State& s, const Text& listName);

}  // namespace quillary::query
