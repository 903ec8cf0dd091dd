#include "items/internal/grammar.h"

#include <algorithm>

#include "items/fault_codes.h"
#include "items/internal/index_split.h"
#include "items/internal/messages.h"
#include "items/list_sheet.h"

namespace quillary::items {

namespace {

ItemFaultCode Fault(host::State& s, ItemFaultCode code, const char16_t* message) {
  s.request.FaultMsg = message;
  return code;
}

bool Holds(TextView text, char16_t c) { return text.find(c) != TextView::npos; }

// A blank after the first character (the lone blank of NoPrefix passes).
bool BlankAfterFirst(TextView prefix) { return prefix.size() > 1 && Holds(prefix.substr(1), u' '); }

// The first number of an indexed part: writes its trailing digit run into +3 and
// returns the prefix before it (less as many characters as the number's text has, so
// that its leading zeros stay with the prefix) and the number, or a fault code
// (`emptyCode` when there are no digits).
struct FirstNumber {
  ItemFaultCode fault = fault::kNone;
  TextView prefix;
  double value = 0;
};

FirstNumber SplitFirstNumber(host::State& s, ItemRowCells& row, TextView part, ItemFaultCode emptyCode,
                             const char16_t* emptyMessage) {
  const TextView digits = TrailingDigits(part);
  row.PutDigits(kIndexNum1, digits);
  // Past 15 significant digits the number is no longer exact, however long the run is.
  if (IsBigDigitRun(digits)) return {Fault(s, fault::kBigNum, msg::kBigNum), {}, 0};
  if (digits.empty()) return {Fault(s, emptyCode, emptyMessage), {}, 0};
  return {fault::kNone, part.substr(0, part.size() - std::min(part.size(), IndexNumberLength(digits))),
          IndexNumberValue(digits)};
}

// The tests of the first prefix after the style (Tab, then blank) and the +2 write.
ItemFaultCode FinishFirstPrefix(host::State& s, ItemRowCells& row, TextView prefix1, bool tabForm, Text& key) {
  if (tabForm && Holds(prefix1, u'\t')) return Fault(s, fault::kBlankInFirstPrefix, msg::kTabInFirstPrefix);
  if (BlankAfterFirst(prefix1)) return Fault(s, fault::kBlankInFirstPrefix, msg::kSpaceInFirstPrefix);
  row.PutText(kItemText, prefix1);
  key.assign(prefix1);
  return fault::kNone;
}

ItemFaultCode ClassifySingle(host::State& s, ItemRowCells& row, TextView item, bool tabForm, int& style, Text& key) {
  if (tabForm) item = StripLow(item);
  const bool plain = tabForm ? !item.empty() && !IsDigit(item.back()) : !IsDigit(item.back());
  if (plain) {
    if (tabForm && Holds(item, u'\t')) return Fault(s, fault::kBlankInFirstPrefix, msg::kTabInFirstPrefix);
    if (Holds(item, u' ')) return Fault(s, fault::kBlankInFirstPrefix, msg::kSpaceInItemName);
    if (tabForm) row.PutText(kItemText, item);
    key.assign(item);
    return fault::kNone;
  }
  const FirstNumber first = SplitFirstNumber(s, row, item, fault::kMissingNumberAfter, msg::kMissingNumberAfter);
  if (first.fault != fault::kNone) return first.fault;
  TextView prefix1 = first.prefix;
  if (prefix1.empty()) {
    if (style == index_style::kNone) {
      style = index_style::kBare;
    } else if (style != index_style::kBare) {
      return Fault(s, fault::kPlainAmongPrefix, msg::kMixedPlainNum);
    }
    prefix1 = kNoPrefix;
  } else if (style == index_style::kBare) {
    return Fault(s, fault::kPrefixAmongPlain, msg::kMixedPlainNum);
  } else if (style == index_style::kNone) {
    style = index_style::kPrefixed;
  }
  return FinishFirstPrefix(s, row, prefix1, tabForm, key);
}

// The index style of a range, by its two prefixes (before NoPrefix stands in).
ItemFaultCode RangeIndexStyle(host::State& s, TextView prefix1, TextView prefix2, int& style) {
  using namespace index_style;
  const bool first = !prefix1.empty();
  const bool second = !prefix2.empty();
  if (style == kBare && (first || second)) return Fault(s, fault::kPrefixAmongPlain, msg::kMixedPlainNum);
  if (first && second) {
    if (style == kBareSecond) return Fault(s, fault::kPrefixAfterHyphen, msg::kMixedHyphenPrefix);
    if (prefix1 != prefix2) return Fault(s, fault::kPrefixMismatch, msg::kPrefixMismatch);
    style = kRepeatedPrefix;
  } else if (first) {
    if (style == kRepeatedPrefix) return Fault(s, fault::kNoPrefixAfterHyphen, msg::kMixedHyphenPrefix);
    style = kBareSecond;
  } else if (second) {
    return Fault(s, fault::kMissingFirstPrefix, msg::kMissingFirstPrefix);
  } else {
    if (style != kNone && style != kBare) return Fault(s, fault::kPlainAmongPrefix, msg::kMixedPlainNum);
    style = kBare;
  }
  return fault::kNone;
}

ItemFaultCode ClassifyRange(host::State& s, ItemRowCells& row, TextView item, bool tabForm, int& style, Text& key) {
  const HyphenParts parts = SplitAtHyphen(item, tabForm);

  // The second number is held as text (its digits as they stand).
  const TextView number2 = TrailingDigits(parts.after);
  row.PutText(kIndexNum2, number2);
  if (number2.empty()) return Fault(s, fault::kMissingNumberAfter, msg::kMissingNumberAfter);
  // No size shows in its text; it is refused past 15 digits as the first number is,
  // since no count or expansion could use it.
  if (IsBigDigitRun(number2)) return Fault(s, fault::kBigNum, msg::kBigNum);
  const TextView prefix2 = parts.after.substr(0, parts.after.size() - number2.size());
  if (Holds(prefix2, u' ')) return Fault(s, fault::kBlankInSecondPrefix, msg::kSpaceInSecondPrefix);
  if (tabForm && Holds(prefix2, u'\t')) {
    return Fault(s, fault::kBlankInSecondPrefix, msg::kTabInSecondPrefix);
  }
  row.PutText(kPrefix2, prefix2.empty() ? TextView(kNoPrefix) : prefix2);

  const FirstNumber first =
      SplitFirstNumber(s, row, parts.before, fault::kMissingNumberBefore, msg::kMissingNumberBefore);
  if (first.fault != fault::kNone) return first.fault;
  if (IndexNumberValue(number2) <= first.value) {
    return Fault(s, fault::kFirstNotBelowSecond, msg::kFirstNotBelowSecond);
  }
  if (const ItemFaultCode code = RangeIndexStyle(s, first.prefix, prefix2, style); code != fault::kNone) return code;
  return FinishFirstPrefix(s, row, first.prefix.empty() ? TextView(kNoPrefix) : first.prefix, tabForm, key);
}

}  // namespace

void SheetItemRow::PutText(long col, TextView text) { WriteText(row_.Offset(0, col), text); }

void SheetItemRow::PutDigits(long col, TextView digits) { row_.Offset(0, col).SetValue(Text(digits)); }

ItemFaultCode ClassifyItem(host::State& s, ItemRowCells& row, TextView item, int& indexStyle, Text& key) {
  const bool tabForm = Holds(item, u'\t');
  const std::int64_t hyphens = CountHyphens(item);
  if (hyphens >= 2) return Fault(s, fault::kManyHyphens, msg::kManyHyphens);
  if (hyphens == 0) return ClassifySingle(s, row, item, tabForm, indexStyle, key);
  return ClassifyRange(s, row, item, tabForm, indexStyle, key);
}

ItemFaultCode ClassifyItem(host::State& s, const xl::Range& row, TextView item, int& indexStyle) {
  SheetItemRow cells(row);
  Text key;
  return ClassifyItem(s, cells, item, indexStyle, key);
}

}  // namespace quillary::items
