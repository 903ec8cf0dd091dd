#include "query/match.h"

#include <algorithm>
#include <array>

#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::query {

namespace {

constexpr char16_t kNoBreakSpace = u'\u00A0';
constexpr char16_t kEmptyItem[] = u",,";
// Digits beyond this many cannot be read exactly; such a number is never compared.
constexpr size_t kMaxDigits = 14;

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// The delimiters of a direct match of an Item that ends in digits and holds no hyphen,
// in CountIndex#: an Item such as R1 is bounded by commas and line breaks only.
bool IsNumberedDelimiter(char16_t c) { return c == u',' || c == u'\n'; }
// The delimiters of any other direct match.
bool IsGeneralDelimiter(char16_t c) { return c == u',' || c == u' ' || c == u'\t' || c == u'\n' || c == kNoBreakSpace; }
// What starts and ends a token of the token search.
bool IsTokenDelimiter(char16_t c) { return IsGeneralDelimiter(c) || c == u'-'; }
// What may stand between a hyphen and the ends of its range.
bool IsGap(char16_t c) { return c == u' ' || c == u'\t' || c == kNoBreakSpace; }

// The value of a run of at most kMaxDigits digits.
double DigitsValue(TextView digits) {
  double v = 0;
  for (const char16_t c : digits) v = v * 10 + (c - u'0');
  return v;
}

Text Char(TextView text, size_t at) { return at < text.size() ? Text(1, text[at]) : Text(); }

CellMatch EmptyItemMatch(TextView cell) {
  CellMatch m;
  Text packed;
  packed.reserve(cell.size());
  for (const char16_t c : cell) {
    if (c != u' ' && c != u'\t') packed.push_back(c);
  }
  size_t at = packed.find(kEmptyItem);
  if (at != Text::npos) {
    m.matched = kEmptyItem;
  } else if (cell.find(u'\n') != TextView::npos) {
    at = cell.find(u",\n");
    m.matched = u",\n";
    if (at == TextView::npos) {
      at = cell.find(u"\n,");
      m.matched = u"\n,";
    }
  }
  if (at == TextView::npos) return {};
  m.kind = HitKind::kEmptyItem;
  m.pos = static_cast<std::int64_t>(at) + 1;
  m.foundAt = m.matched;
  return m;
}

// The position (from 0) of the direct match of the Item in the cell, or npos.
size_t DirectMatch(TextView cell, const SearchItem& item, bool ignoreIndex, int compareMode, Text& scratch) {
  // Without regard to case both texts are searched folded: folding maps one code unit to
  // one, so positions carry over.
  TextView hay = cell;
  TextView key = item.item;
  if (compareMode == vba::kTextCompare) {
    scratch.resize(cell.size());
    std::transform(cell.begin(), cell.end(), scratch.begin(), text_order::FoldChar);
    hay = scratch;
    key = item.folded;
  }
  const size_t n = key.size();
  size_t p = hay.find(key);
  if (p == TextView::npos || n == 0) return TextView::npos;
  const bool numbered = !ignoreIndex && item.TrailingDigits() > 0 && item.item.find(u'-') == Text::npos;
  const auto delimiter = numbered ? IsNumberedDelimiter : IsGeneralDelimiter;
  while (p != TextView::npos) {
    const bool bounded =
        n == cell.size() ||
        (p == 0 ? delimiter(cell[n]) : delimiter(cell[p - 1]) && (p + n == cell.size() || delimiter(cell[p + n])));
    if (bounded) return p;
    p = hay.find(key, p + n);
  }
  return TextView::npos;
}

// One end of a range, or a token: [begin, end) of the cell, its prefix and the value of
// its trailing digits. An end without trailing digits, or with more than kMaxDigits of
// them, takes part in no comparison.
struct End {
  size_t begin = 0, end = 0;
  Text prefix;
  double number = 0;
  bool valid = false;

  bool AllDigits() const { return valid && prefix.empty(); }
  bool Is(TextView p, double n) const { return valid && prefix == p && number == n; }
};

End ReadEnd(TextView cell, size_t begin, size_t end) {
  End e{begin, end, {}, 0, false};
  size_t k = end;
  while (k > begin && IsDigit(cell[k - 1])) --k;
  const size_t digits = end - k;
  if (digits == 0 || digits > kMaxDigits) return e;
  e.prefix = Text(cell.substr(begin, k - begin));
  e.number = DigitsValue(cell.substr(k, digits));
  e.valid = true;
  return e;
}

// The token search of CountIndex#, for an Item with trailing digits.
class TokenSearch {
 public:
  TokenSearch(TextView cell, const SearchItem& item) : cell_(cell), prefix_(item.Prefix()), number_(item.number) {}

  CellMatch Run() const {
    if (!HasCandidate()) return {};
    for (size_t h = cell_.find(u'-'); h != TextView::npos; h = cell_.find(u'-', h + 1)) {
      if (CellMatch m = AtHyphen(h); m.IsHit()) return m;
    }
    if (StartsToken(0)) {
      if (CellMatch m = AfterSeparator(TextView::npos, 0); m.IsHit()) return m;
    }
    static constexpr std::array<char16_t, 5> kSeparators{u' ', u',', u'\n', u'\t', kNoBreakSpace};
    for (const char16_t sep : kSeparators) {
      for (size_t q = cell_.find(sep); q != TextView::npos; q = cell_.find(sep, q + 1)) {
        if (!StartsToken(q + 1)) continue;
        if (CellMatch m = AfterSeparator(q, q + 1); m.IsHit()) return m;
      }
    }
    return {};
  }

