// The component's subsystems that this build of the command-line host carries.
#pragma once

#include "host/connect.h"

namespace quillary::cli {

// The routines the two public classes dispatch to: the one place where each subsystem
// is wired in as it joins the build. A routine left empty is reported by the component
// as not part of this build.
host::Routines BuildRoutines();

}  // namespace quillary::cli
