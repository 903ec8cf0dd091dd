#include "cli/routines.h"

#include "drivers/get_try.h"
#include "host/page_setup.h"
#include "host/selection_trim.h"

namespace quillary::cli {

host::Routines BuildRoutines() {
  host::Routines routines;
  routines.WholeColRow = host::WholeColRow;
  routines.SetUpPrinter = host::SetUpPrinter;
  routines.GetSubtractSortCnt = drivers::GetSubtractSortCnt;
  return routines;
}

}  // namespace quillary::cli
