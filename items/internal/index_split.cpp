#include "items/internal/index_split.h"

#include <algorithm>

#include "items/list_sheet.h"

namespace quillary::items {

namespace {

bool IsLow(char16_t c) { return c < 33; }

TextView StripLowLeft(TextView text) {
  std::size_t start = 0;
  while (start < text.size() && IsLow(text[start])) ++start;
  return text.substr(start);
}

TextView StripLowRight(TextView text) {
  std::size_t end = text.size();
  while (end > 0 && IsLow(text[end - 1])) --end;
  return text.substr(0, end);
}

}  // namespace

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

TextView TrailingDigits(TextView text) {
  std::size_t start = text.size();
  while (start > 0 && IsDigit(text[start - 1])) --start;
  return text.substr(start);
}

std::int64_t CountHyphens(TextView item) { return std::count(item.begin(), item.end(), u'-'); }

TextView StripLow(TextView text) { return StripLowLeft(StripLowRight(text)); }

namespace {

TextView TrimBlanksLeft(TextView text) {
  std::size_t start = 0;
  while (start < text.size() && text[start] == u' ') ++start;
  return text.substr(start);
}

TextView TrimBlanksRight(TextView text) {
  std::size_t end = text.size();
  while (end > 0 && text[end - 1] == u' ') --end;
  return text.substr(0, end);
}

}  // namespace

Text WriteIndexNum1(const xl::Range& cell, TextView digits) {
  cell.SetValue(Text(digits));
  return CellText(cell);
}

double IndexNumberValue(TextView digits) {
  std::uint64_t value = 0;
  for (const char16_t c : digits) value = value * 10 + static_cast<std::uint64_t>(c - u'0');
  return static_cast<double>(value);
}

std::size_t IndexNumberLength(TextView digits) {
  const std::size_t first = digits.find_first_not_of(u'0');
  return first == TextView::npos ? (digits.empty() ? 0 : 1) : digits.size() - first;
}

bool IsBigNum(TextView indexNum1Text) { return indexNum1Text.find_first_of(u"eE") != TextView::npos; }

TextView CutPrefix(TextView part, TextView indexNum1Text) {
  return part.substr(0, part.size() - std::min(part.size(), indexNum1Text.size()));
}

HyphenParts SplitAtHyphen(TextView item, bool tabForm) {
  if (tabForm) item = StripLowRight(item);
  const std::size_t hyphen = item.find(u'-');
  TextView before = item.substr(0, hyphen);
  TextView after = hyphen == TextView::npos ? TextView() : item.substr(hyphen + 1);
  after = TrimBlanksLeft(after);
  if (tabForm) {
    after = StripLowLeft(after);
    before = StripLowLeft(TrimBlanksRight(StripLowRight(before)));
  } else {
    before = TrimBlanksRight(before);
  }
  return {before, after};
}

bool IsBigDigitRun(TextView digits) {
  const std::size_t first = digits.find_first_not_of(u'0');
  return first != TextView::npos && digits.size() - first > 15;
}

}  // namespace quillary::items
