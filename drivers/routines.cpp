#include "drivers/routines.h"

#include "actions/actions.h"
#include "actions/last_word_first.h"
#include "actions/netlist.h"
#include "actions/row_expand.h"
#include "actions/rows_reduce.h"
#include "blocks/block_engine.h"
#include "compare/compare_two.h"
#include "compare/tagging.h"
#include "drivers/get_try.h"
#include "drivers/paste_to_cursor.h"
#include "drivers/subtract_display.h"
#include "parser/parser.h"
#include "query/query.h"
#include "services/swap_display.h"
#include "sheets/page_setup.h"
#include "sheets/selection_trim.h"

namespace quillary::drivers {

host::Routines BuildRoutines() {
  host::Routines routines;
  routines.SwapActiveWindow = services::SwapActiveWindow;
  routines.WholeColRow = sheets::WholeColRow;
  routines.SetUpPrinter = sheets::SetUpPrinter;
  routines.GetSubtractSortCnt = GetSubtractSortCnt;
  routines.ActionCmprTwo = compare::ActionCmprTwo;
  routines.CmprMark_Clear = compare::CmprMark_Clear;
  routines.GetSortCntPasteTravel = blocks::GetSortCntPasteTravel;
  routines.PasteToCurs = PasteToCurs;
  routines.SubtractRtDwn = SubtractRtDwn;
  routines.Actions = actions::Actions;
  routines.ReverseOrder = actions::ReverseOrder;
  routines.CnvrtNetTelesis = actions::CnvrtNetTelesis;
  routines.RowsReduce = actions::RowsReduce;
  routines.RowExpand = actions::RowExpand;
  routines.Parser = parser::Parser;
  routines.GoQueryUserForm = query::GoQueryUserForm;
  routines.NextButton_Click = query::NextButton_Click;
  routines.NextButtonClick = query::NextButtonClick;
  routines.ReplaceButtonClick = query::ReplaceButtonClick;
  routines.NextButtonDupsMode = query::NextButtonDupsMode;
  routines.nextbuttondupsmode2 = query::nextbuttondupsmode2;
  routines.TextBox1Change = query::TextBox1Change;
  routines.TextBox2Change = query::TextBox2Change;
  routines.RemoveBookmark = query::RemoveBookmark;
  routines.PlaceBookmark = query::PlaceBookmark;
  routines.diffdupsButtonClick = query::diffdupsButtonClick;
  return routines;
}

}  // namespace quillary::drivers
