// End, Find/FindNext and Sort of the in-memory worksheet.
#include <algorithm>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstdint>
#include <exception>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <utility>

#include "platform/excel/memory/internal/big_block.h"
#include "platform/excel/memory/internal/objects.h"
#include "platform/excel/memory/internal/text_interner.h"
#include "platform/runtime/error.h"
#include "platform/runtime/phases.h"
#include "platform/runtime/text_order.h"

namespace quillary::xl::memory {

// ----- End -----

CellPos MemoryWorksheet::End(long row, long col, long direction) {
  Live();
  CheckCell(row, col);
  auto filled = [&](long r, long c) {
    const Column* p = Col(c);
    return r >= 1 && r <= rows_ && p && p->IsFilled(r);
  };
  const Column* here = Col(col);
  switch (direction) {
    case xlDown: {
      if (!here) return {rows_, col};
      if (filled(row, col) && filled(row + 1, col)) return {here->RunEnd(row), col};
      auto next = here->NextFilled(row);
      return {next ? *next : rows_, col};
    }
    case xlUp: {
      if (!here) return {1, col};
      if (filled(row, col) && filled(row - 1, col)) return {here->RunStart(row), col};
      auto prev = here->PrevFilled(row);
      return {prev ? *prev : 1, col};
    }
    case xlToRight: {
      const long last = std::min<long>(cols_, static_cast<long>(columns_.size()));
      if (filled(row, col) && filled(row, col + 1)) {
        long c = col + 1;
        while (c + 1 <= last && filled(row, c + 1)) ++c;
        return {row, c};
      }
      for (long c = col + 1; c <= last; ++c) {
        if (filled(row, c)) return {row, c};
      }
      return {row, cols_};
    }
    case xlToLeft: {
      if (filled(row, col) && filled(row, col - 1)) {
        long c = col - 1;
        while (c - 1 >= 1 && filled(row, c - 1)) --c;
        return {row, c};
      }
      for (long c = std::min<long>(col - 1, static_cast<long>(columns_.size())); c >= 1; --c) {
        if (filled(row, c)) return {row, c};
      }
      return {row, 1};
    }
    default: Raise(err::kApplication, "Unable to get the End property of the Range class");
  }
}

// ----- Find -----

namespace {

// A compiled What: literal characters and the wildcards "?" (one character) and "*"
// (any run); "~" makes the next "~", "*" or "?" literal. Without MatchCase the pattern
// and the cell texts are compared folded. What is at most 255 characters: the pattern
// lives in the matcher itself, and matching a cell allocates nothing but, for a
// search other than a whole-value one without case, one reused buffer.
class Matcher {
 public:
  static constexpr std::size_t kLongestWhat = 255;

  explicit Matcher(const FindSettings& s) : whole_(s.LookAt == xlWhole), matchCase_(s.MatchCase) {
    const TextView what = TextView(s.What).substr(0, kLongestWhat);
    for (std::size_t i = 0; i < what.size(); ++i) {
      const char16_t c = what[i];
      if (c == u'~' && i + 1 < what.size() && (what[i + 1] == u'~' || what[i + 1] == u'*' || what[i + 1] == u'?')) {
        Add({false, what[++i]});
      } else if (c == u'*' || c == u'?') {
        Add({true, c});
        wild_ = true;
      } else {
        Add({false, matchCase_ ? c : text_order::FoldChar(c)});
      }
    }
  }

  // True when the folded key `literal` finds every match: a whole, wildcard-free search.
  bool Indexable() const { return whole_ && !wild_; }
  // The literal in folded form, for the index.
  TextView FoldedLiteral() {
    for (std::size_t i = 0; i < count_; ++i) folded_[i] = text_order::FoldChar(literal_[i]);
    return TextView(folded_, count_);
  }

  bool Matches(TextView cellText) const {
    const TextView literal(literal_, count_);
    if (!wild_ && whole_) {
      if (cellText.size() != count_) return false;
      if (matchCase_) return cellText == literal;
      for (std::size_t i = 0; i < count_; ++i) {
        if (text_order::FoldChar(cellText[i]) != literal_[i]) return false;
      }
      return true;
    }
    TextView s = cellText;
    if (!matchCase_) {
      scratch_.assign(cellText);
      for (char16_t& c : scratch_) c = text_order::FoldChar(c);
      s = scratch_;
    }
    if (!wild_) return s.find(literal) != TextView::npos;
    // A part match is a whole match with a "*" before and after the pattern.
    return whole_ ? Glob(s) : Glob(s, true, true);
  }

 private:
  struct Token {
    bool wild;
    char16_t c;
  };

  void Add(Token t) {
    tokens_[count_] = t;
    literal_[count_] = t.c;
    ++count_;
  }

