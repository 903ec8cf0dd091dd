#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "platform/excel/memory/tests/fixture.h"

namespace quillary::xl::memory {
namespace {

class Find : public SheetTest {
 protected:
  Find() {
    Fill("A2", {u"apple", u"Apple", u"pineapple", u"a*b", u"a?b", u"a~b", 7, u"'"});
    Fill("B2", {u"apple", Variant(), Variant(), u"axb"});
  }
  // The address found, or "-" for Nothing.
  std::string FindIn(const char* range, FindArgs args) {
    auto hit = R(range).Find(args);
    return hit ? ToUtf8(hit->Address()) : "-";
  }
};

TEST_F(Find, MatchesByTheGivenOptionsAndSearchOrder) {
  struct Case {
    const char* what;
    long lookAt;
    bool matchCase;
    long order;
    long direction;
    const char* after;  // nullptr: the range's first cell
    const char* found;
  } cases[] = {
      {"apple", xlWhole, false, xlByColumns, xlNext, nullptr, "$A$2"},
      {"apple", xlWhole, false, xlByColumns, xlNext, "A2", "$A$3"},
      {"apple", xlWhole, true, xlByColumns, xlNext, "A2", "$B$2"},
      {"Apple", xlWhole, true, xlByColumns, xlNext, nullptr, "$A$3"},
      {"apple", xlWhole, false, xlByRows, xlNext, "A2", "$B$2"},
      {"apple", xlPart, false, xlByColumns, xlNext, "A3", "$A$4"},
      {"APPLE", xlPart, true, xlByColumns, xlNext, nullptr, "-"},
      // Wrap-around past the end of the range.
      {"apple", xlWhole, false, xlByColumns, xlNext, "B2", "$A$2"},
      {"pineapple", xlWhole, false, xlByColumns, xlNext, "A4", "$A$4"},
      // Wildcards and their escapes.
      {"a*b", xlWhole, false, xlByColumns, xlNext, nullptr, "$A$5"},
      {"a*b", xlWhole, false, xlByColumns, xlNext, "A7", "$B$5"},
      {"a~*b", xlWhole, false, xlByColumns, xlNext, "A5", "$A$5"},
      {"a~?b", xlWhole, false, xlByColumns, xlNext, nullptr, "$A$6"},
      {"a~~b", xlWhole, false, xlByColumns, xlNext, nullptr, "$A$7"},
      {"a?b", xlWhole, false, xlByColumns, xlNext, "A7", "$B$5"},
      {"*pple", xlWhole, false, xlByColumns, xlNext, "A3", "$A$4"},
      {"pine*", xlWhole, false, xlByColumns, xlNext, nullptr, "$A$4"},
      {"p?n", xlPart, false, xlByColumns, xlNext, nullptr, "$A$4"},
      {"p*le", xlPart, false, xlByColumns, xlNext, "A2", "$A$3"},
      {"?xb", xlPart, false, xlByColumns, xlNext, nullptr, "$B$5"},
      {"e*a", xlPart, false, xlByColumns, xlNext, nullptr, "$A$4"},
      {"x*a", xlPart, false, xlByColumns, xlNext, nullptr, "-"},
      {"?", xlPart, false, xlByColumns, xlNext, nullptr, "$A$2"},
      {"?", xlWhole, false, xlByColumns, xlNext, nullptr, "$A$8"},
      // Numbers are found by their text; the empty text by "".
      {"7", xlWhole, false, xlByColumns, xlNext, nullptr, "$A$8"},
      {"", xlWhole, false, xlByColumns, xlNext, nullptr, "$A$9"},
      {"", xlPart, false, xlByColumns, xlNext, nullptr, "$A$2"},
      // Backwards from the first cell: the last cell is searched first.
      {"apple", xlPart, false, xlByColumns, xlPrevious, nullptr, "$B$2"},
      {"apple", xlWhole, false, xlByColumns, xlPrevious, "B2", "$A$3"},
      {"apple", xlWhole, false, xlByRows, xlPrevious, "A3", "$B$2"},
      {"zzz", xlPart, false, xlByColumns, xlNext, nullptr, "-"},
  };
  for (const auto& c : cases) {
    std::optional<xl::Range> after;
    if (c.after) after = R(c.after);
    FindArgs args{T(c.what), after ? &*after : nullptr, xlValues, c.lookAt, c.order, c.direction, c.matchCase};
    EXPECT_EQ(FindIn("A1:B9", args), c.found) << c.what << " after " << (c.after ? c.after : "default");
  }
}

TEST_F(Find, FindNextWalksTheHitsAndComesBackToTheFirst) {
  R("A1").SetValue(u"apple");  // the first cell is searched last
  xl::Range within = R("A1:B9");
  auto hit = within.Find({u"apple", nullptr, xlValues, xlWhole, xlByColumns, xlNext, false});
  std::vector<std::string> seen;
  for (int i = 0; i < 5 && hit; ++i) {
    seen.push_back(ToUtf8(hit->Address()));
    hit = within.FindNext(&*hit);
  }
  EXPECT_EQ(seen, (std::vector<std::string>{"$A$2", "$A$3", "$B$2", "$A$1", "$A$2"}));
}

TEST_F(Find, RemembersTheOptionsOfTheLastFind) {
  EXPECT_EQ(FindIn("A1:B9", {.What = u"APPLE",
                             .LookIn = xlValues,
                             .LookAt = xlPart,
                             .SearchOrder = xlByColumns,
                             .MatchCase = true,
                             .MatchByte = true}),
            "-");
  // Left out: LookIn, LookAt, SearchOrder and MatchByte come from the last Find;
  // MatchCase is False.
  EXPECT_EQ(FindIn("A1:B9", {.What = u"Appl"}), "$A$2");
  const FindSettings& s = app->RememberedFind();
  EXPECT_EQ(s.What, u"Appl");
  EXPECT_EQ(s.LookIn, xlValues);
  EXPECT_EQ(s.LookAt, xlPart);
  EXPECT_EQ(s.SearchOrder, xlByColumns);
  EXPECT_FALSE(s.MatchCase);
  EXPECT_TRUE(s.MatchByte);
  // FindNext goes on with the MatchCase of the Find it continues.
  EXPECT_EQ(FindIn("A1:B9", {.What = u"Appl", .MatchCase = true}), "$A$3");
  const auto first = R("A1:B9").Find({.What = u"Appl", .MatchCase = true});
  ASSERT_TRUE(first);
  const auto next = R("A1:B9").FindNext(&*first);
  EXPECT_TRUE(next && next->Address() == u"$A$3") << "only one cell matches with case";
  // The settings-reset Find the component ends with.
  R("A1").Find({u"", nullptr, xlValues, xlPart, xlByColumns, xlNext, false, false});
  EXPECT_EQ(app->RememberedFind(), (FindSettings{u"", xlValues, xlPart, xlByColumns, xlNext, false, false}));
}

TEST_F(Find, SearchesOnlyTheGivenRange) {
  EXPECT_EQ(FindIn("A3", {u"apple", nullptr, xlValues, xlWhole, xlByColumns, xlNext, false}), "$A$3");
  EXPECT_EQ(FindIn("A4", {u"apple", nullptr, xlValues, xlWhole, xlByColumns, xlNext, false}), "-");
  EXPECT_EQ(FindIn("B3:B9", {u"apple", nullptr, xlValues, xlWhole, xlByColumns, xlNext, false}), "-");
  // Areas are searched in their order.
  EXPECT_EQ(FindIn("B1:B9,A1:A9", {u"apple", nullptr, xlValues, xlWhole, xlByColumns, xlNext, false}), "$B$2");
  auto after = R("B2");
  EXPECT_EQ(FindIn("B1:B9,A1:A9", {u"apple", &after, xlValues, xlWhole, xlByColumns, xlNext, false}), "$A$2");
  EXPECT_EQ(FindIn("A:B", {u"axb", nullptr, xlValues, xlWhole, xlByRows, xlNext, false}), "$B$5");
}

TEST_F(Find, WhatOver255CharactersIsATypeMismatch) {
  EXPECT_EQ(ErrorOf([&] { R("A1:B9").Find({.What = Text(256, u'a')}); }), 13);
  EXPECT_EQ(ErrorOf([&] { R("A1:B9").Find({.What = Text(255, u'a')}); }), 0);
}

TEST_F(Find, WholeValueSearchesFollowLaterWrites) {
  // The first whole-value Find indexes the column; later writes must keep it right.
  FindArgs whole{u"kiwi", nullptr, xlValues, xlWhole, xlByColumns, xlNext, false};
  EXPECT_EQ(FindIn("A:A", whole), "-");
  R("A20").SetValue(u"KIWI");
  EXPECT_EQ(FindIn("A:A", whole), "$A$20");
  R("A12").SetValue(u"kiwi");
  EXPECT_EQ(FindIn("A:A", whole), "$A$12");
  R("A12").SetValue(u"melon");
  R("A20").ClearContents();
  EXPECT_EQ(FindIn("A:A", whole), "-");
  R("A30").SetValue(u"'kiwi");
  xl::Range key = R("A1");
  R("A1:A40").Sort({.Key1 = &key});
  EXPECT_EQ(R("A8").Value(), Variant(u"kiwi"));
  EXPECT_EQ(FindIn("A:A", whole), "$A$8");
  FindArgs number{u"7", nullptr, xlValues, xlWhole, xlByColumns, xlNext, false};
  EXPECT_EQ(FindIn("A:A", number), "$A$1");
}

TEST_F(Find, ManyEqualTextsStayFoundAsTheyAreWrittenAndCleared) {
  // More equal texts than a short row list holds, written downwards (rows 10, 12, ...,
  // 208), then changed at the end and in the middle in either order: after every step
  // the next and previous hits from several cells are those of the rows holding the text.
  struct Change {
    long row;
    const char16_t* text;  // nullptr: ClearContents
  };
  const std::vector<std::vector<Change>> cases = {
      {{208, nullptr}, {11, u"pear"}, {50, u"plum"}, {51, u"pear"}, {300, u"pear"}},
      {{208, nullptr}, {50, u"plum"}, {11, u"pear"}, {30, nullptr}, {300, u"pear"}},
  };
  long col = 3;
  for (const auto& changes : cases) {
    std::set<long> rows;
    auto expected = [&](long after, bool forward) -> std::string {
      if (rows.empty()) return "-";
      long row = 0;
      if (forward) {
        auto it = rows.upper_bound(after);
        row = it != rows.end() ? *it : *rows.begin();
      } else {
        auto it = rows.lower_bound(after);
        row = it != rows.begin() ? *std::prev(it) : *rows.rbegin();
      }
      return ToUtf8(sheet->Cells(row, col).Address());
    };
    auto check = [&](const std::string& step) {
      for (long after : {1L, 10L, 11L, 29L, 30L, 49L, 50L, 51L, 208L, 209L, 400L}) {
        for (bool forward : {true, false}) {
          const xl::Range within = sheet->Columns(col);
          const xl::Range from = sheet->Cells(after, col);
          auto hit =
              within.Find({u"PEAR", &from, xlValues, xlWhole, xlByColumns, forward ? xlNext : xlPrevious, false});
          EXPECT_EQ(hit ? ToUtf8(hit->Address()) : "-", expected(after, forward))
              << step << ", after row " << after << (forward ? " forward" : " backward");
        }
      }
    };
    auto apply = [&](const Change& c) {
      const xl::Range cell = sheet->Cells(c.row, col);
      if (c.text == nullptr) {
        cell.ClearContents();
      } else {
        cell.SetValue(c.text);
      }
      if (c.text != nullptr && Text(c.text) == u"pear") {
        rows.insert(c.row);
      } else {
        rows.erase(c.row);
      }
    };
    check("empty column");  // indexes the column before the writes
    for (long row = 10; row <= 208; row += 2) apply({row, u"pear"});
    check("written downwards");
    for (const Change& c : changes) {
      apply(c);
      check("row " + std::to_string(c.row) + " changed");
    }
    ++col;
  }
}

TEST_F(Find, LooksInFormulasAndComments) {
  R("C4").SetValue(u"=\"q\"");
  R("C6").AddComment(u"see\nthis");
  EXPECT_EQ(FindIn("C:C", {u"q", nullptr, xlValues, xlWhole, xlByColumns, xlNext, false}), "$C$4");
  EXPECT_EQ(FindIn("C:C", {u"q", nullptr, xlFormulas, xlWhole, xlByColumns, xlNext, false}), "-");
  EXPECT_EQ(FindIn("C:C", {u"=*", nullptr, xlFormulas, xlWhole, xlByColumns, xlNext, false}), "$C$4");
  EXPECT_EQ(FindIn("C:C", {u"?", nullptr, xlComments, xlPart, xlByColumns, xlNext, false}), "$C$6");
  EXPECT_EQ(FindIn("C:C", {u"THIS", nullptr, xlComments, xlPart, xlByColumns, xlNext, false}), "$C$6");
  EXPECT_EQ(FindIn("A:B", {u"?", nullptr, xlComments, xlPart, xlByColumns, xlNext, false}), "-");
}

}  // namespace
}  // namespace quillary::xl::memory
