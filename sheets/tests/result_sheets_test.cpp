#include "sheets/result_sheets.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/tests/expect_error.h"
#include "testkit/bench.h"

namespace quillary::sheets {

namespace {

Text ReportCaption(testkit::Bench& b) { return b.Control(host::ctl::mail::kResultSheet).Caption(); }

// Renames the active sheet `source` and adds sheets of the given names after it;
// `source` stays active.
void Sheets(testkit::Bench& b, const Text& source, const std::vector<Text>& others) {
  b.book->ActiveSheet().SetName(source);
  for (const Text& name : others) {
    xl::SheetCollection& sheets = b.book->Worksheets();
    sheets.Add({.Before = nullptr, .After = &sheets.Item(sheets.Count()), .Count = 1}).SetName(name);
  }
  b.book->Worksheets().Item(source).Activate();
}

TEST(MakeNewSheet, NamesAreUniqueWithoutRegardToCaseAndAtMost31Long) {
  const Text base28 = u"ABCDEFGHIJKLMNOPQRSTUVWXYZab";  // 28 characters
  const Text cut22 = base28.substr(0, 22);
  const Text cut21 = base28.substr(0, 21);
  const Text cut20 = base28.substr(0, 20);
  const struct {
    Text base;
    const char16_t* suffix;
    std::vector<Text> existing;
    Text expected;
  } cases[] = {
      {u"Parts", u"-Expanded", {}, u"Parts-Expanded1"},
      {u"Parts", u"-Expanded", {u"Parts-Expanded1", u"Parts-Expanded4"}, u"Parts-Expanded5"},
      // Sheet names are unique without regard to case, so other spellings count.
      {u"Parts", u"-Expanded", {u"Parts-expanded7"}, u"Parts-Expanded8"},
      {u"Parts", u"-Expanded", {u"PARTS-EXPANDED1"}, u"Parts-Expanded2"},
      {u"Parts", u"-Expanded", {u"Parts-Expanded"}, u"Parts-Expanded1"},
      {u"Parts", u"-Expanded", {u"Parts-Reduced3"}, u"Parts-Expanded1"},
      // Numbers beyond 16 bits.
      {u"Parts", u"-DiffRpt", {u"Parts-DiffRpt40000"}, u"Parts-DiffRpt40001"},
      // A long base keeps its first characters.
      {base28, u"-Reduced", {}, cut22 + u"-Reduced1"},
      {base28, u"-Reduced", {cut22 + u"-reduced1"}, cut22 + u"-Reduced2"},
      // The number gains a digit, and the base gives up one more character.
      {base28, u"-Reduced", {cut22 + u"-Reduced9"}, cut21 + u"-Reduced10"},
      // It gains a third digit in the second pass, after the sheet whose name it then
      // reaches was passed.
      {base28,
       u"-Reduced",
       {cut20 + u"-Reduced100", cut21 + u"-Reduced99", cut22 + u"-Reduced9"},
       cut20 + u"-Reduced101"},
      // A character of two code units where the base is cut goes whole.
      {cut21 + u"\U0001F600" + u"xyz", u"-Reduced", {}, cut21 + u"-Reduced1"},
  };
  for (const auto& c : cases) {
    testkit::Bench b;
    Sheets(b, c.base, c.existing);
    const long count = b.book->Worksheets().Count();

    b.BeginRequest(u"EXPAND Row to Many");
    MakeNewSheet(b.state, c.base, c.suffix);
    EXPECT_EQ(ReportCaption(b), c.expected) << ToUtf8(c.expected);
    EXPECT_LE(c.expected.size(), 31u);
    ASSERT_EQ(b.book->Worksheets().Count(), count + 1);
    // The new sheet is the last one, and the active one.
    EXPECT_EQ(b.book->Worksheets().Item(count + 1).Name(), c.expected);
    EXPECT_EQ(b.book->ActiveSheet().Name(), c.expected);
  }
}

TEST(MakeNewSheet, ASheetThatCannotBeMadeLeavesTheWorkbookAsItWas) {
  const struct {
    const char* what;
    bool protectStructure;
    bool refuseName;
  } cases[] = {{"protected workbook", true, false}, {"name refused", false, true}};
  for (const auto& c : cases) {
    testkit::Bench b;
    Sheets(b, u"Parts", {u"Other"});
    if (c.protectStructure) b.book->Protect(true, false);
    if (c.refuseName) b.app->InjectFailure("Worksheet.Name", 1004, "That name is already taken.");
    b.BeginRequest(u"EXPAND Row to Many");
    {
      SCOPED_TRACE(c.what);
      check::ExpectRaises([&] { MakeNewSheet(b.state, u"Parts", u"-Expanded"); }, 1004, "MakeNewSheet: ");
    }
    EXPECT_EQ(b.book->Worksheets().Count(), 2) << c.what;
    EXPECT_EQ(b.book->ActiveSheet().Name(), u"Parts") << c.what;
    EXPECT_EQ(ReportCaption(b), u"") << c.what;
  }
}

// A source sheet "Parts" and a result sheet made from it, filled with a table: a title
// in row 1, headings in row 2, nine rows of data; column B holds one long text, column
// C is empty, column D short texts.
struct Finish {
  void MakeResult(const char16_t* mode) {
    b.book->ActiveSheet().SetName(u"Parts");
    b.Cell(u"A1").SetValue(u"source");
    b.BeginRequest(mode);
    MakeNewSheet(b.state, u"Parts", u"-Expanded");
    result = &b.book->ActiveSheet();
    result->Range(u"A1").SetValue(u"Title");
    result->Range(u"A2").SetValue(u"Ref");
    result->Range(u"D2").SetValue(u"Note");
    for (int r = 3; r <= 11; ++r) {
      const std::string n = std::to_string(r);
      result->Range(FromUtf8("A" + n)).SetValue(FromUtf8("'R" + n));
      result->Range(FromUtf8("D" + n)).SetValue(u"ok");
    }
    result->Range(u"B5").SetValue(Text(100, u'w'));
    b.book->Worksheets().Item(u"Parts").Activate();
  }
  Variant At(const char16_t* cell) { return result->Range(cell).Value(); }
  double Width(const char16_t* cell) { return result->Range(cell).ColumnWidth().AsNumber(); }

