#include <algorithm>
#include <optional>
#include <vector>

#include "platform/excel/memory/tests/fixture.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::xl::memory {
namespace {

class Sort : public SheetTest {
 protected:
  std::vector<Variant> Column(const char* range) { return R(range).Values(); }
  void SortBy(const char* block, const char* key, long order = xlAscending, bool matchCase = false) {
    xl::Range k = R(key);
    R(block).Sort({.Key1 = &k, .Order1 = order, .MatchCase = matchCase});
  }
};

// Pairs in ascending order as the cells hold them (values as written with the entry rules).
struct OrderedPair {
  Variant low, high;
  bool matchCase;
};

const OrderedPair kPairs[] = {
    {-5, 2, false},
    {1e15, u"'1", false},  // numbers before texts, also digit texts
    {u"'", u"a", false},   // the empty text first among texts
    {u"a", u"B", false},   // without regard to case
    {u"abc", u"abd", false},
    {u"a1", u"a-2", false},
    {u"Zebra", u"FALSE", false},  // texts before booleans
    {u"FALSE", u"TRUE", false},
    {true, CellError::NA, false},  // booleans before error values
    {u"a", u"A", true},            // with case: lower case first
    {u"ab", u"Ab", true},
};

TEST_F(Sort, AndLookupAgreeOnTheOrder) {
  auto& f = app->WorksheetFunction();
  for (const auto& p : kPairs) {
    R("A1").SetValue(p.high);
    R("A2").SetValue(p.low);
    R("A3").ClearContents();
    SortBy("A1:A3", "A1", xlAscending, p.matchCase);
    const Variant low = R("A1").Value(), high = R("A2").Value();
    EXPECT_TRUE(R("A3").Value().IsEmpty());
    EXPECT_EQ(high,
              [&] {
                sheet->Range(u"Z1").SetValue(p.high);
                return sheet->Range(u"Z1").Value();
              }())
        << Describe(p.low) << " < " << Describe(p.high);
    if (!p.matchCase && low.Type() == high.Type() && !low.IsError()) {
      // Lookup finds the largest element not greater than the value, in the same order
      // (among values of the value's type).
      const Variant vector[] = {low, high}, result[] = {false, true};
      EXPECT_EQ(f.Lookup(high, vector, result), Variant(true)) << Describe(high);
      EXPECT_EQ(f.Lookup(low, vector, result), Variant(false)) << Describe(low);
    }
    SortBy("A1:A3", "A1", xlDescending, p.matchCase);
    EXPECT_EQ(R("A1").Value(), high);
    EXPECT_EQ(R("A2").Value(), low);
  }
}

TEST(WorksheetFunctionLookup, RaisesBelowTheFloorAndComparesWithoutCase) {
  auto app = CreateApplication();
  auto& f = app->WorksheetFunction();
  const Variant vector[] = {-1, u"m"}, result[] = {false, true};
  EXPECT_EQ(f.Lookup(u"M", vector, result), Variant(true));
  EXPECT_EQ(f.Lookup(1e300, vector, result), Variant(false));
  std::string description;
  EXPECT_EQ(ErrorOf([&] { f.Lookup(-2, vector, result); }, &description), 1004);
  EXPECT_EQ(description, "Unable to get the Lookup property of the WorksheetFunction class");
  // The number is not a text: below "m" no text is left.
  EXPECT_EQ(ErrorOf([&] { f.Lookup(u"lz", vector, result); }), 1004);
}

// Approximate match passes over error values, blanks and values of another type.
TEST(WorksheetFunctionLookup, PassesOverErrorsAndOtherTypes) {
  auto app = CreateApplication();
  auto& f = app->WorksheetFunction();
  const struct {
    const char* what;
    Variant value;
    std::vector<Variant> vector;
    std::optional<int> found;  // index into vector, nothing: Error 1004
  } cases[] = {
      {"an error between equal numbers", 2, {1, CellError::Div0, 1}, 2},
      {"errors first", 5, {CellError::NA, CellError::NA, 3, 4}, 3},
      {"errors last", 5, {3, 4, CellError::NA, CellError::NA}, 1},
      {"texts among numbers", 3, {1, u"x", 2, u"y", 4}, 2},
      {"numbers among texts", Variant(u"c"), {u"a", 1, u"b", 2, u"d"}, 2},
      {"a blank passed over", 2, {1, Variant(), 3}, 0},
      {"booleans apart", true, {false, 1, true, 2}, 2},
      {"nothing of the type", 2, {u"a", CellError::NA}, std::nullopt},
      {"only errors", 2, {CellError::NA}, std::nullopt},
      {"below the first number", 0, {u"a", 1, 2}, std::nullopt},
  };
  for (const auto& c : cases) {
    std::vector<Variant> result;
    for (std::size_t i = 0; i < c.vector.size(); ++i) result.emplace_back(static_cast<int>(i));
    if (c.found) {
      EXPECT_EQ(f.Lookup(c.value, c.vector, result), Variant(*c.found)) << c.what;
    } else {
      EXPECT_EQ(ErrorOf([&] { f.Lookup(c.value, c.vector, result); }), 1004) << c.what;
    }
  }
}

TEST(WorksheetFunctionLookup, TheLowestTextFloorOrdersEveryText) {
  // Two texts are ordered by Lookup(item, {Chr(1), row}, {False, True}): True when the
  // item sorts at or after the row. Chr(1) lies at or below every text.
  auto app = CreateApplication();
  auto& f = app->WorksheetFunction();
  const Variant result[] = {false, true};
  const struct {
    const char16_t* item;
    const char16_t* row;
    bool atOrAfter;
  } cases[] = {{u"abc", u"abd", false}, {u"abd", u"abc", true}, {u"0", u"a", false},  {u"!", u"0", true},
               {u" x", u"x", false},    {u"zz", u"ZZ", true},   {u"\t", u"a", false}, {u"a", u"\t", true}};
  for (const auto& c : cases) {
    const Variant vector[] = {u"\x01", c.row};
    EXPECT_EQ(f.Lookup(c.item, vector, result), Variant(c.atOrAfter)) << ToUtf8(c.item) << " / " << ToUtf8(c.row);
  }
}

TEST_F(Sort, PutsBlanksLastInBothOrdersAndKeepsTiesInOrder) {
  Fill("A1", {u"b", Variant(), u"A", 3, u"a", Variant(), u"B"});
  Fill("B1", {1, 2, 3, 4, 5, 6, 7});
  SortBy("A1:B7", "A1");
  EXPECT_EQ(Column("A1:A7"), (std::vector<Variant>{3.0, Variant(u"A"), Variant(u"a"), Variant(u"b"), Variant(u"B"),
                                                   Variant(), Variant()}));
  EXPECT_EQ(Column("B1:B7"), (std::vector<Variant>{4.0, 3.0, 5.0, 1.0, 7.0, 2.0, 6.0}));
  SortBy("A1:B7", "A1", xlDescending);
  EXPECT_EQ(Column("B1:B7"), (std::vector<Variant>{1.0, 7.0, 3.0, 5.0, 4.0, 2.0, 6.0}));
  SortBy("A1:B7", "A1", xlAscending, true);
  EXPECT_EQ(Column("A1:A7"), (std::vector<Variant>{3.0, Variant(u"a"), Variant(u"A"), Variant(u"b"), Variant(u"B"),
                                                   Variant(), Variant()}));
}

TEST_F(Sort, LeavesAnOrderedBlockAndSortsOneOutOfOrderAnywhere) {
  // Each list in its sorted order; it stays so when sorted again, and is sorted back
  // when two neighbours at its start or at its end are swapped.
  struct Case {
    std::vector<Variant> sorted;
    long order;
    bool matchCase;
  };
  const Case cases[] = {
      // Texts that all begin alike, one of them no more than that beginning.
      {{u"Part_", u"Part_1", u"Part_1x", u"Part_2", u"Part_20"}, xlAscending, false},
      {{-1, 2.5, u"a", false, true, Variant()}, xlAscending, false},
      {{u"a", u"A", u"b", u"B"}, xlAscending, true},
      {{true, u"z", u"a", 3, 1, Variant()}, xlDescending, false},
  };
  for (const Case& c : cases) {
    const long n = static_cast<long>(c.sorted.size());
    const xl::Range block = sheet->Range(sheet->Cells(1, 1), sheet->Cells(n, 2));
    const std::string where = Describe(c.sorted.front());
    std::vector<Variant> ids;
    for (long r = 1; r <= n; ++r) ids.emplace_back(static_cast<double>(r));
    for (const long swapAt : {0L, -1L, n - 2}) {
      std::vector<Variant> start = c.sorted;
      if (swapAt >= 0) std::swap(start[static_cast<std::size_t>(swapAt)], start[static_cast<std::size_t>(swapAt) + 1]);
      block.ClearContents();
      sheet->WriteValues({1, 1, n, 1}, start);
      sheet->WriteValues({1, 2, n, 2}, ids);
      xl::Range key = R("A1");
      block.Sort({.Key1 = &key, .Order1 = c.order, .MatchCase = c.matchCase});
      std::vector<Variant> keys, rows;
      sheet->ReadValues({1, 1, n, 1}, keys);
      sheet->ReadValues({1, 2, n, 2}, rows);
      EXPECT_EQ(keys, c.sorted) << where << " swapped at " << swapAt;
      if (swapAt < 0) {
        EXPECT_EQ(rows, ids) << where;
      }
    }
  }
}

TEST_F(Sort, UsesLaterKeysForTiesAndMovesWholeRows) {
  Fill("A1", {u"head", u"x", u"y", u"x", u"y"});
  Fill("B1", {u"n", 2, 1, 1, Variant()});
  Fill("C1", {u"id", 1, 2, 3, 4});
  R("C4").AddComment(u"third");
  xl::Range k1 = R("A1"), k2 = R("B1");
  R("A1:C5").Sort({.Key1 = &k1, .Key2 = &k2, .Order2 = xlDescending, .Header = xlYes});
  EXPECT_EQ(R("A1").Value(), Variant(u"head"));
  EXPECT_EQ(Column("C2:C5"), (std::vector<Variant>{1.0, 3.0, 2.0, 4.0}));
  ASSERT_TRUE(R("C3").Comment());
  EXPECT_EQ(R("C3").Comment()->Text(), u"third");
  EXPECT_FALSE(R("C4").Comment());
  // Finds and Ends see the new order.
  EXPECT_EQ(R("C2").End(xlDown).Row(), 5);
  auto hit = R("C:C").Find({.What = u"2", .LookIn = xlValues, .LookAt = xlWhole});
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->Address(), u"$C$4");
}

