#include "actions/internal/text_rules.h"

#include "host/text_replace.h"
#include "platform/runtime/vba.h"

namespace quillary::actions::internal {

namespace {

bool IsDelimiter(char16_t c) { return c == u',' || c == u'-'; }
bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

// One Item cut from the text.
struct CutItem {
  Text item;
  // The delimiter it ended at ("," or "-"), or, at the end of the text, the last
  // character read.
  char16_t delimiter = 0;
  // Ended at a delimiter (not at the end of the text), at this position.
  bool atDelimiter = false;
  std::size_t end = 0;
};

// Cuts the Item that begins at `i`. A blank starts a look ahead: blanks in front of a
// "," or "-" are all dropped, otherwise a run of n blanks keeps n - 1 of them (a single
// blank is dropped). A "," or "-" ends the Item unless the Item is still empty, when it
// becomes part of it.
CutItem Cut(TextView text, std::size_t i) {
  CutItem cut;
  std::size_t j = i;
  char16_t last = 0;
  while (j < text.size()) {
    char16_t c = text[j];
    std::size_t pending = 0;
    if (c == u' ') {
      std::size_t k = j + 1;
      while (k < text.size() && text[k] == u' ') {
        ++pending;
        ++k;
      }
      if (k == text.size()) break;  // blanks up to the end (the texts here are trimmed)
      if (IsDelimiter(text[k])) pending = 0;
      j = k;
      c = text[k];
    }
    cut.item.append(pending, u' ');
    if (!cut.item.empty() && IsDelimiter(c)) {
      cut.delimiter = c;
      cut.atDelimiter = true;
      cut.end = j;
      cut.item = vba::Trim(cut.item);
      return cut;
    }
    cut.item += c;
    last = c;
    ++j;
  }
  cut.delimiter = last;
  cut.end = text.size();
  cut.item = vba::Trim(cut.item);
  return cut;
}

// The position of an Item's last character that is not a digit: the prefix is the
// Item's first SplitPos characters, the index number the rest.
std::size_t SplitPos(const Text& item) {
  std::size_t pos = item.size();
  while (pos > 0 && IsDigit(item[pos - 1])) --pos;
  return pos;
}

bool EndsWith(const Text& text, TextView tail) { return text.size() >= tail.size() && text.ends_with(tail); }

}  // namespace

PrefixRewrite RewritePrefixes(TextView cellText, PrefixMode mode, TextView separator) {
  PrefixRewrite out;
  Text& next = out.text;
  bool firstSeen = false;
  Text firstPrefix;
  std::size_t i = 0;
  while (i < cellText.size()) {
    const CutItem cut = Cut(cellText, i);
    const Text& item = cut.item;
    const std::size_t split = SplitPos(item);
    const Text prefix = item.substr(0, split);
    const Text index = item.substr(split);
    const bool endsInDigits = split < item.size();
    if (!firstSeen) {
      if (split == 0 || !endsInDigits) return {PrefixFault::kFirstItem, {}};
      firstSeen = true;
      firstPrefix = prefix;
      next = item;
      if (cut.atDelimiter && cut.end + 1 < cellText.size()) {
        if (cut.delimiter == u',') {
          next += separator;
        } else {
          next += cut.delimiter;
        }
      }
    } else {
      if (!prefix.empty() && prefix != firstPrefix) return {PrefixFault::kMixedPrefix, {}};
      const bool qualifies = mode == PrefixMode::kAfterHyphenClear ? endsInDigits : !item.empty();
      if (qualifies && !EndsWith(next, u"-") && !EndsWith(next, u",") && !EndsWith(next, u"\n") &&
          !EndsWith(next, u", ")) {
        next += separator;
      }
      switch (mode) {
        case PrefixMode::kSet: next += firstPrefix + index; break;
        case PrefixMode::kClear: next += endsInDigits ? index : firstPrefix; break;
        case PrefixMode::kAfterHyphenClear:
          next += EndsWith(next, u"-") && endsInDigits ? index : firstPrefix + index;
          break;
      }
      if (cut.atDelimiter && cut.delimiter == u'-') next += u'-';
    }
    i = cut.end + 1;
  }
  if (!cellText.empty() && cellText.back() == u',') next += u',';
  return out;
}

Text CommaSpaceSetText(Text text, bool parenthesesAreCommas) {
  const Text mark(1, u'\x1F');
  if (parenthesesAreCommas) {
    host::ReplaceItRef(text, u"(", u",");
    host::ReplaceItRef(text, u")", u",");
  }
  for (const TextView separator : {u" ", u"\t", u"\n", u"\r"}) host::ReplaceItRef(text, separator, mark);
  host::ReplaceItRef(text, mark + u"-", u"-");
  host::ReplaceItRef(text, u"-" + mark, u"-");
  host::ReplaceItRef(text, u",", mark);
  host::ReplaceItRef(text, mark + mark, mark);
  host::ReplaceItRef(text, mark, u", ");
  if (text.ends_with(u", ")) text.resize(text.size() - 2);
  if (text.starts_with(u", ")) text.erase(0, 2);
  return text;
}

Text CommaSpaceClearText(Text text, bool collapseBlanks) {
  if (collapseBlanks) {
    host::ReplaceItRef(text, u"\t", u" ");
    host::ReplaceItRef(text, u"  ", u" ");
    return text;
  }
  host::ReplaceItRef(text, u", ", u",");
  host::ReplaceItRef(text, u",\n", u"\n");
  host::ReplaceItRef(text, u"\n,", u"\n");
  host::ReplaceItRef(text, u" ,", u",");
  return text;
}

}  // namespace quillary::actions::internal
