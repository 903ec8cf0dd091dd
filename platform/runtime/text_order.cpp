#include "platform/runtime/text_order.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <string_view>

namespace quillary::text_order {

namespace {

// ---------------------------------------------------------------------------------
// Case mapping: pairs of upper- and lower-case letters, independent of the process
// locale. A block rule maps [first, last] to [first + delta, last + delta]; an
// alternating rule pairs each upper-case letter at first, first + 2, ... up to last
// with the lower-case letter right after it. Where two upper-case letters fold to the
// same lower-case one, the first rule listed is the one UpperChar gives back.
struct CaseRule {
  char16_t first;
  char16_t last;
  int delta;              // 0 for an alternating rule
  bool foldOnly = false;  // UpperChar does not go back (the lower-case letter has no upper case of its own)
};

constexpr std::array kCaseRules{
    CaseRule{u'A', u'Z', 32},
    CaseRule{0x00C0, 0x00D6, 32},  // Latin-1 (the multiplication sign is left out)
    CaseRule{0x00D8, 0x00DE, 32},
    CaseRule{0x0178, 0x0178, 0x00FF - 0x0178},  // Y with diaeresis
    CaseRule{0x0100, 0x012E, 0},                // Latin Extended-A
    CaseRule{0x0132, 0x0136, 0},
    CaseRule{0x0139, 0x0147, 0},
    CaseRule{0x014A, 0x0176, 0},
    CaseRule{0x0179, 0x017D, 0},
    CaseRule{0x0130, 0x0130, u'i' - 0x0130, true},  // dotted capital I
    CaseRule{0x01C4, 0x01C4, 2},                    // Latin Extended-B: the digraphs
    CaseRule{0x01C5, 0x01C5, 1},
    CaseRule{0x01C7, 0x01C7, 2},
    CaseRule{0x01C8, 0x01C8, 1},
    CaseRule{0x01CA, 0x01CA, 2},
    CaseRule{0x01CB, 0x01CB, 1},
    CaseRule{0x01F1, 0x01F1, 2},
    CaseRule{0x01F2, 0x01F2, 1},
    CaseRule{0x01CD, 0x01DB, 0},
    CaseRule{0x01DE, 0x01EE, 0},
    CaseRule{0x01F4, 0x01F4, 0},
    CaseRule{0x01F8, 0x021E, 0},
    CaseRule{0x0222, 0x0232, 0},
    CaseRule{0x0386, 0x0386, 0x03AC - 0x0386},  // Greek
    CaseRule{0x0388, 0x038A, 0x03AD - 0x0388},
    CaseRule{0x038C, 0x038C, 0x03CC - 0x038C},
    CaseRule{0x038E, 0x038F, 0x03CD - 0x038E},
    CaseRule{0x0391, 0x03A1, 32},
    CaseRule{0x03A3, 0x03AB, 32},
    CaseRule{0x03D8, 0x03EE, 0},
    CaseRule{0x0400, 0x040F, 80},  // Cyrillic
    CaseRule{0x0410, 0x042F, 32},
    CaseRule{0x0460, 0x0480, 0},
    CaseRule{0x048A, 0x04BE, 0},
    CaseRule{0x04C0, 0x04C0, 15},
    CaseRule{0x04C1, 0x04CD, 0},
    CaseRule{0x04D0, 0x052E, 0},
    CaseRule{0x0531, 0x0556, 48},                     // Armenian
    CaseRule{0x1E00, 0x1E94, 0},                      // Latin Extended Additional
    CaseRule{0x1E9E, 0x1E9E, 0x00DF - 0x1E9E, true},  // capital sharp s
    CaseRule{0x1EA0, 0x1EFE, 0},
    CaseRule{0xFF21, 0xFF3A, 32},  // full-width Latin
};

constexpr char16_t Shift(char16_t c, int delta) { return static_cast<char16_t>(static_cast<int>(c) + delta); }

// ---------------------------------------------------------------------------------
// Weights of the first comparison.

constexpr std::u16string_view kPunctuation = u" !\"#$%&()*,./:;?@[\\]^_`{|}~+<=>";

// Control characters (Tab among them, and Chr(127) after Chr(31)) weigh least, so that
// Chr(1) sorts at or before every text; then digits, blank and punctuation, letters.
constexpr char16_t kControlBase = 0x0008;                // 0x08 .. 0x27
constexpr char16_t kDeleteWeight = kControlBase + 0x20;  // 0x28
constexpr char16_t kDigitBase = 0x0030;                  // 0x30 .. 0x39
constexpr char16_t kPunctuationBase = 0x0040;            // 0x40 .. 0x5E
constexpr char16_t kLetterBase = 0x0060;                 // 0x60 .. 0x79
static_assert(kPunctuationBase + kPunctuation.size() <= kLetterBase);
static_assert(kDeleteWeight < kDigitBase);

// The base letters of the accented Latin letters U+00C0 .. U+017F (after case
// folding), "." where there is none (signs, ligatures, letters of their own).
constexpr std::u16string_view kBaseLetters =
    u"aaaaaa.ceeeeiiiidnooooo.ouuuuy.."   // U+00C0 .. U+00DF
    u"aaaaaa.ceeeeiiiidnooooo.ouuuuy.y"   // U+00E0 .. U+00FF
    u"aaaaaaccccccccddddeeeeeeeeeegggg"   // U+0100 .. U+011F
    u"gggghhhhiiiiiiiiii..jjkk.lllllll"   // U+0120 .. U+013F
    u"lllnnnnnn...oooooo..rrrrrrssssss"   // U+0140 .. U+015F
    u"ssttttttuuuuuuuuuuuuwwyyyzzzzzz.";  // U+0160 .. U+017F
static_assert(kBaseLetters.size() == 0x180 - 0xC0);

// The base letter of a folded accented letter, or 0.
constexpr char16_t BaseLetter(char16_t folded) {
  if (folded < 0xC0 || folded >= 0x180) return 0;
  const char16_t b = kBaseLetters[folded - 0xC0];
  return b == u'.' ? 0 : b;
}

// Separates the levels of a sort key; lower than every weight and every mark.
constexpr char16_t kLevelSeparator = 0x0001;

// Marks of the accent comparison: a plain character first, then the accented letters
// by their folded code unit (all above 0xC0).
constexpr char16_t kPlainMark = 0x0002;

// Marks of the second comparison (where the hyphens and apostrophes stand).
constexpr char16_t kOrdinaryMark = 0x0002;
constexpr char16_t kApostropheMark = 0x0003;
constexpr char16_t kHyphenMark = 0x0004;

// Marks of the case comparison: lower case (or no case) first; other forms by code unit
// (all above 0x40).
constexpr char16_t kLowerMark = 0x0002;

bool Ignorable(char16_t c) { return c == u'-' || c == u'\''; }

// Weight of a character that is not ignorable, from its folded form.
constexpr char16_t WeighFolded(char16_t f) {
  if (f >= u'0' && f <= u'9') return Shift(kDigitBase, f - u'0');
  if (f >= u'a' && f <= u'z') return Shift(kLetterBase, f - u'a');
  if (f < 0x20) return Shift(kControlBase, f);
  if (f == 0x7F) return kDeleteWeight;
  if (const char16_t base = BaseLetter(f)) return Shift(kLetterBase, base - u'a');
  if (f < 0x80) {
    const auto pos = kPunctuation.find(f);
    return pos == std::u16string_view::npos ? f : Shift(kPunctuationBase, static_cast<int>(pos));
  }
  return f;  // other characters after the letters, by their folded code unit
}

// The weights of the ASCII characters, looked up rather than worked out.
constexpr std::array<char16_t, 0x80> AsciiWeights() {
  std::array<char16_t, 0x80> w{};
  for (char16_t c = 0; c < 0x80; ++c) {
    const char16_t f = (c >= u'A' && c <= u'Z') ? static_cast<char16_t>(c + 32) : c;
    w[c] = WeighFolded(f);
  }
  return w;
}

char16_t PrimaryWeight(char16_t c) {
  static constexpr std::array<char16_t, 0x80> kAscii = AsciiWeights();
  if (c < 0x80) return kAscii[c];
  return WeighFolded(FoldChar(c));
}

char16_t SecondaryMark(char16_t c) {
  if (c == u'-') return kHyphenMark;
  if (c == u'\'') return kApostropheMark;
  return kOrdinaryMark;
}

char16_t AccentMark(char16_t c) {
  const char16_t f = FoldChar(c);
  return BaseLetter(f) != 0 ? f : kPlainMark;
}

char16_t CaseMark(char16_t c) { return FoldChar(c) == c ? kLowerMark : c; }

int Sign(int v) { return (v > 0) - (v < 0); }

int ComparePrimary(TextView a, TextView b) {
  size_t i = 0;
  size_t j = 0;
  for (;;) {
    while (i < a.size() && Ignorable(a[i])) ++i;
    while (j < b.size() && Ignorable(b[j])) ++j;
    if (i == a.size() || j == b.size()) return (i < a.size()) - (j < b.size());
    // The same character weighs the same: only differing ones are weighed.
    if (a[i] == b[j]) {
      ++i;
      ++j;
      continue;
    }
    const char16_t wa = PrimaryWeight(a[i]);
    const char16_t wb = PrimaryWeight(b[j]);
    if (wa != wb) return wa < wb ? -1 : 1;
    ++i;
    ++j;
  }
}

template <class Mark>
int CompareMarks(TextView a, TextView b, Mark mark) {
  const size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    const char16_t ma = mark(a[i]);
    const char16_t mb = mark(b[i]);
    if (ma != mb) return ma < mb ? -1 : 1;
  }
  return Sign(static_cast<int>(a.size() > b.size()) - static_cast<int>(a.size() < b.size()));
}

int TypeRank(const Variant& v) {
  switch (v.Type()) {
    case VarType::Number: return 0;
    case VarType::String: return 1;
    case VarType::Boolean: return 2;
    case VarType::Error: return 3;
    case VarType::Empty:
    case VarType::Null: return 4;
  }
  return 4;
}

// CompareText, one comparison after the other.
int CompareByLevels(TextView a, TextView b, bool matchCase);

}  // namespace

