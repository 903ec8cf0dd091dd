#include "drivers/routines.h"

#include "actions/actions.h"
#include "actions/last_word_first.h"
#include "actions/netlist.h"
#include "actions/row_expand.h"
#include "actions/rows_reduce.h"
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
  routines.Actions = actions::Actions;
  routines.TextToColSetting = TextToColSetting;
  routines.ReverseOrder = actions::ReverseOrder;
  routines.CnvrtNetTelesis = actions::CnvrtNetTelesis;
  routines.RowsReduce = actions::RowsReduce;
  routines.RowExpand = actions::RowExpand;
  return routines;
}

}  // namespace quillary::drivers
