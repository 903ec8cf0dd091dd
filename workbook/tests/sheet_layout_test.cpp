#include "workbook/sheet_layout.h"

#include <gtest/gtest-spi.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/runtime/error.h"
#include "workbook/tests/round_trip.h"

namespace quillary::workbook {
namespace {

using testing::BuildRichWorkbook;
using testing::ExpectSameWorkbook;
using xl::memory::FileBook;
using xl::memory::FileSheet;

FileSheet& Memory(xl::Worksheet& sheet) { return dynamic_cast<FileSheet&>(sheet); }

// A copy of `from` made sheet by sheet through the layout: formulas and texts typed in
// (each text with a "'"), other values entered as they are, names defined again.
FileBook& CopyThroughLayout(xl::memory::MemoryApplication& app, FileBook& from) {
  FileBook& to = app.AddWorkbook(from.RowsCount() == xl::kLargeGridRows ? xl::memory::GridSize::Large
                                                                        : xl::memory::GridSize::Small);
  for (long i = 1; i <= from.Sheets().Count(); ++i) {
    FileSheet& source = Memory(from.Sheets().Item(i));
    xl::Worksheet& sheet = i == 1 ? to.Sheets().Item(1) : to.Sheets().Add({.After = &to.Sheets().Item(i - 1)});
    sheet.SetName(source.Name());
    ApplyLayout(Memory(sheet), ReadLayout(source), [&] {
      for (long c = 1; c <= source.StoredColumns(); ++c) {
        for (auto r = source.NextFilledRow(c, 0); r; r = source.NextFilledRow(c, *r)) {
          const Variant v = source.CellValue(*r, c);
          if (source.CellHasCachedValue(*r, c)) {
            const Text formula = source.CellFormula(*r, c);
            const xl::memory::FileCell cell = xl::memory::FileCellOf(v, formula);
            Memory(sheet).StoreCells(*r, c, std::span(&cell, 1));
          } else if (source.CellHasFormula(*r, c)) {
            sheet.Cells(*r, c).SetValue(source.CellFormula(*r, c));
          } else {
            sheet.Cells(*r, c).SetValue(v.IsText() ? Variant(u"'" + v.AsText()) : v);
          }
        }
      }
    });
  }
  for (long i = 1; i <= from.Sheets().Count(); ++i) {
    xl::NameCollection& names = from.Sheets().Item(i).Names();
    for (long k = 1; k <= names.Count(); ++k) {
      to.Sheets().Item(i).Names().AddR1C1(names.Item(k).Name(), names.Item(k).RefersToR1C1(), names.Item(k).Visible());
    }
  }
  for (long k = 1; k <= from.Names().Count(); ++k) {
    to.Names().AddR1C1(from.Names().Item(k).Name(), from.Names().Item(k).RefersToR1C1(),
                       from.Names().Item(k).Visible());
  }
  to.Sheets().Item(from.ActiveSheet().Name()).Activate();
  for (long i = 1; i <= from.Sheets().Count(); ++i) to.Sheets().Item(i).SetVisible(from.Sheets().Item(i).Visible());
  return to;
}

// The messages of the failures `body` reports, which do not fail the test.
std::vector<std::string> FailuresOf(const std::function<void()>& body) {
  ::testing::TestPartResultArray results;
  {
    const ::testing::ScopedFakeTestPartResultReporter intercept(
        ::testing::ScopedFakeTestPartResultReporter::INTERCEPT_ONLY_CURRENT_THREAD, &results);
    body();
  }
  std::vector<std::string> messages;
  for (int i = 0; i < results.size(); ++i) messages.emplace_back(results.GetTestPartResult(i).message());
  return messages;
}

class Layout : public ::testing::Test {
 protected:
  std::unique_ptr<xl::memory::MemoryApplication> app = xl::memory::CreateApplication();
};

TEST_F(Layout, ASheetPutTogetherFromItsLayoutAndValuesIsTheSame) {
  FileBook& rich = BuildRichWorkbook(*app);
  FileBook& copy = CopyThroughLayout(*app, rich);
  ExpectSameWorkbook(rich, copy);
  // The protected sheet's unlocked cells still take values; its locked ones do not.
  xl::Worksheet& parts = copy.Sheets().Item(u"Parts");
  EXPECT_TRUE(parts.ProtectContents());
  parts.Range(u"B2").SetValue(7);
  EXPECT_THROW(parts.Range(u"A2").SetValue(7), Error);
}

TEST_F(Layout, FormatsAreAreasNotCells) {
  FileBook& book = app->AddWorkbook(xl::memory::GridSize::Large);
  FileSheet& sheet = Memory(book.ActiveSheet());
  sheet.SetFormat({1, 1, 1000000, 1}, xl::FormatKey::FontBold, true);
  sheet.SetFormat({1, 2, 1000000, 3}, xl::FormatKey::InteriorColor, 255);
  sheet.Range(u"XFD1048576").SetValue(u"far");
  const SheetLayout layout = ReadLayout(sheet);
  ASSERT_EQ(layout.formats.size(), 2U);
  EXPECT_EQ(layout.formats[0].area, (xl::Area{1, 1, 1000000, 1}));
  EXPECT_EQ(layout.formats[1].area, (xl::Area{1, 2, 1000000, 3}));
}

// The checker finds each kind of difference and names where it is.
TEST_F(Layout, TheCheckerFindsEachDifference) {
  struct Case {
    const char* change;
    std::function<void(FileBook&)> apply;
    const char* message;
  };
  const Case cases[] = {
      {"a value", [](FileBook& b) { b.Sheets().Item(u"Archive").Range(u"B2").SetValue(u"new"); }, "Archive!$B$2"},
      {"a text for a number",
       [](FileBook& b) {
         xl::Worksheet& s = b.Sheets().Item(u"Report");
         s.Range(u"C3").SetValue(u"'5");
       },
       "Report!$C$3"},
      {"a colour",
       [](FileBook& b) {
         b.Sheets().Item(u"Report").SetFormat({9, 9, 9, 9}, xl::FormatKey::InteriorColor, 1);
       },
       "Report!$I$9 interior colour"},
      {"a comment shown",
       [](FileBook& b) {
         xl::Worksheet& s = b.Sheets().Item(u"Report");
         s.SetCellComment(1, 1, xl::CommentData{u"x"});
       },
       "Report: comments"},
      {"a hidden row", [](FileBook& b) { b.Sheets().Item(u"Report").SetRowsHidden(4, 4, true); },
       "Report: hidden rows"},
      {"a name", [](FileBook& b) { b.Names().AddR1C1(u"More", u"=Report!R1C1"); }, "workbook-level names"},
      {"the active sheet", [](FileBook& b) { b.Sheets().Item(u"Parts").Activate(); }, "the active sheet"},
      {"a page set-up",
       [](FileBook& b) {
         xl::PageSetup p = b.Sheets().Item(u"Report").GetPageSetup();
         p.Zoom = 90;
         b.Sheets().Item(u"Report").SetPageSetup(p);
       },
       "Report: page set-up"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.change);
    FileBook& rich = BuildRichWorkbook(*app);
    FileBook& copy = CopyThroughLayout(*app, rich);
    c.apply(copy);
    const auto failures = FailuresOf([&] { ExpectSameWorkbook(rich, copy); });
    EXPECT_TRUE(std::any_of(failures.begin(), failures.end(),
                            [&](const std::string& m) { return m.find(c.message) != std::string::npos; }))
        << "no failure names " << c.message;
  }
}

}  // namespace
}  // namespace quillary::workbook
