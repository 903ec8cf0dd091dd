#include "compare/internal/common.h"

#include "compare/internal/messages.h"
#include "host/controls.h"
#include "host/screen.h"
#include "platform/runtime/vba.h"

namespace quillary::compare {

bool On(const host::State& s, const host::ControlId& id) {
  const forms::Control& c = s.Control(id);
  return c.Enabled() && vba::EqualsTrue(c.Value());
}

host::CompareAnswer AskCompareDialog(host::State& s, const host::ControlId& defaultButton) {
  host::ScreenOn(s);
  const host::CompareAnswer answer = host::ShowCompDupUserFormDLL(s, s.Control(defaultButton).Name());
  host::ScreenRestore(s);
  return answer;
}

xl::Range Selection(host::State& s) { return s.App().ActiveWindow()->RangeSelection(); }

bool FirstIsLeft(const xl::Area& first, const xl::Area& second) {
  return first.col1 < second.col1 || (first.col1 == second.col1 && first.row1 < second.row1);
}

int AreaOfSide(const xl::Range& selection, bool leftSide) {
  const bool firstIsLeft = FirstIsLeft(selection.Areas(1).FirstArea(), selection.Areas(2).FirstArea());
  return firstIsLeft == leftSide ? 1 : 2;
}

Text TagLabel(const host::State& s, bool leftSide, bool sameColumn) {
  const Text names = vba::CStr(s.Control(host::ctl::compdup::kTagNames).Value());
  Text name;
  const std::size_t slash = names.find(u'/');
  if (slash != Text::npos) {
    name = leftSide ? vba::Trim(TextView(names).substr(0, slash)) : vba::Trim(TextView(names).substr(slash + 1));
  } else {
    name = names;
  }
  if (names == u"LftOnly/RtOnly" && sameColumn) name = leftSide ? u"TopOnly" : u"BotOnly";
  return u"in" + name + (leftSide ? u"(a)" : u"(b)");
}

std::optional<xl::Range> ShiftedTagColumn(const xl::Range& area) {
  const xl::Range topLeft = area.Cells(1, 1);
  if (area.Column() + area.ColumnsCount() - 1 >= area.Parent().ColumnsCount()) return std::nullopt;
  const xl::Range merged = topLeft.MergeArea();
  const long cols = area.ColumnsCount() - merged.ColumnsCount() + 1;
  const long rows = area.RowsCount() - merged.RowsCount();
  return area.Parent().Range(topLeft.Offset(0, cols), topLeft.Offset(rows, cols));
}

void ProtectedSheetLimits(host::State& s, const xl::Range& area, TextView initiator, Text& warning) {
  namespace cd = host::ctl::compdup;
  const auto enable = [&s](const host::ControlId& id, bool enabled) { s.Control(id).SetEnabled(enabled); };
  // An area at the sheet's right end has no tag column to lock.
  const std::optional<xl::Range> tagColumn = ShiftedTagColumn(area);
  const Variant locked = tagColumn ? tagColumn->Locked() : Variant(false);
  if (locked.IsNull() || vba::EqualsTrue(locked)) {
    enable(cd::kTagAreaProtected, true);
    enable(cd::kListUniques, false);
    enable(cd::kIdComment, false);
    enable(cd::kLocatorLabel, false);
    msg::AddTagAreaLocked(warning, initiator);
  }
  if (!s.ActiveBook().ActiveSheet().Protection().AllowFormattingCells) {
    enable(cd::kColorLeftEnable, false);
    enable(cd::kColorRightEnable, false);
    msg::AddNoFormatting(warning, initiator);
  }
}

bool HasCommentBoxes(const xl::Range& range) {
  const xl::Range first = range.Cells(1, 1);
  return range
      .Find({.What = u"?",
             .After = &first,
             .LookIn = xl::xlComments,
             .LookAt = xl::xlPart,
             .SearchOrder = xl::xlByColumns,
             .SearchDirection = xl::xlNext,
             .MatchCase = false})
      .has_value();
}

void ResetFindSettings(host::State& s) {
  static_cast<void>(Attempt([&] {
    const std::optional<xl::Range> cell = s.App().ActiveCell();
    if (!cell) return;
    static_cast<void>(cell->Find({.What = u"?",
                                  .After = &*cell,
                                  .LookIn = xl::xlValues,
                                  .LookAt = xl::xlPart,
                                  .SearchOrder = xl::xlByColumns,
                                  .SearchDirection = xl::xlNext,
                                  .MatchCase = false}));
  }));
}

}  // namespace quillary::compare