// Two keys over every class of value, in each pair of directions, with and without
// regard to case: keys of narrow spans (a sort packs them into one number a row, with
// the row below them or, where they leave no room, beside them) and keys of numbers far
// apart (which it cannot pack) give the order that comparing the values one key after
// the other gives, ties in their row order.
TEST_F(Sort, TwoKeysOfEveryClassSortAsTheirValuesCompare) {
  const std::vector<Variant> classes1 = {u"b", u"A", true, false, Variant(CellError::NA), Variant(), u"a", u"B"};
  const std::vector<Variant> classes2 = {u"y", u"x", Variant(), true, Variant(CellError::Div0), u"X", false};
  const auto with = [](std::vector<Variant> values, std::initializer_list<Variant> more) {
    values.insert(values.end(), more);
    return values;
  };
  struct Keys {
    const char* name;
    std::vector<Variant> first;
    std::vector<Variant> second;
  };
  const Keys sets[] = {
      // Whole numbers in both keys: keys and row fit into one number.
      {"whole", with(classes1, {3, -40}), with(classes2, {-7, 120000, 0})},
      // Numbers close together but not whole in the first key: the keys fill most of the
      // number, and the row stands beside it.
      {"close", with(classes1, {3, 3.25}), classes2},
      {"wide", with(classes1, {1e300, -1.5, 0}), with(classes2, {-1e300, 2, 1e-300})},
  };
  constexpr long kRows = 90;
  for (const Keys& keys : sets) {
    for (const long order1 : {xlAscending, xlDescending}) {
      for (const long order2 : {xlAscending, xlDescending}) {
        for (const bool matchCase : {false, true}) {
          std::vector<Variant> cells;
          for (long r = 0; r < kRows; ++r) {
            cells.push_back(keys.first[static_cast<std::size_t>(r * 7) % keys.first.size()]);
            cells.push_back(keys.second[static_cast<std::size_t>(r * 5 / 3) % keys.second.size()]);
            cells.push_back(Variant(static_cast<double>(r)));
          }
          std::vector<std::size_t> expected(kRows);
          for (std::size_t r = 0; r < expected.size(); ++r) expected[r] = r;
          const auto compare = [&](const Variant& a, const Variant& b, long order) {
            if (a.IsEmpty() || b.IsEmpty()) return static_cast<int>(a.IsEmpty()) - static_cast<int>(b.IsEmpty());
            const int c = text_order::CompareValues(a, b, matchCase);
            return order == xlDescending ? -c : c;
          };
          std::stable_sort(expected.begin(), expected.end(), [&](std::size_t x, std::size_t y) {
            if (const int c = compare(cells[3 * x], cells[3 * y], order1); c != 0) return c < 0;
            return compare(cells[3 * x + 1], cells[3 * y + 1], order2) < 0;
          });
          sheet->Range(sheet->Cells(1, 1), sheet->Cells(kRows + 5, 3)).ClearContents();
          sheet->WriteValues({1, 1, kRows, 3}, cells);
          xl::Range k1 = R("A1"), k2 = R("B1");
          R("A1:C90").Sort({.Key1 = &k1, .Order1 = order1, .Key2 = &k2, .Order2 = order2, .MatchCase = matchCase});
          std::vector<Variant> rows;
          sheet->ReadValues({1, 3, kRows, 3}, rows);
          std::vector<Variant> want;
          for (const std::size_t r : expected) want.emplace_back(static_cast<double>(r));
          EXPECT_EQ(rows, want) << keys.name << " " << order1 << "/" << order2 << (matchCase ? " match case" : "");
        }
      }
    }
  }
}

