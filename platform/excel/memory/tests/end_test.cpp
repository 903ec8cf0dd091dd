#include "platform/excel/memory/tests/fixture.h"

namespace quillary::xl::memory {
namespace {

// Column B holds: 2 3 4 . 6 . . 9 (the dots empty), row 6 an empty text; row 5 of
// columns A..F: A5 C5 D5 . F5.
class End : public SheetTest {
 protected:
  End() {
    for (const char* a : {"B2", "B3", "B4", "B8", "B9"}) R(a).SetValue(u"x");
    R("B6").SetValue(u"'");
    for (const char* a : {"A5", "C5", "D5", "F5"}) R(a).SetValue(1);
  }
};

TEST_F(End, MovesAsCtrlArrowDoes) {
  const long rows = 1048576, cols = 16384;
  struct Case {
    const char* from;
    long direction;
    long row, col;
  } cases[] = {
      // Inside a run: to its end.
      {"B2", xlDown, 4, 2},
      {"B3", xlDown, 4, 2},
      {"B4", xlUp, 2, 2},
      // At the end of a run, or on a lone cell: to the next non-empty cell.
      {"B4", xlDown, 6, 2},
      {"B6", xlDown, 8, 2},
      {"B6", xlUp, 4, 2},
      // From an empty cell: to the next non-empty one.
      {"B1", xlDown, 2, 2},
      {"B7", xlDown, 8, 2},
      {"B7", xlUp, 6, 2},
      // Nothing further: the sheet's edge.
      {"B9", xlDown, rows, 2},
      {"B8", xlDown, 9, 2},
      {"B2", xlUp, 1, 2},
      {"B1", xlUp, 1, 2},
      {"E1", xlDown, rows, 5},
      {"E1048576", xlUp, 1, 5},
      {"B1048576", xlUp, 9, 2},
      // Along a row.
      {"A5", xlToRight, 5, 3},
      {"C5", xlToRight, 5, 4},
      {"D5", xlToRight, 5, 6},
      {"F5", xlToRight, 5, cols},
      {"F5", xlToLeft, 5, 4},
      {"D5", xlToLeft, 5, 3},
      {"C5", xlToLeft, 5, 1},
      {"B5", xlToLeft, 5, 1},
      {"A5", xlToLeft, 5, 1},
      {"E5", xlToLeft, 5, 4},
      {"G5", xlToLeft, 5, 6},
  };
  for (const auto& c : cases) {
    xl::Range end = R(c.from).End(c.direction);
    EXPECT_EQ(end.Row(), c.row) << c.from << " " << c.direction;
    EXPECT_EQ(end.Column(), c.col) << c.from << " " << c.direction;
  }
}

TEST_F(End, FollowsWritesAndClears) {
  // The count rule of the lists: End from offset 1 of an anchor.
  R("B5").SetValue(u"y");  // joins 2..4 with 6
  EXPECT_EQ(R("B2").End(xlDown).Row(), 6);
  R("B7").SetValue(u"z");  // and with 8..9
  EXPECT_EQ(R("B2").End(xlDown).Row(), 9);
  EXPECT_EQ(R("B9").End(xlUp).Row(), 2);
  R("B4:B6").ClearContents();
  EXPECT_EQ(R("B2").End(xlDown).Row(), 3);
  EXPECT_EQ(R("B3").End(xlDown).Row(), 7);
  R("B7").SetValue(u"");
  EXPECT_EQ(R("B3").End(xlDown).Row(), 8);
}

class SmallGridEnd : public SheetTest {
 protected:
  SmallGridEnd() : SheetTest(GridSize::Small) {}
};

TEST_F(SmallGridEnd, StopsAtTheSmallGridsEdges) {
  EXPECT_EQ(R("A1").End(xlDown).Row(), 65536);
  EXPECT_EQ(R("A1").End(xlToRight).Column(), 256);
  EXPECT_EQ(sheet->RowsCount(), 65536);
  EXPECT_EQ(sheet->ColumnsCount(), 256);
}

}  // namespace
}  // namespace quillary::xl::memory