 private:
  // The Item's prefix stands at `at`, followed by a digit.
  bool StartsToken(size_t at) const {
    return at <= cell_.size() && cell_.substr(at).starts_with(prefix_) && at + prefix_.size() < cell_.size() &&
           IsDigit(cell_[at + prefix_.size()]);
  }

  // The prefix followed by a digit where a token begins: at the start of the text or
  // after a token delimiter.
  bool HasCandidate() const {
    for (size_t p = cell_.find(prefix_); p != TextView::npos; p = cell_.find(prefix_, p + 1)) {
      if ((p == 0 || IsTokenDelimiter(cell_[p - 1])) && StartsToken(p)) return true;
    }
    return false;
  }

  size_t TokenEnd(size_t from) const {
    while (from < cell_.size() && !IsTokenDelimiter(cell_[from])) ++from;
    return from;
  }

  CellMatch AtHyphen(size_t h) const {
    size_t lowEnd = h;
    while (lowEnd > 0 && IsGap(cell_[lowEnd - 1])) --lowEnd;
    size_t lowBegin = lowEnd;
    while (lowBegin > 0 && !IsTokenDelimiter(cell_[lowBegin - 1])) --lowBegin;
    size_t highBegin = h + 1;
    while (highBegin < cell_.size() && IsGap(cell_[highBegin])) ++highBegin;
    const size_t highEnd = TokenEnd(highBegin);

    const End low = ReadEnd(cell_, lowBegin, lowEnd);
    End high = ReadEnd(cell_, highBegin, highEnd);
    // R1-10 reads as R1-R10.
    if (high.AllDigits() && low.valid) high.prefix = low.prefix;

    CellMatch m;
    if (high.Is(prefix_, number_)) {
      m.kind = HitKind::kHighEnd;
      m.pos = static_cast<std::int64_t>(h) + 1;
      m.matched = Text(cell_.substr(h, highEnd - h));
      m.foundAt = u"-" + Text(cell_.substr(highBegin, highEnd - highBegin)) + Char(cell_, highEnd);
    } else if (low.Is(prefix_, number_)) {
      m.kind = HitKind::kLowEnd;
      m.pos = static_cast<std::int64_t>(lowBegin) + 1;
      m.matched = Text(cell_.substr(lowBegin, h - lowBegin + 1));
      m.foundAt =
          (lowBegin > 0 ? Char(cell_, lowBegin - 1) : Text()) + Text(cell_.substr(lowBegin, lowEnd - lowBegin)) + u"-";
    } else if (low.valid && high.valid && low.prefix == prefix_ && high.prefix == prefix_ && low.number < number_ &&
               number_ < high.number) {
      m.kind = HitKind::kInsideRange;
      m.rangeLow = Text(cell_.substr(lowBegin, lowEnd - lowBegin));
      m.rangeHigh = Text(cell_.substr(highBegin, highEnd - highBegin));
    }
    return m;
  }

  // The token at `begin`, after the separator at `sep` (npos: the token that begins
  // the text).
  CellMatch AfterSeparator(size_t sep, size_t begin) const {
    const size_t end = TokenEnd(begin);
    if (!ReadEnd(cell_, begin, end).Is(prefix_, number_)) return {};
    CellMatch m;
    m.kind = HitKind::kHighEnd;
    m.pos = sep == TextView::npos ? 1 : static_cast<std::int64_t>(sep) + 1;
    m.matched = Text(cell_.substr(begin, end - begin));
    m.foundAt = (sep == TextView::npos ? Text() : Char(cell_, sep)) + m.matched + Char(cell_, end);
    return m;
  }

  TextView cell_;
  TextView prefix_;
  double number_;
};

}  // namespace

SearchItem::SearchItem(Text text) : item(std::move(text)), folded(text_order::Fold(item)) {
  size_t k = item.size();
  while (k > 0 && IsDigit(item[k - 1])) --k;
  posInCell = static_cast<std::int64_t>(k) + 1;
  if (TrailingDigits() <= static_cast<std::int64_t>(kMaxDigits)) number = DigitsValue(TextView(item).substr(k));
}

Text SearchText(TextView typed) {
  Text item = vba::Trim(typed);
  if (item.empty()) return kEmptyItem;
  if (item.find(u',') != Text::npos) {
    Text packed;
    for (const char16_t c : item) {
      if (c != u' ') packed.push_back(c);
    }
    if (packed == kEmptyItem) return kEmptyItem;
  }
  return item;
}

CellMatch MatchInCell(TextView cell, const SearchItem& item, bool ignoreIndex, int compareMode) {
  Text scratch;
  return MatchInCell(cell, item, ignoreIndex, compareMode, scratch);
}

CellMatch MatchInCell(TextView cell, const SearchItem& item, bool ignoreIndex, int compareMode, Text& scratch) {
  if (item.IsEmptyItem()) return EmptyItemMatch(cell);
  if (const size_t p = DirectMatch(cell, item, ignoreIndex, compareMode, scratch); p != TextView::npos) {
    CellMatch m;
    m.kind = HitKind::kDirect;
    m.pos = static_cast<std::int64_t>(p) + 1;
    m.matched = item.item;
    m.foundAt = item.item;
    return m;
  }
  if (ignoreIndex || item.TrailingDigits() == 0 || item.TrailingDigits() > static_cast<std::int64_t>(kMaxDigits)) {
    return {};
  }
  return TokenSearch(cell, item).Run();
}

}  // namespace quillary::query
