#include "host/working_sheet.h"

#include <gtest/gtest.h>

#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/tests/expect_error.h"
#include "testkit/bench.h"

namespace quillary::host {
namespace {

class WorkingSheetTest : public ::testing::Test {
 protected:
  WorkingSheetTest() {
    b.BeginRequest();
    b.book->Worksheets().Add({.After = &b.Sheet(u"Sheet1")});
    b.Sheet(u"Sheet1").Activate();
  }
  xl::Worksheet& Work() { return b.Sheet(kHiddenWorkSht); }
  testkit::Bench b;
};

TEST_F(WorkingSheetTest, FirstUseMakesTheVeryHiddenSheetWithItsNames) {
  InitPlace(b.state, kList1);
  xl::SheetCollection& sheets = b.book->Worksheets();
  ASSERT_EQ(sheets.Count(), 3);
  xl::Worksheet& work = sheets.Item(1);
  EXPECT_EQ(work.Name(), u"Quillary3016000000");
  EXPECT_EQ(work.Visible(), xl::xlSheetVeryHidden);
  EXPECT_EQ(work.Names().Count(), 3);
  EXPECT_EQ(work.Names().Item(u"unique1").RefersToR1C1(), u"=Quillary3016000000!R1C1");
  EXPECT_EQ(work.Range(kList1).Address(), u"$A$1");
  EXPECT_EQ(work.Range(kExcelPaste).Address(), u"$J$1");
  EXPECT_EQ(work.Range(kList2).Address(), u"$K$1");
  EXPECT_EQ(b.book->ActiveSheet().Name(), u"Sheet1") << "the user's sheet stays active";
  EXPECT_EQ(b.book->Names().Count(), 0) << "the names belong to the sheet only";

  InitPlace(b.state, kList2);
  EXPECT_EQ(sheets.Count(), 3) << "a second call only clears";
}

TEST_F(WorkingSheetTest, ClearsTheSixColumnsOfOneListOverTheUsedHeight) {
  InitPlace(b.state, kList1);
  xl::Worksheet& work = Work();
  // Columns A to S filled over rows 1 to 500.
  for (long col = 1; col <= 19; ++col) work.Range(work.Cells(1, col), work.Cells(500, col)).SetValue(u"'x");

  InitPlace(b.state, kList2);
  EXPECT_EQ(xl::Range(work, {1, 11, 500, 16}).Count(), 3000);
  EXPECT_EQ(b.app->WorksheetFunction().CountA(xl::Range(work, {1, 11, 500, 16})), 0) << "K1:P500 emptied";
  EXPECT_EQ(b.app->WorksheetFunction().CountA(xl::Range(work, {1, 1, 500, 9})), 4500) << "A:I kept";
  EXPECT_EQ(b.app->WorksheetFunction().CountA(xl::Range(work, {1, 17, 500, 19})), 1500) << "Q:S kept";
}

TEST_F(WorkingSheetTest, AOneRowSheetClearsTheAnchorRowOnly) {
  InitPlace(b.state, kList1);
  xl::Worksheet& work = Work();
  work.Range(u"F1").SetValue(u"'in the block");
  work.Range(u"G1").SetValue(u"'beside it");
  ASSERT_EQ(work.UsedRange().RowsCount(), 1);
  InitPlace(b.state, kList1);
  EXPECT_TRUE(work.Range(u"F1").Value().IsEmpty());
  EXPECT_EQ(work.Range(u"G1").Value(), Variant(u"beside it"));
}

TEST_F(WorkingSheetTest, AnExistingSheetInOtherLetterCaseIsTheWorkingSheet) {
  xl::Worksheet& mine = b.book->Worksheets().Add({.After = &b.Sheet(u"Sheet1")});
  mine.SetName(u"quillary3016000000");
  mine.Names().AddR1C1(kList1, u"=R1C1");
  mine.Names().AddR1C1(kExcelPaste, u"=R1C10");
  mine.Names().AddR1C1(kList2, u"=R1C11");
  b.Sheet(u"Sheet1").Activate();
  const long count = b.book->Worksheets().Count();
  InitPlace(b.state, kList1);
  EXPECT_EQ(b.book->Worksheets().Count(), count);
  EXPECT_EQ(mine.Name(), u"quillary3016000000");
}

TEST(WorkingSheetFailure, FailuresCarryTheTrail) {
  const struct {
    const char* what;
    std::function<void(testkit::Bench&)> arrange;
  } cases[] = {
      {"protected structure", [](testkit::Bench& t) { t.book->Protect(true, false); }},
      {"refused name",
       [](testkit::Bench& t) { t.app->InjectFailure("Worksheet.Name", err::kApplication, "name refused"); }},
  };
  for (const auto& c : cases) {
    testkit::Bench t;
    t.BeginRequest();
    c.arrange(t);
    SCOPED_TRACE(c.what);
    check::ExpectRaises([&] { InitPlace(t.state, kList1); }, err::kApplication, "InitPlace: ");
  }
}

TEST_F(WorkingSheetTest, ListNameTheSheetLacksFails) {
  InitPlace(b.state, kList1);
  EXPECT_THROW(InitPlace(b.state, u"nolist"), Error);
}

TEST(WorkingSheetNoBook, NothingHappensWithoutAWorkbook) {
  testkit::Bench b;
  b.BeginRequest();
  auto empty = xl::memory::CreateApplication({});
  b.state.connection.ExcelApp = empty.get();
  EXPECT_NO_THROW(InitPlace(b.state, kList1));
  EXPECT_EQ(empty->Workbooks().Count(), 0);
}

}  // namespace
}  // namespace quillary::host
