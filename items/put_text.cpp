#include "items/put_text.h"

#include <algorithm>
#include <cstdint>

#include "host/callbacks.h"
#include "host/text_replace.h"
#include "host/working_sheet.h"
#include "items/fault_codes.h"
#include "items/internal/display.h"
#include "items/internal/grammar.h"
#include "items/internal/index_split.h"
#include "items/internal/messages.h"
#include "items/list_sheet.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"

namespace quillary::items {
namespace {

// The characters that would make the host read a text as a formula when it starts one.
constexpr char16_t kFormulaStarts[] = u"+-=$%@(";

// The expected number of pieces: the count shown in the main form's Label2 ("Count =
// 1,234"), else the commas of the Active Window, else the sheet's row count.
std::int64_t ProgressTotal(const host::State& s, const xl::Worksheet& sheet) {
  const Text caption = host::ReplaceItVal(s.Control(host::ctl::main::kCountLabel).Caption(), u",", u"");
  std::int64_t total = 0;
  if (const std::size_t eq = caption.find(u'='); eq != Text::npos) {
    // Whole units, held within the counter's range. A caption that reads as a number too
    // large for any count ("1e400") gives no count.
    constexpr double kLimit = 9.2e18;
    double n = 0;
    const auto error = Attempt([&] { n = host::CaptionNumber(TextView(caption).substr(eq + 1)); });
    if (error && error->Number() != err::kOverflow) throw *error;
    total = static_cast<std::int64_t>(std::clamp(n, -kLimit, kLimit));
  }
  if (total != 0) return total;
  if (s.request.ActiveWndw != nullptr) {
    const Text shown = s.request.ActiveWndw->Text();
    const auto commas = std::count(shown.begin(), shown.end(), u',');
    if (commas > 0) return commas;
  }
  return sheet.RowsCount();
}

Text OrNoPrefix(TextView prefix) { return prefix.empty() ? Text(kNoPrefix) : Text(prefix); }

// What one Item row holds after it was read: the text in +2 (the plain name, the first
// prefix, or NoPrefix), or the grammar fault that stopped it.
struct ReadItem {
  ItemFaultCode fault = fault::kNone;
  Text key;
};

// Splits the Item of one row (whose +2 already holds the whole Item; it holds at most
// one hyphen) into prefixes and index numbers.
//
// An index number of 16 or more significant digits (however many) cannot be counted
// exactly: the Item stays whole in +2 as a plain name rather than be stored with a
// changed number. Any other range goes through the Item grammar as a gathering from
// cells does (each Item on its own: a window edited by hand may mix the two range
// styles), so that a reversed or broken range is refused with its fault.
ReadItem SplitItem(host::State& s, const xl::Range& row, TextView item, std::int64_t hyphens) {
  const bool tabForm = item.find(u'\t') != TextView::npos;
  const xl::Range num1Cell = row.Offset(0, kIndexNum1);
  auto keepWhole = [&] {
    row.Parent().Range(num1Cell, row.Offset(0, kPrefix2)).ClearContents();
    return ReadItem{fault::kNone, Text(item)};
  };
  if (hyphens == 1) {
    const HyphenParts parts = SplitAtHyphen(item, tabForm);
    if (IsBigDigitRun(TrailingDigits(parts.before)) || IsBigDigitRun(TrailingDigits(parts.after))) {
      return keepWhole();
    }
    int style = index_style::kNone;
    if (const ItemFaultCode code = ClassifyItem(s, row, item, style); code != fault::kNone) return {code, {}};
    return {fault::kNone, CellText(row.Offset(0, kItemText))};
  }
  TextView name = item;
  if (tabForm) {
    name = StripLow(item);
    if (item.back() >= 32 && !IsDigit(item.back())) {
      WriteText(row.Offset(0, kItemText), name);
      return {fault::kNone, Text(name)};
    }
  } else if (!IsDigit(item.back())) {
    return {fault::kNone, Text(item)};
  }
  const TextView digits = TrailingDigits(name);
  if (IsBigDigitRun(digits)) return keepWhole();
  const Text num1 = WriteIndexNum1(num1Cell, digits);
  const Text prefix1 = OrNoPrefix(CutPrefix(name, num1));
  WriteText(row.Offset(0, kItemText), prefix1);
  return {fault::kNone, prefix1};
}

}  // namespace

void PutText_Clean(Text& text) {
  ErrorTrail("PutText_Clean", [&] {
    const Text apostrophe(1, kApostropheMark);
    host::ReplaceItRef(text, u"'", apostrophe);
    host::ReplaceItRef(text, Text(msg::kSummaryTitle) + msg::kReadyToPaste + u"\r", u"");
    host::ReplaceItRef(text, u"\r\n\r\n", u"\r\n");
    host::ReplaceItRef(text, u"\r\n", u",");
    host::ReplaceItRef(text, u"\n", u",");
    host::ReplaceItRef(text, msg::kNoDuplicatesText, u"");
    host::ReplaceItRef(text, u",,", u",");
    host::ReplaceItRef(text, u" Quilet> ", u"");
    host::ReplaceItRef(text, u" <Quilet", u"");
    if (!text.empty() && text.front() == u',') text.erase(0, 1);
    if (!text.empty() && text.back() == u',') text.pop_back();
    if (!text.empty() && TextView(kFormulaStarts).find(text.front()) != TextView::npos) text.insert(0, 1, u' ');
  });
}

std::optional<ItemFaultCode> ItemsPutText(host::State& s, const RequestOptions& o, Text& text, const Text& listName) {
  return ErrorTrail("ItemsPutText", [&]() -> std::optional<ItemFaultCode> {
    host::InitPlace(s, listName);
    xl::Worksheet& sheet = WorkSheet(s);
    const xl::Range anchor = sheet.Range(listName);
    DistinctColumn distinctColumn(s, anchor);

    PutText_Clean(text);
    if (text.empty()) return std::nullopt;

    ItemFaultCode result = fault::kNone;
    const std::int64_t total = ProgressTotal(s, sheet);
    const bool showProgress = total > 20;
    const bool showText = !o.quietStatusBar;
    host::ProgressBar bar(s, u" TextToPut Progress: ");

    const std::int64_t capacity = ItemCapacity(sheet);
    long itemRow = 1;          // the next Item row
    std::int64_t written = 0;  // Items whose +2 was written
    std::int64_t piece = 0;
    const TextView all(text);
    std::size_t start = 0;
    for (bool last = false; !last; ++piece) {
      std::size_t comma = all.find(u',', start);
      last = comma == TextView::npos;
      if (last) comma = all.size();
      const Text item = vba::Trim(all.substr(start, comma - start));
      start = comma + 1;

      if (showProgress && !bar.Step(piece, total, showText)) {
        distinctColumn.Write(false);
        return fault::kNone;
      }
      distinctColumn.Advance();
      if (item.empty()) continue;
      if (itemRow > capacity) {
        result = fault::kTooManyItems;
        s.request.FaultItem = item;
        s.request.FaultMsg = msg::kTooManyItems;
        break;
      }
      if (item.size() > xl::kCellTextLimit) {
        // Its row's cell would keep only its beginning.
        result = fault::kLongCell;
        s.request.FaultItem = item;
        s.request.FaultMsg = msg::kLongCell;
        break;
      }
      const xl::Range row = anchor.Offset(itemRow, 0);
      WriteText(row.Offset(0, kItemText), item);
      ++written;
      if (!s.request.IgnoreIndexMode) {
        const std::int64_t hyphens = CountHyphens(item);
        if (hyphens >= 2) {
          result = fault::kManyHyphens;
          s.request.FaultMsg = msg::kManyHyphens;
          break;
        }
        const ReadItem read = SplitItem(s, row, item, hyphens);
        result = read.fault != fault::kNone ? read.fault : distinctColumn.Add(read.key);
        if (result != fault::kNone) break;
      }
      ++itemRow;
    }

    if (result != fault::kNone && s.request.FaultItem.empty()) {
      s.request.FaultItem = CellText(anchor.Offset(itemRow, kItemText));
    }
    if (s.request.IgnoreIndexMode) {
      NumberOrderColumn(anchor, written);
      return result;
    }
    // A single Item's entry stays, even when its search faulted.
    distinctColumn.Write(written >= 2);
    ResetFindOptions(anchor);
    return result;
  });
}

}  // namespace quillary::items
