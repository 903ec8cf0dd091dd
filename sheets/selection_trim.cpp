#include "sheets/selection_trim.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "host/callbacks.h"
#include "host/screen.h"
#include "host/working_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"
#include "sheets/messages.h"

namespace quillary::sheets {

namespace {

// The first and last filled positions of one line of cells from `from` to `to`
// (inclusive), found with a probe of each end cell and at most one End jump from each:
// no cell in between is read. `across` tells whether the line is a row (positions are
// columns) or a column (positions are rows).
struct Span {
  long first, last;
};
std::optional<Span> LineContent(xl::Worksheet& sheet, bool across, long line, long from, long to) {
  auto cell = [&](long pos) { return across ? sheet.Cells(line, pos) : sheet.Cells(pos, line); };
  auto position = [&](const xl::Range& r) { return across ? r.Column() : r.Row(); };
  const long forward = across ? xl::xlToRight : xl::xlDown;
  const long backward = across ? xl::xlToLeft : xl::xlUp;

  long first = from;
  if (cell(from).Value().IsEmpty()) {
    // From an empty cell the jump lands on the next filled cell, or on the sheet's edge.
    const xl::Range reached = cell(from).End(forward);
    if (position(reached) > to || reached.Value().IsEmpty()) return std::nullopt;
    first = position(reached);
  }
  long last = to;
  if (cell(to).Value().IsEmpty()) last = position(cell(to).End(backward));  // stops at `first` at the latest
  return Span{first, last};
}

// The smallest rectangle holding every filled cell of an area of entire columns or
// rows, within the sheet's used range; nothing when the area holds no content. The
// scan runs along the shorter side of the examined block: one line per row when the
// block is at least as wide as it is tall, else one line per column.
std::optional<xl::Area> ContentRectangle(const xl::Range& area) {
  xl::Worksheet& sheet = area.Parent();
  const xl::Range used = sheet.UsedRange();
  const long firstRow = area.Row();
  const long firstCol = area.Column();
  const long rowLimit = std::min(area.Row() + area.RowsCount() - 1, used.Row() + used.RowsCount() - 1);
  const long colLimit = std::min(area.Column() + area.ColumnsCount() - 1, used.Column() + used.ColumnsCount() - 1);
  if (rowLimit < firstRow || colLimit < firstCol) return std::nullopt;

  const bool byColumns = rowLimit - firstRow > colLimit - firstCol;
  std::optional<xl::Area> box;
  const long lineFrom = byColumns ? firstCol : firstRow;
  const long lineTo = byColumns ? colLimit : rowLimit;
  const long posFrom = byColumns ? firstRow : firstCol;
  const long posTo = byColumns ? rowLimit : colLimit;
  for (long line = lineFrom; line <= lineTo; ++line) {
    const std::optional<Span> span = LineContent(sheet, !byColumns, line, posFrom, posTo);
    if (!span) continue;
    const xl::Area found =
        byColumns ? xl::Area{span->first, line, span->last, line} : xl::Area{line, span->first, line, span->last};
    if (!box) {
      box = found;
    } else {
      box->row1 = std::min(box->row1, found.row1);
      box->col1 = std::min(box->col1, found.col1);
      box->row2 = std::max(box->row2, found.row2);
      box->col2 = std::max(box->col2, found.col2);
    }
  }
  return box;
}

// The part of the user's area whose bold font the row actions clear: an area of
// entire rows is cut to the used columns (no cell beyond them holds a format), so that
// clearing it does not format every column of the sheet.
xl::Range UnboldArea(const xl::Range& area) {
  if (!area.IsEntireRows() || area.IsEntireColumns()) return area;
  xl::Worksheet& sheet = area.Parent();
  const xl::Range used = sheet.UsedRange();
  const xl::Area a = area.FirstArea();
  return xl::Range(sheet, xl::Area{a.row1, used.Column(), a.row2, used.Column() + used.ColumnsCount() - 1});
}

}  // namespace

void SelectTogether(host::State& s, const xl::Range& first, const xl::Range& second) {
  xl::Workbook& book = s.ActiveBook();
  struct DropNames {
    xl::Workbook& book;
    ~DropNames() {
      for (const char16_t* name : {kTempNameA, kTempNameB}) {
        try {
          book.Names().Item(name).Delete();
        } catch (const Error&) {
          // Never added: nothing to delete.
        }
      }
    }
  } drop{book};
  book.Names().Add(kTempNameA, first, false);
  book.Names().Add(kTempNameB, second, false);
  Text both = kTempNameA;
  both += u", ";
  both += kTempNameB;
  book.ActiveSheet().Range(both).Select();
}

host::Proceed WholeColRowMergeCheck(host::State& s, const xl::Range& area, int areaNo) {
  return ErrorTrail("WholeColRowMergeCheck", [&] {
    const xl::Range now = s.App().ActiveWindow()->RangeSelection().Areas(areaNo);
    Text pushed;
    auto note = [&](bool when, const char16_t* line) {
      if (!when) return;
      if (!pushed.empty()) pushed += u'\r';
      pushed += line;
    };
    note(now.Row() < area.Row(), msg::kPushedTop);
    note(now.Row() + now.RowsCount() > area.Row() + area.RowsCount(), msg::kPushedBottom);
    note(now.Column() < area.Column(), msg::kPushedLeft);
    note(now.Column() + now.ColumnsCount() > area.Column() + area.ColumnsCount(), msg::kPushedRight);
    if (pushed.empty()) return host::Proceed::kGoOn;

    Text headline = msg::kWidenedMsg1;
    headline += vba::IntegerText(areaNo);
    headline += msg::kWidenedMsg1b;
    InfoMsg(s, {headline, msg::kWidenedMsg2, pushed, msg::kWidenedMsg3, msg::kWidenedMsg4});
    return host::Proceed::kStop;
  });
}

host::Proceed WholeColRow(host::State& s) {
  return ErrorTrail("WholeColRow", [&]() -> host::Proceed {
    xl::Workbook& active = s.ActiveBook();
    if (host::FindHiddenWorkSht(s.App().Workbooks().Item(active.Name())) == nullptr) InitPlace(s, host::kList2);

    forms::Control& reply = s.Control(host::ctl::mail::kResponse);
    reply.SetCaption(u"1");
    auto succeed = [&] {
      reply.SetCaption(u"0");
      return host::Proceed::kGoOn;
    };
    if (s.request.vbaMode.Is(host::ModeId::kClearActiveWindow)) return succeed();

    const bool rowAction = s.request.vbaMode.Traits().rowAction;
    const xl::Range selection = s.App().ActiveWindow()->RangeSelection();
    const long areas = selection.AreasCount();
    if (areas >= 3 && !rowAction) return succeed();

    // The user's areas as selected, and as kept or trimmed.
    std::vector<xl::Range> user{selection.Areas(1)};
    if (areas >= 2) user.push_back(selection.Areas(areas));
    std::vector<xl::Range> kept = user;

    const bool skipMenu = s.Control(host::ctl::mail::kSkipMenu).Enabled();
    for (std::size_t i = 0; i < user.size(); ++i) {
      if (!user[i].IsEntireColumns() && !user[i].IsEntireRows()) continue;
      const std::optional<xl::Area> content = ContentRectangle(user[i]);
      if (!content) {
        // Nothing to work on: an attended run is told, an unattended one just stops.
        if (!skipMenu) {
          InfoMsg(s, {msg::kEmptyAreaMsg, msg::kEmptyAreaMsg2});
          ScreenOn(s);
        }
        return host::Proceed::kStop;
      }
      kept[i] = xl::Range(user[i].Parent(), *content);
    }

    if (user.size() == 1) {
      if (kept[0].Address() != user[0].Address()) {
        kept[0].Select();
        if (WholeColRowMergeCheck(s, user[0], 1) != host::Proceed::kGoOn) return host::Proceed::kStop;
      }
    } else if (!rowAction || !s.App().Intersect(kept[0], kept[1])) {
      SelectTogether(s, kept[0], kept[1]);
      const host::Proceed first = WholeColRowMergeCheck(s, user[0], 1);
      const host::Proceed second = WholeColRowMergeCheck(s, user[1], 2);
      if (first != host::Proceed::kGoOn || second != host::Proceed::kGoOn) return host::Proceed::kStop;
    } else {
      // A row action with the marker cell inside the list.
      const xl::Range merged = kept[1].Cells(1, 1).MergeArea();
      if (merged.Count() > 1 && merged.Count() == kept[1].Count() && !skipMenu) {
        InfoMsg(s, {msg::kMergedMarkerMsg, msg::kMergedMarkerMsg2, msg::kMergedMarkerMsg3});
        ScreenOn(s);
        return host::Proceed::kStop;
      }
      kept[0].Select();
      if (WholeColRowMergeCheck(s, user[0], 1) != host::Proceed::kGoOn) return host::Proceed::kStop;
      UnboldArea(user[0]).Font().SetBold(false);
      user[1].Cells(1, 1).Font().SetBold(true);
    }

    if (!s.request.vbaMode.Is(host::ModeId::kSubtractButton) && !s.request.vbaMode.Is(host::ModeId::kNull)) {
      s.App().GoTo(s.App().ActiveWindow()->RangeSelection());
    }
    return succeed();
  });
}

}  // namespace quillary::sheets
