#include "drivers/routines.h"

#include "actions/actions.h"
#include "compare/compare_two.h"
#include "compare/tag_settings.h"
#include "compare/tagging.h"
#include "drivers/clipboard_paste.h"
#include "drivers/get_try.h"
#include "sheets/page_setup.h"
#include "sheets/selection_trim.h"

namespace quillary::drivers {

host::Routines BuildRoutines() {
  host::Routines routines;
  routines.WholeColRow = sheets::WholeColRow;
  routines.SetUpPrinter = sheets::SetUpPrinter;
  routines.GetSubtractSortCnt = GetSubtractSortCnt;
  routines.ActionCmprTwo = compare::ActionCmprTwo;
  routines.DuplicatesFormShow = compare::DuplicatesFormShow;
  routines.CmprMark_Find = compare::CmprMark_Find;
  routines.CmprMark_Clear = compare::CmprMark_Clear;
  routines.TextToColSetting = TextToColSetting;
  routines.Clipboard_Clear = Clipboard_Clear;
  routines.Actions = actions::Actions;
  return routines;
}

}  // namespace quillary::drivers
