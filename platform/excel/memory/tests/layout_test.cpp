#include <gtest/gtest.h>

#include <algorithm>

#include "platform/excel/memory/tests/fixture.h"

namespace quillary::xl::memory {
namespace {

struct Visited {
  Area area;
  CellFormat format;
};

std::vector<Visited> Formats(MemoryWorksheet& sheet) {
  std::vector<Visited> out;
  sheet.VisitFormats([&](const Area& a, const CellFormat& f) { out.push_back({a, f}); });
  return out;
}

class Layout : public SheetTest {
 protected:
  Area A(const char* reference) { return R(reference).FirstArea(); }
};

// The visited areas, put on a fresh sheet in order, give every cell the format it had;
// equal runs of neighbouring columns come as one area, and far cells cost nothing.
TEST_F(Layout, VisitedFormatsRebuildTheSheet) {
  sheet->SetFormat(A("A:A"), FormatKey::FontBold, true);                       // an entire column
  sheet->SetFormat(A("B2:D5"), FormatKey::InteriorColor, 255);                 // one rectangle
  sheet->SetFormat(A("C4"), FormatKey::NumberFormat, u"@");                    // inside it
  sheet->SetFormat(A("A3"), FormatKey::FontBold, false);                       // a cell of the column
  sheet->SetFormat(A("F2:H3"), FormatKey::WrapText, true);                     // three equal columns
  sheet->SetFormat(A("XFD1048576"), FormatKey::HorizontalAlignment, xlRight);  // far away
  const auto visited = Formats(*sheet);

  // A's column; then A3, B2:B5, C split round C4 into three, D2:D5, F2:H3 as one area
  // and XFD1048576.
  ASSERT_EQ(visited.size(), 9U);
  EXPECT_EQ(visited[0].area, (Area{1, 1, 1048576, 1}));
  EXPECT_TRUE(visited[0].format.bold);
  EXPECT_EQ(std::count_if(visited.begin(), visited.end(), [](const Visited& v) { return v.format.wrapText; }), 1);

  MemoryWorkbook& other = app->AddWorkbook(GridSize::Large);
  MemoryWorksheet& copy = other.ActiveMemorySheet();
  for (const Visited& v : visited) copy.PutFormat(v.area, v.format);
  for (const char* cell : {"A1", "A3", "A1048576", "B2", "C4", "D5", "E5", "B6", "G3", "H4", "XFD1048576", "XFD1"}) {
    const Area a = sheet->Range(T(cell)).FirstArea();
    for (const FormatKey key : {FormatKey::FontBold, FormatKey::InteriorColor, FormatKey::NumberFormat,
                                FormatKey::HorizontalAlignment, FormatKey::WrapText}) {
      EXPECT_EQ(copy.GetFormat(a, key), sheet->GetFormat(a, key)) << cell;
    }
  }
  EXPECT_EQ(Formats(copy).size(), visited.size());
}

TEST_F(Layout, WholeSheetFormatAndColumnsBackToDefault) {
  sheet->SetFormat(A("A1:XFD1048576"), FormatKey::FontColorIndex, 3);
  sheet->SetFormat(A("B:C"), FormatKey::FontColorIndex, xlColorIndexAutomatic);
  const auto visited = Formats(*sheet);
  ASSERT_EQ(visited.size(), 2U);
  EXPECT_EQ(visited[0].area, (Area{1, 1, 1048576, 16384}));
  EXPECT_EQ(visited[0].format.colorIndex, 3);
  EXPECT_EQ(visited[1].area, (Area{1, 2, 1048576, 3}));
  EXPECT_EQ(visited[1].format, CellFormat{});
}

TEST_F(Layout, SparseMembersVisitOnlyWhatIsHeld) {
  R("B2").SetValue(1);
  R("B3").SetValue(2);
  R("B9").SetValue(u"x");
  R("XFD1048576").SetValue(u"far");
  EXPECT_EQ(sheet->StoredColumns(), 16384);
  EXPECT_EQ(sheet->NextFilledRow(2, 0), 2);
  EXPECT_EQ(sheet->NextFilledRow(2, 3), 9);
  EXPECT_EQ(sheet->NextFilledRow(2, 9), std::nullopt);
  EXPECT_EQ(sheet->NextFilledRow(3, 0), std::nullopt);
  EXPECT_EQ(sheet->NextFilledRow(16384, 1), 1048576);

  sheet->SetRowsHidden(4, 6, true);
  sheet->SetRowsHidden(1048576, 1048576, true);
  EXPECT_EQ(sheet->HiddenRowBands(), (std::vector<std::pair<long, long>>{{4, 6}, {1048576, 1048576}}));

  sheet->AddHyperlink(R("C7"), u"https://example.com/", {}, u"site");
  sheet->AddHyperlink(R("A1"), {}, u"Sheet1!B2");
  const auto links = sheet->HyperlinkCells();
  ASSERT_EQ(links.size(), 2U);
  EXPECT_EQ(links[0].first, (CellPos{1, 1}));
  EXPECT_EQ(links[0].second.SubAddress, u"Sheet1!B2");
  EXPECT_EQ(links[1].first, (CellPos{7, 3}));
  EXPECT_EQ(links[1].second.TextToDisplay, u"site");
}

}  // namespace
}  // namespace quillary::xl::memory