TEST_F(Sort, RefusesAKeyOutsideTheBlockAndMergedCells) {
  Fill("A1", {2, 1});
  xl::Range outside = R("C1");
  EXPECT_EQ(ErrorOf([&] { R("A1:B2").Sort({.Key1 = &outside}); }), 1004);
  R("B1:B2").Merge();
  EXPECT_EQ(ErrorOf([&] { SortBy("A1:B2", "A1"); }), 1004);
  EXPECT_EQ(R("A1").Value(), Variant(2.0));
}

TEST_F(Sort, SortsEntireColumnsWithoutTouchingTheEmptyRows) {
  for (int i = 0; i < 1000; ++i) {
    Text digits = T(std::to_string(999 - i));
    R("D1").Offset(i, 0).SetNumberFormat(u"@");
    R("D1").Offset(i, 0).SetValue(digits);
  }
  SortBy("D:E", "D1");
  EXPECT_EQ(R("D1").Value(), Variant(u"0"));
  EXPECT_EQ(R("D2").Value(), Variant(u"1"));
  EXPECT_EQ(R("D1000").Value(), Variant(u"999"));
  EXPECT_EQ(R("D1").End(xlDown).Row(), 1000);
  EXPECT_EQ(sheet->UsedRange().Address(), u"$D$1:$D$1000");
}

}  // namespace
}  // namespace quillary::xl::memory

