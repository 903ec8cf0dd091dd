#include "query/internal/form.h"

#include <algorithm>

#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"
#include "query/internal/memory.h"

namespace quillary::query {

namespace {
[[noreturn]] void NotSet() { Raise(err::kObjectNotSet, "Object variable or With block variable not set"); }
}  // namespace

Text CellString(const Variant& value) {
  if (value.IsError() || value.IsNull()) return Text();
  return vba::CStr(value);
}

bool Contains(TextView text, TextView part) { return text.find(part) != TextView::npos; }

bool ContainsNoCase(TextView text, TextView part) {
  return text_order::Fold(text).find(text_order::Fold(part)) != Text::npos;
}

bool BeginsNoCase(TextView text, TextView prefix) {
  return text.size() >= prefix.size() && text_order::EqualNoCase(text.substr(0, prefix.size()), prefix);
}

bool ShowsHint(const forms::Control& box) { return Contains(box.Text(), kSubtractHint); }

void SelectAll(forms::Control& box) {
  box.SetSelStart(0);
  box.SetSelLength(static_cast<long>(box.Text().size()));
}

void SelectAllAndFocus(forms::Control& box) {
  SelectAll(box);
  box.SetFocus();
}

Text WithoutTrailingLineBreak(Text text) {
  if (text.ends_with(u"\r\n")) text.resize(text.size() - 2);
  return text;
}

xl::Range Selection(host::State& s) {
  xl::Window* window = s.App().ActiveWindow();
  if (window == nullptr) NotSet();
  return window->RangeSelection();
}

xl::Range ActiveCell(host::State& s) {
  std::optional<xl::Range> cell = s.App().ActiveCell();
  if (!cell) NotSet();
  return *cell;
}

QueryPos Locate(const xl::Range& areas, const xl::Range& cell) {
  const std::span<const xl::Area> list = areas.AreaList();
  const long row = cell.Row();
  const long col = cell.Column();
  if (&areas.Parent() == &cell.Parent()) {
    for (size_t i = 0; i < list.size(); ++i) {
      if (list[i].Contains(row, col)) {
        return {static_cast<long>(i) + 1, row - list[i].row1 + 1, col - list[i].col1 + 1};
      }
    }
  }
  const xl::Area& first = list.front();
  return {1, std::clamp(row, first.row1, first.row2) - first.row1 + 1,
          std::clamp(col, first.col1, first.col2) - first.col1 + 1};
}

xl::Range CellAt(const xl::Range& areas, const QueryPos& p) { return areas.Areas(p.Area).Cells(p.Row, p.Col); }

Text ModeText(const host::State& s) {
  return s.request.IgnoreIndexMode ? u"Mode is IgnoreIndex-#" : u"Mode is CountIndex-#";
}

}  // namespace quillary::query
