#include <algorithm>
#include <vector>

#include "platform/excel/memory/tests/fixture.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::xl::memory {
namespace {

class ValueEntry : public SheetTest {};

TEST_F(ValueEntry, AppliesTheEntryRulesOfTheApplication) {
  struct Case {
    Variant written;
    bool textFormat;
    Variant value;
    const char* formula;
    bool hasFormula;
    bool filled;
  } cases[] = {
      {Variant(u"abc"), false, Variant(u"abc"), "abc", false, true},
      {Variant(u"'abc"), false, Variant(u"abc"), "'abc", false, true},
      {Variant(u"'007"), false, Variant(u"007"), "'007", false, true},
      // A lone apostrophe stores an empty text: not an empty cell.
      {Variant(u"'"), false, Variant(u""), "'", false, true},
      {Variant(u"''x"), false, Variant(u"'x"), "''x", false, true},
      {Variant(u""), false, Variant(), "", false, false},
      {Variant(), false, Variant(), "", false, false},
      {Variant::Null(), false, Variant(), "", false, false},
      {Variant(u"007"), false, Variant(7.0), "7", false, true},
      {Variant(u" 12 "), false, Variant(12.0), "12", false, true},
      {Variant(u"-1.5E3"), false, Variant(-1500.0), "-1500", false, true},
      {Variant(u"+.5"), false, Variant(0.5), "0.5", false, true},
      {Variant(u"12345678901234567"), false, Variant(12345678901234500.0), "1.23456789012345E+16", false, true},
      {Variant(u"1,234"), false, Variant(1234.0), "1234", false, true},
      {Variant(u"#N/A"), false, Variant(CellError::NA), "#N/A", false, true},
      {Variant(u"#N/A"), true, Variant(u"#N/A"), "#N/A", false, true},
      {Variant(u"1.2.3"), false, Variant(u"1.2.3"), "1.2.3", false, true},
      {Variant(u"1E"), false, Variant(u"1E"), "1E", false, true},
      {Variant(u"007"), true, Variant(u"007"), "007", false, true},
      {Variant(u"=A1"), true, Variant(u"=A1"), "=A1", false, true},
      {Variant(u"true"), false, Variant(true), "TRUE", false, true},
      {Variant(u"False"), false, Variant(false), "FALSE", false, true},
      {Variant(u"TRUE"), true, Variant(u"TRUE"), "TRUE", false, true},
      {Variant(u"=\"a\"\"b\""), false, Variant(u"a\"b"), "=\"a\"\"b\"", true, true},
      {Variant(u"=12"), false, Variant(12.0), "=12", true, true},
      {Variant(u"=\"\""), false, Variant(u""), "=\"\"", true, true},
      {Variant(u"=SUM(A1:A2)"), false, Variant(CellError::Name), "=SUM(A1:A2)", true, true},
      {Variant(u"="), false, Variant(u"="), "=", false, true},
      {Variant(2.5), false, Variant(2.5), "2.5", false, true},
      {Variant(true), true, Variant(true), "TRUE", false, true},
      {Variant(CellError::NA), false, Variant(CellError::NA), "#N/A", false, true},
  };
  xl::Range cell = R("B2");
  for (const auto& c : cases) {
    cell.SetNumberFormat(c.textFormat ? u"@" : u"General");
    cell.SetValue(u"previous");
    cell.SetValue(c.written);
    const std::string what = Describe(c.written) + (c.textFormat ? " under @" : "");
    EXPECT_EQ(cell.Value(), c.value) << what << " read " << Describe(cell.Value());
    EXPECT_EQ(cell.Formula(), T(c.formula)) << what;
    EXPECT_EQ(cell.HasFormula(), c.hasFormula) << what;
    EXPECT_EQ(app->WorksheetFunction().CountA(cell), c.filled ? 1 : 0) << what;
    EXPECT_EQ(R("B1").End(xlDown).Row(), c.filled ? 2 : sheet->RowsCount()) << what;
  }
}

// Numbers with separators, percentages and currency as the application reads them in
// its en-US settings, error values by their texts; dates are left out on purpose.
TEST_F(ValueEntry, ReadsStyledNumbersAndErrorTextsButNoDates) {
  struct Case {
    const char16_t* typed;
    Variant value;
    const char16_t* numberFormat;  // what a General cell is given
    const char16_t* shown;         // what Find in values sees
  } cases[] = {
      {u"1,000", 1000.0, u"#,##0", u"1,000"},
      {u"-1,234,567.5", -1234567.5, u"#,##0.00", u"-1,234,567.50"},
      {u"12%", 0.12, u"0%", u"12%"},
      {u"12.5%", 0.125, u"0.00%", u"12.50%"},
      {u"-3%", -0.03, u"0%", u"-3%"},
      {u"$5", 5.0, u"$#,##0", u"$5"},
      {u"-$1,234.50", -1234.5, u"$#,##0.00", u"-$1,234.50"},
      {u"$-5", -5.0, u"$#,##0", u"-$5"},
      {u" 2,500 ", 2500.0, u"#,##0", u"2,500"},
      // Parentheses make a number negative, as accounting writes it.
      {u"(12)", -12.0, u"General", u"-12"},
      {u" (0.5) ", -0.5, u"General", u"-0.5"},
      {u"(1,234.5)", -1234.5, u"#,##0.00_);(#,##0.00)", u"(1,234.50)"},
      {u"(1,000)", -1000.0, u"#,##0_);(#,##0)", u"(1,000)"},
      {u"($12)", -12.0, u"$#,##0_);($#,##0)", u"($12)"},
      {u"($1,234.50)", -1234.5, u"$#,##0.00_);($#,##0.00)", u"($1,234.50)"},
      {u"#DIV/0!", CellError::Div0, u"General", u"#DIV/0!"},
      {u"#value!", CellError::Value, u"General", u"#VALUE!"},
      {u"#NAME?", CellError::Name, u"General", u"#NAME?"},
      {u"#REF!", CellError::Ref, u"General", u"#REF!"},
      {u"#NUM!", CellError::Num, u"General", u"#NUM!"},
      {u"#NULL!", CellError::Null, u"General", u"#NULL!"},
      // Texts: misplaced separators, mixed styles, date-like entries.
      {u"1,00", u"1,00", u"General", u"1,00"},
      {u"12,3456", u"12,3456", u"General", u"12,3456"},
      {u",123", u",123", u"General", u",123"},
      {u"1,000E3", u"1,000E3", u"General", u"1,000E3"},
      {u"$5%", u"$5%", u"General", u"$5%"},
      {u"5$", u"5$", u"General", u"5$"},
      {u"%", u"%", u"General", u"%"},
      {u"6-10", u"6-10", u"General", u"6-10"},
      {u"1/2", u"1/2", u"General", u"1/2"},
      {u"#N/A!", u"#N/A!", u"General", u"#N/A!"},
      {u"(-12)", u"(-12)", u"General", u"(-12)"},
      {u"( 12 )", u"( 12 )", u"General", u"( 12 )"},
      {u"(12%)", u"(12%)", u"General", u"(12%)"},
      {u"(12", u"(12", u"General", u"(12"},
      {u"()", u"()", u"General", u"()"},
      {u"(R12)", u"(R12)", u"General", u"(R12)"},
  };
  xl::Range cell = R("C3");
  for (const auto& c : cases) {
    cell.ClearFormats();
    cell.SetValue(c.typed);
    const std::string what = ToUtf8(c.typed);
    EXPECT_EQ(cell.Value(), c.value) << what;
    EXPECT_EQ(cell.NumberFormat(), Variant(Text(c.numberFormat))) << what;
    EXPECT_EQ(EnteredValue(c.typed), c.value) << what;
    const auto hit = R("C1:C9").Find({.What = c.shown, .LookIn = xlValues, .LookAt = xlWhole});
    EXPECT_TRUE(hit && hit->Row() == 3) << what << " is found as " << ToUtf8(c.shown);
  }
  // A cell that has a number format keeps it; under "@" the entry stays a text.
  cell.SetNumberFormat(u"0.0");
  cell.SetValue(u"12%");
  EXPECT_EQ(cell.NumberFormat(), Variant(Text(u"0.0")));
  EXPECT_EQ(cell.Value(), Variant(0.12));
  cell.SetNumberFormat(u"@");
  cell.SetValue(u"12%");
  EXPECT_EQ(cell.Value(), Variant(u"12%"));
}

// Range.Value of an area: one array row by row, read and written in one call, with the
// same entry rules and checks as a cell by cell write.
TEST_F(ValueEntry, WholeAreasReadAndWriteAsOneArray) {
  const std::vector<Variant> written = {u"abc", 1.5,     u"'007", Variant(), u"=12",    u"1,000",
                                        true,   u"#N/A", u"",     u"x",      Variant(), u"TRUE"};
  R("B2:D5").SetValues(written);
  const std::vector<Variant> read = R("B2:D5").Values();
  ASSERT_EQ(read.size(), written.size());
  for (long r = 0; r < 4; ++r) {
    for (long c = 0; c < 3; ++c) {
      const auto i = static_cast<std::size_t>(r * 3 + c);
      EXPECT_EQ(read[i], sheet->CellValue(2 + r, 2 + c)) << i;
      xl::Range one = R("A1").Offset(1 + r, 1 + c);
      EXPECT_EQ(one.Value(),
                [&] {
                  R("Z1").SetValue(written[i]);
                  return R("Z1").Value();
                }())
          << "as a single write, " << Describe(written[i]);
    }
  }
  EXPECT_TRUE(R("C3").HasFormula());
  EXPECT_EQ(R("B2").End(xlDown).Row(), 4) << "the empty value left a gap";
  // Past the stored cells, and in columns never written, the array holds Empty.
  std::vector<Variant> out(1, Variant(u"stale"));
  R("D4:F7").Values(out);
  ASSERT_EQ(out.size(), 12u);
  EXPECT_EQ(out[3], Variant(true));  // D5
  for (std::size_t i = 0; i < out.size(); ++i) EXPECT_TRUE(out[i].IsEmpty() || i == 3) << i;
  // A wrong size, an injected failure and a protected sheet are refused as for SetValue.
  EXPECT_EQ(ErrorOf([&] { R("A1:B2").SetValues(written); }), 1004);
  app->InjectFailure("Range.Value", 1004, "injected");
  EXPECT_EQ(ErrorOf([&] { R("A1:A2").SetValues(std::vector<Variant>{1, 2}); }), 1004);
  sheet->Protect();
  EXPECT_EQ(ErrorOf([&] { R("A1:A2").SetValues(std::vector<Variant>{1, 2}); }), 1004);
  EXPECT_TRUE(R("A1").Value().IsEmpty());
}

// A block read into the array of an earlier read takes each value as it is now: a text
// over a longer one, over a number or an Empty, and anything else over a text.
TEST_F(ValueEntry, BlocksReadAgainIntoOneArrayHoldTheirOwnValues) {
  const Text longText(3000, u'w');
  R("A1:A6").SetValues(std::vector<Variant>{Variant(longText), Variant(u"\u0101bc"), 2.5, Variant(), u"'7", u"x"});
  R("B1:B6").SetValues(std::vector<Variant>{Variant(u"ab"), 1.0, Variant(u"t"), Variant(u"u"), Variant(), true});
  std::vector<Variant> block;
  R("A1:A6").Values(block);
  R("B1:B6").Values(block);
  const std::vector<Variant> expected = {Variant(u"ab"), 1.0, Variant(u"t"), Variant(u"u"), Variant(), true};
  EXPECT_EQ(block, expected);
  R("A1:A6").Values(block);
  EXPECT_EQ(block, (std::vector<Variant>{Variant(longText), Variant(u"\u0101bc"), 2.5, Variant(), u"7", u"x"}));
}

// Texts overwritten and cleared give their room back: a column rewritten many times
// holds about what its live texts need. Texts of one-byte characters and others (kept
// in two bytes a character) share the column.
TEST_F(ValueEntry, OverwrittenTextsAreReclaimed) {
  constexpr long kRows = 400;
  const auto text = [](int round, long r) {
    Text t(1000, static_cast<char16_t>(u'a' + round));
    if (r % 3 == 0) t += u"\u03A9\u00E9";  // an Omega makes it a two-byte text
    return t + vba::NumberText(static_cast<double>(r));
  };
  for (int round = 0; round < 12; ++round) {
    for (long r = 1; r <= kRows; ++r) sheet->Cells(r, 1).SetValue(text(round, r));
    if (round == 3 || round == 7) sheet->Range(u"A1:A100").ClearContents();
  }
  std::size_t live = 0;
  for (long r = 1; r <= kRows; ++r) {
    ASSERT_EQ(sheet->CellValue(r, 1), Variant(text(11, r))) << r;
    live += text(11, r).size() * (r % 3 == 0 ? 2 : 1);
  }
  EXPECT_LT(sheet->HeldTextBytes(1), 4 * live) << "12 rounds of texts would hold " << 12 * live;
  const auto hit = R("A1:A400").Find({.What = u"L\u03A9\u00C9300", .LookIn = xlValues, .LookAt = xlPart});
  ASSERT_TRUE(hit);
  EXPECT_EQ(hit->Row(), 300);
}

// Equal texts written one after another share their bytes; each cell still reads and
// changes as its own through clears, overwrites, a sort (which lays the texts out again)
// and the compaction of the dead ones.
TEST_F(ValueEntry, EqualTextsInARowShareTheirBytes) {
  constexpr long kRows = 3000;
  const Text narrow(300, u'n');
  const Text wide = Text(300, u'w') + u"\u03A9";
  const auto written = [&](long r) { return r <= kRows / 2 ? narrow : wide; };
  const auto expected = [&](long r) -> Variant {
    if (r % 1000 == 7) return Variant();
    if (r % 500 == 3) return Variant(u"changed " + vba::NumberText(static_cast<double>(r)));
    return Variant(written(r));
  };
  std::vector<Variant> column;
  for (long r = 1; r <= kRows; ++r) column.emplace_back(written(r));
  R("A1:A3000").SetValues(column);
  EXPECT_LT(sheet->HeldTextBytes(1), std::size_t{8192}) << "3000 texts of 300 characters, two of them distinct";
  for (long r = 1; r <= kRows; ++r) {
    if (r % 1000 == 7) sheet->Cells(r, 1).ClearContents();
    if (r % 500 == 3) sheet->Cells(r, 1).SetValue(expected(r));
  }
  std::vector<Variant> sorted;
  for (long r = 1; r <= kRows; ++r) {
    ASSERT_EQ(sheet->CellValue(r, 1), expected(r)) << r;
    if (!expected(r).IsEmpty()) sorted.push_back(expected(r));
  }
  const Range key = R("A1");
  R("A1:A3000").Sort({.Key1 = &key, .Order1 = xlDescending, .Header = xlNo});
  std::stable_sort(sorted.begin(), sorted.end(),
                   [](const Variant& a, const Variant& b) { return text_order::CompareValues(a, b, false) > 0; });
  for (std::size_t i = 0; i < sorted.size(); ++i) {
    ASSERT_EQ(sheet->CellValue(static_cast<long>(i) + 1, 1), sorted[i]) << i;
  }
  EXPECT_TRUE(sheet->CellValue(kRows, 1).IsEmpty());
  EXPECT_LT(sheet->HeldTextBytes(1), std::size_t{8192}) << "the sorted texts lie in runs of equal ones";
}

// A file's cells are stored as they are: texts stay texts whatever they look like (and
// read back with a "'" as Formula where typing would make anything else of them), and
// a formula keeps the value the file held for it through sorting and compaction, and
// loses it when the cell is typed into again.
TEST_F(ValueEntry, StoresFileCellsAndFormulasWithTheirCachedValues) {
  const std::vector<FileCell> cells = {
      {.type = VarType::String, .text = u"007"},
      {.type = VarType::String, .text = u"abc"},
      {.type = VarType::Number, .number = 0.1 + 0.2},
      {.type = VarType::Boolean, .boolean = true},
      {.type = VarType::Error, .error = CellError::Div0},
      {.type = VarType::Number, .number = 42, .formula = u"=SUM(A90:A99)"},
      {.type = VarType::String, .text = u"x\"y", .formula = u"=B1&\"y\""},
      {.type = VarType::Boolean, .boolean = false, .formula = u"=A1=A2"},
      {.type = VarType::Error, .error = CellError::NA, .formula = u"=NA()"},
      {.formula = u"=VLOOKUP(1,B:C,2)"},
      {.type = VarType::String, .text = u"", .formula = u"=\"\""},
      {},
  };
  R("A12").SetValue(u"gone");
  sheet->StoreCells(1, 1, cells);
  struct Case {
    const char* cell;
    Variant value;
    const char* formula;
    bool hasFormula;
  } expected[] = {
      {"A1", Variant(u"007"), "'007", false},
      {"A2", Variant(u"abc"), "abc", false},
      {"A3", Variant(0.1 + 0.2), "0.3", false},
      {"A4", Variant(true), "TRUE", false},
      {"A5", Variant(CellError::Div0), "#DIV/0!", false},
      {"A6", Variant(42.0), "=SUM(A90:A99)", true},
      {"A7", Variant(u"x\"y"), "=B1&\"y\"", true},
      {"A8", Variant(false), "=A1=A2", true},
      {"A9", Variant(CellError::NA), "=NA()", true},
      {"A10", Variant(CellError::Name), "=VLOOKUP(1,B:C,2)", true},  // no cached value
      {"A11", Variant(u""), "=\"\"", true},
      {"A12", Variant(), "", false},
  };
  const auto check = [&](const char* when) {
    for (const Case& c : expected) {
      EXPECT_EQ(R(c.cell).Value(), c.value) << when << " " << c.cell;
      EXPECT_EQ(R(c.cell).Formula(), T(c.formula)) << when << " " << c.cell;
      EXPECT_EQ(R(c.cell).HasFormula(), c.hasFormula) << when << " " << c.cell;
    }
  };
  check("stored");
  for (long r = 1; r <= 12; ++r) {
    const bool cached = r >= 6 && r <= 11 && r != 10;
    EXPECT_EQ(sheet->CellHasCachedValue(r, 1), cached) << "A" << r;
  }
  // Found by their values and their sources.
  EXPECT_EQ(R("A1:A12").Find({.What = u"42", .LookIn = xlValues, .LookAt = xlWhole})->Row(), 6);
  EXPECT_EQ(R("A1:A12").Find({.What = u"SUM(", .LookIn = xlFormulas, .LookAt = xlPart})->Row(), 6);
  // Moved by sorting down and back up, the texts of the column compacted.
  for (long r = 1; r <= 12; ++r) sheet->Cells(r, 2).SetValue(static_cast<double>(r));
  const xl::Range key = R("B1");
  R("A1:B12").Sort({.Key1 = &key, .Order1 = xlDescending});
  EXPECT_EQ(R("A7").Value(), Variant(42.0));
  R("A1:B12").Sort({.Key1 = &key, .Order1 = xlAscending});
  for (int i = 0; i < 50; ++i) R("A12").SetValue(Text(2000, u'z'));
  R("A12").ClearContents();
  check("sorted and compacted");
  R("A6").SetValue(u"=SUM(A90:A99)");
  EXPECT_EQ(R("A6").Value(), Variant(CellError::Name));
  EXPECT_EQ(ErrorOf([&] { sheet->StoreCells(1048576, 1, cells); }), 1004);
}

TEST_F(ValueEntry, CutsTextsAtTheCellLimit) {
  Text longText(40000, u'x');
  R("A1").SetValue(longText);
  EXPECT_EQ(R("A1").Value().AsText().size(), 32767u);
  R("A2").SetValue(Text(u"'").append(32767, u'y'));
  EXPECT_EQ(R("A2").Value().AsText(), Text(32767, u'y'));
  // A character of two code units that the limit would split is left out whole.
  const Text emoji = u"\U0001F600";
  R("A3").SetValue(Text(32766, u'z') + emoji + u"tail");
  EXPECT_EQ(R("A3").Value().AsText(), Text(32766, u'z'));
  R("A4").SetValue(Text(32765, u'z') + emoji + u"tail");
  EXPECT_EQ(R("A4").Value().AsText(), Text(32765, u'z') + emoji);
}

TEST_F(ValueEntry, WritesEveryCellOfEveryAreaAndReadsTheFirst) {
  xl::Range r = sheet->Range(u"A1:B2, D4");
  r.SetValue(5);
  EXPECT_EQ(app->WorksheetFunction().CountA(sheet->Range(u"A1:D4")), 5);
  EXPECT_EQ(r.Value(), Variant(5.0));
  r.SetValue(u"");
  EXPECT_EQ(app->WorksheetFunction().CountA(sheet->Range(u"A:D")), 0);

  R("A1:B2").SetValues(std::vector<Variant>{1, u"x", true, Variant()});
  EXPECT_EQ(R("A1:B2").Values(), (std::vector<Variant>{1.0, Variant(u"x"), true, Variant()}));
}

TEST_F(ValueEntry, ClearContentsKeepsFormatsAndComments) {
  R("C3").SetValue(u"x");
  R("C3").Font().SetBold(true);
  R("C3").AddComment(u"note");
  R("C1:C5").ClearContents();
  EXPECT_TRUE(R("C3").Value().IsEmpty());
  EXPECT_EQ(R("C3").Font().Bold(), Variant(true));
  ASSERT_TRUE(R("C3").Comment());
  EXPECT_EQ(R("C3").Comment()->Text(), u"note");
}

TEST_F(ValueEntry, OutsideTheSheetRaises1004) {
  EXPECT_EQ(ErrorOf([&] { R("A1").Offset(-1, 0); }), 1004);
  EXPECT_EQ(ErrorOf([&] { R("A1").Cells(0, 1); }), 1004);
  EXPECT_EQ(ErrorOf([&] { R("XFD1").Offset(0, 1); }), 1004);
  EXPECT_EQ(ErrorOf([&] { sheet->Cells(1048577, 1); }), 1004);
  // Cells and Offset may reach beyond the range itself.
  EXPECT_EQ(R("B2:C3").Cells(3, 1).Address(), u"$B$4");
  EXPECT_EQ(R("B2:C3").Cells(0, 0).Address(), u"$A$1");
}

}  // namespace
}  // namespace quillary::xl::memory