namespace quillary::xl::memory {
namespace {

// Accented names sort with their base letter, in the order Find without case and Lookup
// share.
TEST_F(Sort, PutsAccentedLettersWithTheirBaseLetter) {
  Fill("A1", {u"Zeta", u"\u00C9clair", u"eclair", u"Apple", u"\u00E1pple", u"Dune", u"\u00DFig", u"Fig"});
  SortBy("A1:A8", "A1");
  EXPECT_EQ(Column("A1:A8"), (std::vector<Variant>{u"Apple", u"\u00E1pple", u"Dune", u"eclair", u"\u00C9clair", u"Fig",
                                                   u"Zeta", u"\u00DFig"}));
}

// A sort moves the rows of a column's Find index with them, and a long block keeps
// every row's cells together (the columns are moved apart from one another).
TEST_F(Sort, KeepsTheFindIndexAndRowsTogether) {
  constexpr long kRows = 70000;
  std::vector<Variant> values;
  for (long r = 1; r <= kRows; ++r) {
    const long key = (r * 7919) % kRows;  // every key once, in a shuffled order
    values.push_back(Variant(Text(u"k").append(vba::NumberText(static_cast<double>(key)))));
    values.push_back(Variant(static_cast<double>(key)));
  }
  R("A1:B70000").SetValues(values);
  // The index is made before the sort.
  ASSERT_TRUE(R("A1:A70000").Find({.What = u"k5", .LookIn = xlValues, .LookAt = xlWhole}));
  xl::Range key = R("B1");
  R("A1:B70000").Sort({.Key1 = &key, .Order1 = xlAscending});
  for (long k : {0L, 1L, 5L, 4242L, kRows - 1}) {
    const auto hit = R("A1:A70000")
                         .Find({.What = Text(u"k").append(vba::NumberText(static_cast<double>(k))),
                                .LookIn = xlValues,
                                .LookAt = xlWhole});
    ASSERT_TRUE(hit) << k;
    EXPECT_EQ(hit->Row(), k + 1);
    EXPECT_EQ(sheet->CellValue(k + 1, 2), Variant(static_cast<double>(k)));
  }
  // Writes after the sort keep the index right.
  R("A10").SetValue(u"k5");
  EXPECT_EQ(R("A1:A70000").Find({.What = u"k5", .LookIn = xlValues, .LookAt = xlWhole})->Row(), 6);
  R("A6").ClearContents();
  EXPECT_EQ(R("A1:A70000").Find({.What = u"k5", .LookIn = xlValues, .LookAt = xlWhole})->Row(), 10);
  EXPECT_FALSE(R("A1:A70000").Find({.What = u"k9", .LookIn = xlValues, .LookAt = xlWhole}));
}

// A long block is sorted in pieces at once: the order is the one the shared text order
// gives, ties kept in their row order, in both directions.
TEST_F(Sort, ALongBlockSortsAsTheTextOrderSays) {
  constexpr long kRows = 70000;
  std::vector<Variant> values;
  std::vector<std::pair<Variant, double>> expected;
  for (long r = 1; r <= kRows; ++r) {
    const long k = (r * 7919) % 69000;  // about a thousand texts twice
    Text text = (k % 3 == 0 ? u"Part" : k % 3 == 1 ? u"part-" : u"\u00E1rt") + vba::NumberText(static_cast<double>(k));
    values.push_back(Variant(std::move(text)));
    values.push_back(Variant(static_cast<double>(r)));
    expected.emplace_back(values[values.size() - 2], static_cast<double>(r));
  }
  R("A1:B70000").SetValues(values);
  xl::Range key = R("A1");
  for (const long order : {xlAscending, xlDescending}) {
    std::stable_sort(expected.begin(), expected.end(), [&](const auto& x, const auto& y) {
      const int c = text_order::CompareValues(x.first, y.first, false);
      return order == xlAscending ? c < 0 : c > 0;
    });
    R("A1:B70000").Sort({.Key1 = &key, .Order1 = order});
    std::vector<Variant> rows;
    sheet->ReadValues({1, 2, kRows, 2}, rows);
    long wrong = 0;
    for (long r = 0; r < kRows; ++r)
      wrong += rows[static_cast<std::size_t>(r)] != Variant(expected[static_cast<std::size_t>(r)].second);
    EXPECT_EQ(wrong, 0) << (order == xlAscending ? "ascending" : "descending");
    // The next round sorts the block in its new order.
    for (long r = 0; r < kRows; ++r) expected[static_cast<std::size_t>(r)].second = static_cast<double>(r + 1);
    std::vector<Variant> ids;
    for (long r = 1; r <= kRows; ++r) ids.emplace_back(static_cast<double>(r));
    R("B1:B70000").SetValues(ids);
  }
}

}  // namespace
}  // namespace quillary::xl::memory
