#include "cli/routines.h"

#include "drivers/get_try.h"
#include "sheets/page_setup.h"
#include "sheets/selection_trim.h"

namespace quillary::cli {

host::Routines BuildRoutines() {
  host::Routines routines;
  routines.WholeColRow = sheets::WholeColRow;
  routines.SetUpPrinter = sheets::SetUpPrinter;
  routines.GetSubtractSortCnt = drivers::GetSubtractSortCnt;
  return routines;
}

}  // namespace quillary::cli