char16_t FoldChar(char16_t c) {
  if (c < 0x80) return (c >= u'A' && c <= u'Z') ? Shift(c, 32) : c;
  if ((c >= 0x0590 && c < 0x1E00) || (c > 0x1EFF && c < 0xFF21)) return c;  // no pairs here
  for (const CaseRule& r : kCaseRules) {
    if (c < r.first || c > r.last) continue;
    if (r.delta != 0) return Shift(c, r.delta);
    if ((c - r.first) % 2 == 0) return Shift(c, 1);
  }
  return c;
}

char16_t UpperChar(char16_t c) {
  if (c < 0x80) return (c >= u'a' && c <= u'z') ? Shift(c, -32) : c;
  for (const CaseRule& r : kCaseRules) {
    if (r.foldOnly) continue;
    if (r.delta != 0) {
      if (c >= Shift(r.first, r.delta) && c <= Shift(r.last, r.delta)) return Shift(c, -r.delta);
    } else if (c > r.first && c <= r.last + 1 && (c - r.first) % 2 == 1) {
      return Shift(c, -1);
    }
  }
  return c;
}

Text Fold(TextView s) {
  Text out(s);
  for (char16_t& c : out) c = FoldChar(c);
  return out;
}

bool EqualNoCase(TextView a, TextView b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i] && FoldChar(a[i]) != FoldChar(b[i])) return false;
  }
  return true;
}

