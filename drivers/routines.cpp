#include "drivers/routines.h"

#include "actions/actions.h"
#include "drivers/clipboard_paste.h"
#include "drivers/get_try.h"
#include "parser/parser.h"
#include "sheets/page_setup.h"
#include "sheets/selection_trim.h"

namespace quillary::drivers {

host::Routines BuildRoutines() {
  host::Routines routines;
  routines.WholeColRow = sheets::WholeColRow;
  routines.SetUpPrinter = sheets::SetUpPrinter;
  routines.GetSubtractSortCnt = GetSubtractSortCnt;
  routines.Actions = actions::Actions;
  routines.Parser = parser::Parser;
  routines.TextToColSetting = TextToColSetting;
  return routines;
}

}  // namespace quillary::drivers
