#include "cli/routines.h"

namespace quillary::cli {

host::Routines BuildRoutines() {
  host::Routines routines;
  return routines;
}

}  // namespace quillary::cli