// Four comparisons, each deciding only when the ones before tie: the weights of the
// characters other than hyphens and apostrophes (an accented letter weighs as its base
// letter); then, position by position, whether a hyphen or an apostrophe stands there
// (an ordinary character first, then an apostrophe, then a hyphen; the shorter text
// first); then the accents, position by position (a plain letter first, accented ones
// by their code); then, with matchCase, the case at the first position where the texts
// differ (lower case first).
//
// Most texts are compared in one pass: while the texts go alike (the same character at
// each position, or two plain ASCII characters that are not a hyphen or an apostrophe),
// the first two of different weight decide; where none do, the shorter text comes
// first (what follows in the longer one decides the first comparison, or, if it is only
// hyphens and apostrophes, the second); texts of one length are equal in the first
// three comparisons, and the first case pair decides the fourth. Texts that part at any
// other two characters go through the comparisons one by one.
int CompareText(TextView a, TextView b, bool matchCase) {
  static constexpr std::array<char16_t, 0x80> kAscii = AsciiWeights();
  const size_t n = std::min(a.size(), b.size());
  int byCase = 0;
  for (size_t i = 0; i < n; ++i) {
    const char16_t ca = a[i];
    const char16_t cb = b[i];
    if (ca == cb) continue;
    if (ca >= 0x80 || cb >= 0x80 || Ignorable(ca) || Ignorable(cb)) return CompareByLevels(a, b, matchCase);
    const char16_t wa = kAscii[ca];
    const char16_t wb = kAscii[cb];
    if (wa != wb) return wa < wb ? -1 : 1;
    // Two ASCII characters of one weight are a letter in both cases: lower case first.
    if (byCase == 0) byCase = ca >= u'a' ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return matchCase ? byCase : 0;
}

namespace {

int CompareByLevels(TextView a, TextView b, bool matchCase) {
  if (int c = ComparePrimary(a, b); c != 0) return c;
  if (int c = CompareMarks(a, b, SecondaryMark); c != 0) return c;
  if (int c = CompareMarks(a, b, AccentMark); c != 0) return c;
  if (!matchCase) return 0;
  return CompareMarks(a, b, CaseMark);
}

}  // namespace

Text SortKey(TextView s, bool matchCase) {
  Text key;
  AppendSortKey(s, matchCase, key);
  return key;
}

void AppendSortKey(TextView s, bool matchCase, Text& key) {
  key.reserve(key.size() + s.size() * (matchCase ? 4 : 3) + 3);
  for (char16_t c : s) {
    if (!Ignorable(c)) key.push_back(PrimaryWeight(c));
  }
  key.push_back(kLevelSeparator);
  for (char16_t c : s) key.push_back(SecondaryMark(c));
  key.push_back(kLevelSeparator);
  for (char16_t c : s) key.push_back(AccentMark(c));
  if (matchCase) {
    key.push_back(kLevelSeparator);
    for (char16_t c : s) key.push_back(CaseMark(c));
  }
}

void AppendSortKeyBytes(TextView s, bool matchCase, std::string& out) {
  const std::size_t levels = matchCase ? 4 : 3;
  std::size_t units = levels - 1 + levels * s.size();
  for (const char16_t c : s) units -= Ignorable(c) ? 1 : 0;
  std::size_t at = out.size();
  out.resize(at + 2 * units);
  const auto put = [&out, &at](char16_t unit) {
    out[at++] = static_cast<char>(unit >> 8);
    out[at++] = static_cast<char>(unit & 0xFF);
  };
  for (const char16_t c : s) {
    if (!Ignorable(c)) put(PrimaryWeight(c));
  }
  put(kLevelSeparator);
  for (const char16_t c : s) put(SecondaryMark(c));
  put(kLevelSeparator);
  for (const char16_t c : s) put(AccentMark(c));
  if (matchCase) {
    put(kLevelSeparator);
    for (const char16_t c : s) put(CaseMark(c));
  }
}

bool IsPlain(TextView s) {
  return std::all_of(s.begin(), s.end(), [](char16_t c) { return c < 0x80 && !Ignorable(c); });
}

void AppendPlainSortKey(TextView s, bool matchCase, std::string& out) {
  static constexpr std::array<char16_t, 0x80> kAscii = AsciiWeights();
  std::size_t at = out.size();
  out.resize(at + (matchCase ? 2 * s.size() + 1 : s.size()));
  for (const char16_t c : s) out[at++] = static_cast<char>(kAscii[c & 0x7F]);
  if (!matchCase) return;
  out[at++] = static_cast<char>(kLevelSeparator);
  for (const char16_t c : s) out[at++] = static_cast<char>(CaseMark(c));
}

int CompareValues(const Variant& a, const Variant& b, bool matchCase) {
  const int ra = TypeRank(a);
  const int rb = TypeRank(b);
  if (ra != rb) return ra < rb ? -1 : 1;
  switch (a.Type()) {
    case VarType::Number: {
      const double x = a.AsNumber();
      const double y = b.AsNumber();
      return (x > y) - (x < y);
    }
    case VarType::String: return CompareText(a.AsText(), b.AsText(), matchCase);
    case VarType::Boolean: return static_cast<int>(a.AsBool()) - static_cast<int>(b.AsBool());
    default: return 0;  // error values among themselves, and blanks, keep their order
  }
}

}  // namespace quillary::text_order