  testkit::Bench b;
  xl::Worksheet* result = nullptr;
};

class WindowSmallPaintTblTest : public ::testing::Test, public Finish {};

TEST_F(WindowSmallPaintTblTest, ANumberedFilteredTableInASmallWindow) {
  MakeResult(u"EXPAND Row to Many");
  xl::Window& source = *b.app->ActiveWindow();
  WindowSmallPaintTbl(b.state);

  // The numbering column: 1 to 9 down from A3 to the last used row; its heading is
  // cleared again at the end.
  for (int r = 3; r <= 11; ++r)
    EXPECT_EQ(At(FromUtf8(std::string("A").append(std::to_string(r))).c_str()), Variant(r - 2));
  EXPECT_TRUE(At(u"A12").IsEmpty());
  EXPECT_TRUE(At(u"A2").IsEmpty());
  EXPECT_EQ(result->Range(u"A2").HorizontalAlignment(), Variant(xl::xlLeft));
  EXPECT_EQ(At(u"B2"), Variant(u"Ref"));

  // The table: trimmed, filtered, formatted.
  const xl::Area table{1, 1, 11, 5};
  ASSERT_TRUE(result->AutoFilterArea().has_value());
  EXPECT_EQ(*result->AutoFilterArea(), table);
  const xl::Range cells(*result, table);
  EXPECT_EQ(cells.VerticalAlignment(), Variant(xl::xlTop));
  EXPECT_EQ(cells.NumberFormat(), Variant(u"General"));
  EXPECT_EQ(cells.WrapText(), Variant(false));
  EXPECT_EQ(cells.Borders().LineStyle(), Variant(xl::xlContinuous));
  EXPECT_DOUBLE_EQ(Width(u"C1"), 60);  // the long text, capped
  EXPECT_DOUBLE_EQ(Width(u"D1"), 1);   // an empty column
  EXPECT_LT(Width(u"E1"), 60);

  // Two windows: the result in the new, active one at the right, the source at the left.
  ASSERT_EQ(b.book->Windows().Count(), 2);
  xl::Window& small = *b.app->ActiveWindow();
  EXPECT_NE(&small, &source);
  EXPECT_EQ(b.book->ActiveSheet().Name(), u"Parts-Expanded1");
  EXPECT_EQ(small.RangeSelection().Address(), u"$A$1:$E$11");
  const double h = b.app->UsableHeight(), w = b.app->UsableWidth();
  EXPECT_EQ(small.WindowState(), xl::xlNormal);
  EXPECT_DOUBLE_EQ(small.Top(), 0.15 * h);
  EXPECT_DOUBLE_EQ(small.Height(), 0.7 * h);
  EXPECT_DOUBLE_EQ(small.Left(), 0.6 * w);
  EXPECT_DOUBLE_EQ(small.Width(), 0.4 * w);
  EXPECT_EQ(source.WindowState(), xl::xlNormal);
  EXPECT_DOUBLE_EQ(source.Top(), 1);
  EXPECT_DOUBLE_EQ(source.Left(), 1);
  EXPECT_DOUBLE_EQ(source.Height(), h);
  EXPECT_DOUBLE_EQ(source.Width(), 0.7 * w);
  EXPECT_TRUE(source.FreezePanes());

  EXPECT_EQ(ReportCaption(b), u"");
  EXPECT_FALSE(b.state.request.progress.UserAbort);
  EXPECT_TRUE(b.addin.Messages().empty());
  // The caller's SkipMenu is as it was.
  EXPECT_FALSE(b.Control(host::ctl::mail::kSkipMenu).Enabled());
}

TEST(WindowSmallPaintTbl, TheModeDecidesTheHeadingAndTheWrapping) {
  const struct {
    const char16_t* mode;
    bool keepsHeading;
    bool wraps;
  } cases[] = {
      {u"COMPARE 2/Uniques", true, false},
      {u"REDUCE Rows to One", false, true},
  };
  for (const auto& c : cases) {
    Finish f;
    f.MakeResult(c.mode);
    WindowSmallPaintTbl(f.b.state);
    EXPECT_EQ(f.At(u"A2"), c.keepsHeading ? Variant(u"#") : Variant()) << ToUtf8(c.mode);
    EXPECT_EQ(xl::Range(*f.result, xl::Area{1, 1, 11, 5}).WrapText(), Variant(c.wraps)) << ToUtf8(c.mode);
  }
}

TEST(WindowSmallPaintTbl, AFailureIsReportedAndTheReportNameCleared) {
  const struct {
    const char* what;
    long number;
  } cases[] = {
      // The windows cannot be arranged: the error reaches the caller.
      {"protected windows", 1004},
      // The sheet named in shtDiffRpt is gone.
      {"missing sheet", err::kSubscript},
  };
  for (const auto& c : cases) {
    Finish f;
    f.MakeResult(u"EXPAND Row to Many");
    if (c.number == 1004) {
      f.b.book->Protect(false, true);
    } else {
      f.b.Control(host::ctl::mail::kResultSheet).SetCaption(u"Parts-Gone1");
    }
    {
      SCOPED_TRACE(c.what);
      check::ExpectRaises([&] { WindowSmallPaintTbl(f.b.state); }, c.number, "WindowSmallPaintTbl: ");
    }
    EXPECT_EQ(ReportCaption(f.b), u"") << c.what;
    EXPECT_FALSE(f.b.Control(host::ctl::mail::kSkipMenu).Enabled()) << c.what;
  }
}

}  // namespace
}  // namespace quillary::sheets
