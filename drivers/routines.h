// The routines of this build behind the names the host sends.
#pragma once

#include "host/routines.h"

namespace quillary::drivers {

// The one place where each subsystem's routines are wired to the names of the request
// and Query event tables as the subsystem joins the build. A routine left empty is
// reported by the component as not part of this build.
host::Routines BuildRoutines();

}  // namespace quillary::drivers