  // Whole-text glob with backtracking to the last star, linear for patterns of few
  // stars. `openStart` and `openEnd` put an implicit "*" before and after the pattern.
  bool Glob(TextView s, bool openStart = false, bool openEnd = false) const {
    constexpr std::size_t kNone = SIZE_MAX, kLeading = SIZE_MAX - 1;
    const std::size_t n = count_;
    const auto star = [&](std::size_t t) { return tokens_[t].wild && tokens_[t].c == u'*'; };
    std::size_t si = 0, ti = 0, starT = openStart ? kLeading : kNone, starS = 0;
    while (si < s.size()) {
      if (openEnd && ti == n) return true;
      if (ti < n && star(ti)) {
        starT = ti++;
        starS = si;
      } else if (ti < n &&
                 ((tokens_[ti].wild && tokens_[ti].c == u'?') || (!tokens_[ti].wild && tokens_[ti].c == s[si]))) {
        ++ti;
        ++si;
      } else if (starT != kNone) {
        ti = starT == kLeading ? 0 : starT + 1;
        si = ++starS;
      } else {
        return false;
      }
    }
    while (ti < n && star(ti)) ++ti;
    return ti == n;
  }

  bool whole_;
  bool matchCase_;
  bool wild_ = false;
  std::size_t count_ = 0;
  Token tokens_[kLongestWhat];
  char16_t literal_[kLongestWhat];  // the tokens' characters (the literal when none is wild)
  char16_t folded_[kLongestWhat];
  mutable Text scratch_;
};

void CheckFindSettings(const FindSettings& s) {
  const bool ok = (s.LookIn == xlValues || s.LookIn == xlFormulas || s.LookIn == xlComments) &&
                  (s.LookAt == xlWhole || s.LookAt == xlPart) &&
                  (s.SearchOrder == xlByRows || s.SearchOrder == xlByColumns) &&
                  (s.SearchDirection == xlNext || s.SearchDirection == xlPrevious);
  if (!ok) Raise(err::kApplication, "Unable to get the Find property of the Range class");
}

}  // namespace

std::optional<CellPos> MemoryWorksheet::Find(std::span<const Area> within, const FindArgs& args) {
  Live();
  book_.App().CheckFailure("Range.Find");
  if (args.What.size() > 255) Raise(err::kTypeMismatch, "Type mismatch");
  FindSettings s = book_.App().FindState();
  s.What = args.What;
  if (args.LookIn) s.LookIn = *args.LookIn;
  if (args.LookAt) s.LookAt = *args.LookAt;
  if (args.SearchOrder) s.SearchOrder = *args.SearchOrder;
  s.MatchCase = args.MatchCase.value_or(false);
  if (args.MatchByte) s.MatchByte = *args.MatchByte;
  s.SearchDirection = args.SearchDirection;
  CheckFindSettings(s);
  std::optional<CellPos> after;
  if (args.After) {
    if (&args.After->Parent() != this) Raise(err::kApplication, "Unable to get the Find property of the Range class");
    after = CellPos{args.After->Row(), args.After->Column()};
  }
  book_.App().FindState() = s;
  return Search(within, s, after);
}

std::optional<CellPos> MemoryWorksheet::FindNext(std::span<const Area> within, std::optional<CellPos> after) {
  Live();
  book_.App().CheckFailure("Range.FindNext");
  FindSettings s = book_.App().FindState();
  s.SearchDirection = xlNext;
  return Search(within, s, after);
}

std::optional<CellPos> MemoryWorksheet::Search(std::span<const Area> within, const FindSettings& s,
                                               std::optional<CellPos> after) {
  if (within.empty()) return std::nullopt;
  Matcher matcher(s);
  Text shown;  // a non-text cell's text, for the matcher
  const bool byColumns = s.SearchOrder == xlByColumns;

  // The first (forward) or last (backward) matching row of column c within [lo, hi].
  auto columnMatch = [&](long c, long lo, long hi, bool forward) -> std::optional<long> {
    if (lo > hi) return std::nullopt;
    if (s.LookIn == xlComments) {
      std::optional<long> best;
      for (const auto& [pos, data] : comments_) {
        if (pos.second != c || pos.first < lo || pos.first > hi || !matcher.Matches(data.text)) continue;
        if (!best || (forward ? pos.first < *best : pos.first > *best)) best = pos.first;
      }
      return best;
    }
    Column* col = Col(c);
    if (!col) return std::nullopt;
    auto accept = [&](long r) { return matcher.Matches(col->SearchView(r, s.LookIn, shown)); };
    if (s.LookIn == xlValues && matcher.Indexable()) {
      const internal::RowSet* rows = col->IndexRows(matcher.FoldedLiteral());
      if (!rows) return std::nullopt;
      return rows->Search(lo, hi, forward, accept);
    }
    if (forward) {
      for (auto r = col->NextFilled(lo - 1); r && *r <= hi; r = col->NextFilled(*r)) {
        if (accept(*r)) return r;
      }
    } else {
      for (auto r = col->PrevFilled(hi + 1); r && *r >= lo; r = col->PrevFilled(*r)) {
        if (accept(*r)) return r;
      }
    }
    return std::nullopt;
  };

  // Positions within an area count in search order from 0; this finds the first
  // (forward) or last (backward) match with a position in [kLo, kHi].
  auto areaMatch = [&](const Area& a, std::int64_t kLo, std::int64_t kHi, bool forward) -> std::optional<CellPos> {
    if (kLo > kHi) return std::nullopt;
    const std::int64_t R = a.Rows(), C = a.Columns();
    if (byColumns) {
      const long cLo = a.col1 + static_cast<long>(kLo / R), rLo = a.row1 + static_cast<long>(kLo % R);
      const long cHi = a.col1 + static_cast<long>(kHi / R), rHi = a.row1 + static_cast<long>(kHi % R);
      const long lastCol = s.LookIn == xlComments ? cHi : std::min<long>(cHi, static_cast<long>(columns_.size()));
      if (forward) {
        for (long c = cLo; c <= lastCol; ++c) {
          if (auto r = columnMatch(c, c == cLo ? rLo : a.row1, c == cHi ? rHi : a.row2, true)) return CellPos{*r, c};
        }
      } else {
        for (long c = std::min(cHi, lastCol); c >= cLo; --c) {
          if (auto r = columnMatch(c, c == cLo ? rLo : a.row1, c == cHi ? rHi : a.row2, false)) return CellPos{*r, c};
        }
      }
      return std::nullopt;
    }
    const long rLo = a.row1 + static_cast<long>(kLo / C), cLo = a.col1 + static_cast<long>(kLo % C);
    const long rHi = a.row1 + static_cast<long>(kHi / C), cHi = a.col1 + static_cast<long>(kHi % C);
    std::optional<CellPos> best;
    const long lastCol = s.LookIn == xlComments ? a.col2 : std::min<long>(a.col2, static_cast<long>(columns_.size()));
    for (long c = a.col1; c <= lastCol; ++c) {
      const long lo = c >= cLo ? rLo : rLo + 1;
      const long hi = c <= cHi ? rHi : rHi - 1;
      auto r = columnMatch(c, lo, hi, forward);
      if (!r) continue;
      const bool better = !best || (forward ? (*r < best->row || (*r == best->row && c < best->col))
                                            : (*r > best->row || (*r == best->row && c > best->col)));
      if (better) best = CellPos{*r, c};
    }
    return best;
  };

  std::size_t ai = 0;
  std::int64_t kAfter = 0;
  if (after) {
    bool found = false;
    for (std::size_t i = 0; i < within.size() && !found; ++i) {
      const Area& a = within[i];
      if (a.Contains(after->row, after->col)) {
        ai = i;
        kAfter = byColumns ? std::int64_t{after->col - a.col1} * a.Rows() + (after->row - a.row1)
                           : std::int64_t{after->row - a.row1} * a.Columns() + (after->col - a.col1);
        found = true;
      }
    }
    if (!found) Raise(err::kApplication, "Unable to get the Find property of the Range class");
  }
  const std::size_t n = within.size();
  const auto end = [&](std::size_t i) { return within[i].Cells() - 1; };
  if (s.SearchDirection == xlNext) {
    if (auto m = areaMatch(within[ai], kAfter + 1, end(ai), true)) return m;
    for (std::size_t i = ai + 1; i < n; ++i) {
      if (auto m = areaMatch(within[i], 0, end(i), true)) return m;
    }
    for (std::size_t i = 0; i < ai; ++i) {
      if (auto m = areaMatch(within[i], 0, end(i), true)) return m;
    }
    return areaMatch(within[ai], 0, kAfter, true);
  }
  if (auto m = areaMatch(within[ai], 0, kAfter - 1, false)) return m;
  for (std::size_t i = ai; i-- > 0;) {
    if (auto m = areaMatch(within[i], 0, end(i), false)) return m;
  }
  for (std::size_t i = n; i-- > ai + 1;) {
    if (auto m = areaMatch(within[i], 0, end(i), false)) return m;
  }
  return areaMatch(within[ai], kAfter, end(ai), false);
}

// ----- Sort -----

namespace {

using internal::Cell;
using internal::CellKind;
// The working memory of one sort, given back when it ends (a sort of a million rows
// needs some 30 MB, which the rest of a run has better use for).
struct Buffers {
  internal::BigVector<std::uint32_t> order, newRow;
  internal::BigVector<std::uint64_t> value;
  internal::BigVector<std::uint8_t> cls;
};

// A sort this long shares its work out among a few threads.
constexpr std::size_t kThreadedRows = std::size_t{1} << 16;
constexpr std::size_t kMostThreads = 4;

// The threads a sort of `n` rows shares its work among.
std::size_t SortThreads(std::size_t n) {
  if (n < kThreadedRows) return 1;
  return std::max<std::size_t>(1, std::min<std::size_t>(kMostThreads, std::thread::hardware_concurrency()));
}

// Runs work(0) ... work(parts - 1), each on a thread of its own (work(0) on this one); a
// part whose thread cannot be had runs here. The first failure is thrown once all end.
template <class Work>
void InParallel(std::size_t parts, Work&& work) {
  std::mutex failed;
  std::exception_ptr failure;
  const auto run = [&](std::size_t part) {
    try {
      work(part);
    } catch (...) {
      const std::lock_guard<std::mutex> lock(failed);
      if (!failure) failure = std::current_exception();
    }
  };
  std::vector<std::thread> helpers;
  for (std::size_t part = 1; part < parts; ++part) {
    try {
      helpers.emplace_back(run, part);
    } catch (const std::system_error&) {
      run(part);
    }
  }
  run(0);
  for (std::thread& t : helpers) t.join();
  if (failure) std::rethrow_exception(failure);
}

// Sorts `v` by `less` and visits its elements in that order: a long one is sorted in
// pieces side by side, which the visit then merges (elements that neither orders before
// the other may come in another order than std::sort's; every caller orders totally or
// does not mind), so that no more memory is needed than the elements'.
template <class Vector, class Less, class Visit>
void SortAndVisit(Vector& v, Less less, Visit&& visit) {
  const std::size_t parts = SortThreads(v.size());
  if (parts <= 1) {
    std::sort(v.begin(), v.end(), less);
    for (const auto& x : v) visit(x);
    return;
  }
  std::vector<std::size_t> bounds(parts + 1);
  for (std::size_t p = 0; p <= parts; ++p) bounds[p] = v.size() * p / parts;
  InParallel(parts, [&](std::size_t p) {
    std::sort(v.begin() + static_cast<std::ptrdiff_t>(bounds[p]),
              v.begin() + static_cast<std::ptrdiff_t>(bounds[p + 1]), less);
  });
  std::vector<std::size_t> next(bounds.begin(), bounds.end() - 1);
  for (std::size_t i = 0; i < v.size(); ++i) {
    std::size_t best = parts;
    for (std::size_t p = 0; p < parts; ++p) {
      if (next[p] < bounds[p + 1] && (best == parts || less(v[next[p]], v[next[best]]))) best = p;
    }
    visit(v[next[best]++]);
  }
}

// Key classes: numbers, texts, booleans, error values; blanks last in either order.
constexpr std::uint8_t kNumberClass = 0, kTextClass = 1, kBooleanClass = 2, kErrorClass = 3, kBlankClass = 4;

// A number as an unsigned integer in the same order.
std::uint64_t NumberKey(double d) {
  if (d == 0) d = 0;
  const auto bits = std::bit_cast<std::uint64_t>(d);
  return (bits >> 63) != 0 ? ~bits : bits | (std::uint64_t{1} << 63);
}

// The number of a NumberKey.
double NumberOfKey(std::uint64_t key) {
  return std::bit_cast<double>((key >> 63) != 0 ? key & ~(std::uint64_t{1} << 63) : ~key);
}

// Where every number of a key is a whole one, each is keyed by its integer instead, in
// the same order: those keys lie closer together, so that a sort packs more of them.
void KeyWholeNumbers(Buffers& b) {
  constexpr double kExact = 9007199254740992.0;  // 2^53: every whole number up to it is a double
  for (std::size_t i = 0; i < b.cls.size(); ++i) {
    if (b.cls[i] != kNumberClass) continue;
    const double d = NumberOfKey(b.value[i]);
    if (!(d == std::trunc(d) && std::abs(d) <= kExact)) return;
  }
  for (std::size_t i = 0; i < b.cls.size(); ++i) {
    if (b.cls[i] != kNumberClass) continue;
    const auto whole = static_cast<std::int64_t>(NumberOfKey(b.value[i]));
    b.value[i] = static_cast<std::uint64_t>(whole) ^ (std::uint64_t{1} << 63);
  }
}

// The class and value of one key of every row of the block, into b.cls and b.value:
// numbers as they are, booleans 0 and 1, texts by their rank among the block's
// distinct texts in the shared text order (each distinct text keyed and compared
// once, however many rows hold it).
void MakeKeys(const Column* col, long row1, std::size_t n, bool matchCase, Buffers& b) {
  b.cls.assign(n, kBlankClass);
  b.value.assign(n, 0);
  if (!col) return;
  // The distinct texts, each kept once.
  internal::TextInterner distinct(n);
  const auto distinctIndex = [&](TextView t) { return distinct.Intern(t); };
  for (std::size_t i = 0; i < n; ++i) {
    const Cell* c = col->CellAt(row1 + static_cast<long>(i));
    if (!c) break;
    switch (c->Kind()) {
      case CellKind::Empty: break;
      case CellKind::Number:
        b.cls[i] = kNumberClass;
        b.value[i] = NumberKey(c->u.number);
        break;
      case CellKind::Boolean:
        b.cls[i] = kBooleanClass;
        b.value[i] = c->u.boolean ? 1 : 0;
        break;
      case CellKind::Error: b.cls[i] = kErrorClass; break;
      case CellKind::Text:
        b.cls[i] = kTextClass;
        b.value[i] = col->WithText(*c, distinctIndex);
        break;
      case CellKind::Formula: {
        const Variant v = col->Value(row1 + static_cast<long>(i));
        if (v.IsNumber()) {
          b.cls[i] = kNumberClass;
          b.value[i] = NumberKey(v.AsNumber());
        } else if (v.IsBoolean()) {
          b.cls[i] = kBooleanClass;
          b.value[i] = v.AsBool() ? 1 : 0;
        } else if (v.IsText()) {
          b.cls[i] = kTextClass;
          b.value[i] = distinctIndex(v.AsText());
        } else {
          b.cls[i] = kErrorClass;
        }
        break;
      }
    }
  }
  KeyWholeNumbers(b);
  // The sort keys of the distinct texts, then their ranks. A key is kept as bytes that
  // compare as the texts do, by memcmp: when every text is plain, a byte a character,
  // else the whole key, two bytes a code unit. A long list's keys are made on a few
  // threads at once, each into a buffer of its own.
  const std::size_t total = distinct.Count();
  bool plain = true;
  for (std::size_t k = 0; k < total && plain; ++k) {
    plain = text_order::IsPlain(distinct.At(static_cast<std::uint32_t>(k)));
  }
  const std::size_t parts = SortThreads(total);
  std::vector<std::string> keyBytes(parts);
  internal::BigVector<std::size_t> keyEnd(total);  // where each key ends in its part's buffer
  const auto partBegin = [&](std::size_t p) { return total * p / parts; };
  // Room for each part's keys at once, taken here rather than on the part's thread (whose
  // allocator would keep it): a plain key is at most two bytes a character and a
  // separator; a whole key two bytes a unit on each of its three or four levels, and a
  // separator between them.
  for (std::size_t p = 0; p < parts; ++p) {
    std::size_t room = 0;
    for (std::size_t k = partBegin(p), last = partBegin(p + 1); k < last; ++k) {
      const std::size_t size = distinct.At(static_cast<std::uint32_t>(k)).size();
      room += plain ? 2 * size + 1 : 2 * (size * (matchCase ? 4 : 3) + 3);
    }
    keyBytes[p].reserve(room);
  }
  InParallel(parts, [&](std::size_t p) {
    std::string& out = keyBytes[p];
    for (std::size_t k = partBegin(p), last = partBegin(p + 1); k < last; ++k) {
      const TextView text = distinct.At(static_cast<std::uint32_t>(k));
      if (plain) {
        text_order::AppendPlainSortKey(text, matchCase, out);
      } else {
        text_order::AppendSortKeyBytes(text, matchCase, out);
      }
      keyEnd[k] = out.size();
    }
  });
  internal::BigVector<std::string_view> keys(total);
  for (std::size_t p = 0; p < parts; ++p) {
    for (std::size_t k = partBegin(p), last = partBegin(p + 1); k < last; ++k) {
      const std::size_t begin = k == partBegin(p) ? 0 : keyEnd[k - 1];
      keys[k] = std::string_view(keyBytes[p]).substr(begin, keyEnd[k] - begin);
    }
  }
  internal::BigVector<std::size_t>().swap(keyEnd);
  // The keys are sorted by eight bytes packed into a number, and only where those tie by
  // the whole key: most comparisons so stay within one array. The eight bytes follow
  // what every key begins with (a list of "Part_..." texts), which decides nothing.
  std::size_t common = total == 0 ? 0 : keys[0].size();
  for (std::size_t k = 1; k < total && common > 0; ++k) {
    const std::string_view key = keys[k].substr(0, common);
    common = static_cast<std::size_t>(std::mismatch(key.begin(), key.end(), keys[0].begin()).first - key.begin());
  }
  struct Prefixed {
    std::uint64_t prefix;
    std::uint32_t key;
  };
  internal::BigVector<Prefixed> byKey(total);
  for (std::uint32_t k = 0; k < total; ++k) {
    const std::string_view t = keys[k].substr(common);
    std::uint64_t prefix = 0;
    for (std::size_t i = 0; i < 8; ++i) prefix = (prefix << 8) | (i < t.size() ? static_cast<std::uint8_t>(t[i]) : 0U);
    byKey[k] = {prefix, k};
  }
  const auto keyOf = [&](std::uint32_t k) { return keys[k]; };
  // Equal keys share a rank, so that the row order decides between them (and their
  // order among themselves does not matter).
  internal::BigVector<std::uint32_t> rank(total);
  std::uint32_t r = 0;
  const Prefixed* previous = nullptr;
  SortAndVisit(
      byKey,
      [&](const Prefixed& x, const Prefixed& y) {
        if (x.prefix != y.prefix) return x.prefix < y.prefix;
        return keyOf(x.key) < keyOf(y.key);
      },
      [&](const Prefixed& x) {
        if (previous && (x.prefix != previous->prefix || keyOf(x.key) != keyOf(previous->key))) ++r;
        rank[x.key] = r;
        previous = &x;
      });
  for (std::size_t i = 0; i < n; ++i) {
    if (b.cls[i] == kTextClass) b.value[i] = rank[static_cast<std::size_t>(b.value[i])];
  }
  // The keys and the distinct texts are done with: their room goes back as this ends,
  // before the records of the rows are made.
}

// One row's keys in one record, so that the sort compares nearby memory: each key's
// class and value (a descending key stored reversed), then the row, which keeps equal
// rows in their order.
template <std::size_t K>
struct Record {
  std::uint64_t value[K];
  std::uint32_t row;
  std::uint8_t cls[K];
};

// Sorts `records` by bits [from, to) of key(record) with a radix sort, a digit of 11
// bits a pass from the lowest: each pass keeps the order of the one before among equal
// digits, so that records of equal keys stay in their order. A digit that every record
// shares is passed over.
template <class T, class Key>
void RadixSort(internal::BigVector<T>& records, int from, int to, Key key) {
  constexpr int kDigitBits = 11;
  constexpr std::size_t kDigits = std::size_t{1} << kDigitBits;
  const std::size_t n = records.size();
  if (n < 2 || from >= to) return;
  internal::BigVector<T> moved(n);
  std::vector<std::size_t> at(kDigits);
  for (int shift = from; shift < to; shift += kDigitBits) {
    std::fill(at.begin(), at.end(), 0);
    for (const T& rec : records) ++at[(key(rec) >> shift) & (kDigits - 1)];
    if (at[(key(records[0]) >> shift) & (kDigits - 1)] == n) continue;
    std::size_t sum = 0;
    for (std::size_t& a : at) sum += std::exchange(a, sum);
    for (const T& rec : records) moved[at[(key(rec) >> shift) & (kDigits - 1)]++] = rec;
    records.swap(moved);
  }
}

// The order of the rows by all their keys packed into one number a row, when they fit:
// each key becomes its class's place among the classes the key holds, then its value
// less the least value of that class, in as few bits as the widest such span needs;
// the keys follow one another from the first, high bits first. False (nothing done)
// when the keys need more than 64 bits together.
bool PackedOrder(std::size_t n, const std::vector<internal::BigVector<std::uint8_t>>& cls,
                 const std::vector<internal::BigVector<std::uint64_t>>& value,
                 internal::BigVector<std::uint32_t>& order) {
  constexpr std::size_t kClasses = kBlankClass + 1;
  struct Field {
    std::uint64_t least[kClasses];
    std::uint64_t place[kClasses];  // the class's place, shifted above the value
    int width;
  };
  std::vector<Field> fields(cls.size());
  int total = 0;
  for (std::size_t k = 0; k < cls.size(); ++k) {
    std::uint64_t least[kClasses];
    std::uint64_t most[kClasses];
    bool present[kClasses] = {};
    std::fill(std::begin(least), std::end(least), ~std::uint64_t{0});
    std::fill(std::begin(most), std::end(most), std::uint64_t{0});
    for (std::size_t i = 0; i < n; ++i) {
      const std::uint8_t c = cls[k][i];
      const std::uint64_t v = value[k][i];
      present[c] = true;
      least[c] = std::min(least[c], v);
      most[c] = std::max(most[c], v);
    }
    std::uint64_t span = 0;
    std::uint64_t classes = 0;
    for (std::size_t c = 0; c < kClasses; ++c) {
      if (!present[c]) continue;
      span = std::max(span, most[c] - least[c]);
      ++classes;
    }
    const int valueBits = static_cast<int>(std::bit_width(span));
    const int classBits = static_cast<int>(std::bit_width(classes - 1));
    Field& f = fields[k];
    f.width = valueBits + classBits;
    total += f.width;
    if (total > 64) return false;
    std::uint64_t place = 0;
    for (std::size_t c = 0; c < kClasses; ++c) {
      f.least[c] = least[c];
      f.place[c] = valueBits >= 64 ? 0 : place << valueBits;
      if (present[c]) ++place;
    }
  }
  const auto packed = [&](std::size_t i) {
    std::uint64_t key = 0;
    for (std::size_t k = 0; k < fields.size(); ++k) {
      const Field& f = fields[k];
      const std::uint8_t c = cls[k][i];
      const std::uint64_t field = f.place[c] | (value[k][i] - f.least[c]);
      key = f.width >= 64 ? field : (key << f.width) | field;
    }
    return key;
  };
  order.resize(n);
  // The row goes into the low bits below the keys where there is room, else beside them.
  const int rowBits = static_cast<int>(std::bit_width(n - 1));
  if (total + rowBits <= 64) {
    internal::BigVector<std::uint64_t> records(n);
    for (std::size_t i = 0; i < n; ++i) records[i] = (packed(i) << rowBits) | i;
    RadixSort(records, rowBits, rowBits + total, [](std::uint64_t rec) { return rec; });
    const std::uint64_t rowMask = (std::uint64_t{1} << rowBits) - 1;
    for (std::size_t i = 0; i < n; ++i) order[i] = static_cast<std::uint32_t>(records[i] & rowMask);
    return true;
  }
  struct Packed {
    std::uint64_t key;
    std::uint32_t row;
  };
  internal::BigVector<Packed> records(n);
  for (std::size_t i = 0; i < n; ++i) records[i] = {packed(i), static_cast<std::uint32_t>(i)};
  RadixSort(records, 0, total, [](const Packed& rec) { return rec.key; });
  for (std::size_t i = 0; i < n; ++i) order[i] = records[i].row;
  return true;
}

template <std::size_t K>
void SortedOrder(std::size_t n, const std::vector<internal::BigVector<std::uint8_t>>& cls,
                 const std::vector<internal::BigVector<std::uint64_t>>& value,
                 internal::BigVector<std::uint32_t>& order) {
  if (PackedOrder(n, cls, value, order)) return;
  internal::BigVector<Record<K>> records(n);
  for (std::size_t i = 0; i < n; ++i) {
    Record<K>& rec = records[i];
    rec.row = static_cast<std::uint32_t>(i);
    for (std::size_t k = 0; k < K; ++k) {
      rec.cls[k] = cls[k][i];
      rec.value[k] = value[k][i];
    }
  }
  order.resize(n);
  std::size_t i = 0;
  SortAndVisit(
      records,
      [](const Record<K>& a, const Record<K>& b) {
        for (std::size_t k = 0; k < K; ++k) {
          if (a.cls[k] != b.cls[k]) return a.cls[k] < b.cls[k];
          if (a.value[k] != b.value[k]) return a.value[k] < b.value[k];
        }
        return a.row < b.row;
      },
      [&](const Record<K>& rec) { order[i++] = rec.row; });
}

// Applies the order to every column: the cells move one column after another through
// one scratch column; then the columns, independent of one another, settle (runs, texts,
// index), a long sort sharing them out among a few threads.
void PermuteColumns(const std::vector<Column*>& columns, long row1, std::span<const std::uint32_t> order,
                    std::span<const std::uint32_t> newRow) {
  {
    internal::BigVector<internal::Cell> scratch;
    for (Column* col : columns) col->MoveRows(row1, order, scratch);
  }
  std::atomic<std::size_t> next{0};
  std::mutex failed;
  std::exception_ptr failure;
  const auto work = [&] {
    for (std::size_t i = next++; i < columns.size(); i = next++) {
      try {
        columns[i]->SettleMovedRows(row1, newRow);
      } catch (...) {
        const std::lock_guard<std::mutex> lock(failed);
        if (!failure) failure = std::current_exception();
      }
    }
  };
  std::vector<std::thread> helpers;
  if (order.size() >= kThreadedRows) {
    const std::size_t wanted =
        std::min({columns.size(), kMostThreads, std::size_t{std::thread::hardware_concurrency()}});
    for (std::size_t t = 1; t < wanted; ++t) {
      try {
        helpers.emplace_back(work);
      } catch (const std::system_error&) {
        break;  // no more threads to be had: the others do the rest
      }
    }
  }
  work();
  for (std::thread& t : helpers) t.join();
  if (failure) std::rethrow_exception(failure);
}

// A key of a sort: its column and direction.
struct SortKey {
  const Column* col;  // null when the column holds nothing
  bool descending;
};

// True when the n rows from row1 stand in the order the sort would give them: each
// row's keys against the row above's, in the shared value order with blanks last in
// either direction (equal rows keep their order).
bool InOrder(const std::vector<SortKey>& keys, long row1, std::size_t n, bool matchCase) {
  const auto compare = [&](const Variant& a, const Variant& b, bool descending) {
    if (a.IsEmpty() || b.IsEmpty()) return static_cast<int>(a.IsEmpty()) - static_cast<int>(b.IsEmpty());
    const int c = text_order::CompareValues(a, b, matchCase);
    return descending ? -c : c;
  };
  std::vector<Variant> above(keys.size()), here(keys.size());
  for (std::size_t i = 0; i < n; ++i) {
    const long row = row1 + static_cast<long>(i);
    for (std::size_t k = 0; k < keys.size(); ++k) here[k] = keys[k].col ? keys[k].col->Value(row) : Variant();
    if (i > 0) {
      for (std::size_t k = 0; k < keys.size(); ++k) {
        const int c = compare(above[k], here[k], keys[k].descending);
        if (c > 0) return false;
        if (c < 0) break;
      }
    }
    above.swap(here);
  }
  return true;
}

}  // namespace

void MemoryWorksheet::Sort(const Area& block, const SortArgs& args) {
  Live();
  const phases::Scope timed("sort");
  CheckArea(block);
  book_.App().CheckFailure("Range.Sort");
  if (args.Orientation != xlTopToBottom) Raise(err::kApplication, "Sort method of Range class failed");
  struct KeySpec {
    long col;
    bool descending;
  };
  std::vector<KeySpec> keys;
  for (auto [key, order] :
       {std::pair{args.Key1, args.Order1}, std::pair{args.Key2, args.Order2}, std::pair{args.Key3, args.Order3}}) {
    if (!key) continue;
    if (&key->Parent() != this || key->Column() < block.col1 || key->Column() > block.col2 ||
        (order != xlAscending && order != xlDescending)) {
      Raise(err::kApplication,
            "The sort reference is not valid. Make sure that it's within the data you want to sort.");
    }
    keys.push_back({key->Column(), order == xlDescending});
  }
  if (keys.empty()) Raise(err::kApplication, "Sort method of Range class failed");
  merges_.ForEachOverlapping(block, [](const Area&) {
    Raise(err::kApplication, "To do this, all the merged cells need to be the same size.");
  });
  CheckWritable(block, "Range.Sort");

  const long row1 = block.row1 + (args.Header == xlYes ? 1 : 0);
  // Past the last stored row of the block's columns every row is blank throughout, so
  // those rows stay where they are.
  long row2 = row1 - 1;
  for (long c = block.col1; c <= std::min<long>(block.col2, static_cast<long>(columns_.size())); ++c) {
    if (const Column* col = Col(c)) row2 = std::max(row2, std::min(block.row2, col->StoredRows()));
  }
  if (row2 <= row1) return;
  const auto n = static_cast<std::size_t>(row2 - row1 + 1);

  // A block already in order (a list sorted again) stays as it is.
  std::vector<SortKey> inOrderKeys;
  for (const auto& key : keys) inOrderKeys.push_back({Col(key.col), key.descending});
  if (InOrder(inOrderKeys, row1, n, args.MatchCase)) return;

  Buffers b;
  std::optional<phases::Scope> part(std::in_place, "sort-keys");
  std::vector<internal::BigVector<std::uint8_t>> cls(keys.size());
  std::vector<internal::BigVector<std::uint64_t>> value(keys.size());
  for (std::size_t k = 0; k < keys.size(); ++k) {
    MakeKeys(Col(keys[k].col), row1, n, args.MatchCase, b);
    if (keys[k].descending) {
      for (std::size_t i = 0; i < n; ++i) {
        if (b.cls[i] == kBlankClass) continue;
        b.cls[i] = static_cast<std::uint8_t>(kErrorClass - b.cls[i]);
        b.value[i] = ~b.value[i];
      }
    }
    cls[k].swap(b.cls);
    value[k].swap(b.value);
  }
  part.emplace("sort-order");
  switch (keys.size()) {
    case 1: SortedOrder<1>(n, cls, value, b.order); break;
    case 2: SortedOrder<2>(n, cls, value, b.order); break;
    default: SortedOrder<3>(n, cls, value, b.order); break;
  }
  std::vector<internal::BigVector<std::uint8_t>>().swap(cls);
  std::vector<internal::BigVector<std::uint64_t>>().swap(value);
  b.newRow.resize(n);
  for (std::size_t i = 0; i < n; ++i) b.newRow[b.order[i]] = static_cast<std::uint32_t>(i);

  part.emplace("sort-permute");
  std::vector<Column*> moving;
  for (long c = block.col1; c <= std::min<long>(block.col2, static_cast<long>(columns_.size())); ++c) {
    if (Column* col = Col(c)) moving.push_back(col);
  }
  PermuteColumns(moving, row1, b.order, b.newRow);
  part.reset();
  // Comments and hyperlinks travel with their rows.
  auto remap = [&](auto& map) {
    std::remove_reference_t<decltype(map)> out;
    for (auto& [pos, data] : map) {
      auto p = pos;
      if (block.Contains(p.first, p.second) && p.first >= row1 && p.first <= row2) {
        p.first = row1 + static_cast<long>(b.newRow[static_cast<std::size_t>(p.first - row1)]);
      }
      out[p] = std::move(data);
    }
    map = std::move(out);
  };
  remap(comments_);
  remap(links_);
}

}  // namespace quillary::xl::memory
