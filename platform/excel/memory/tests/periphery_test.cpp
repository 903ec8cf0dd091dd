#include "platform/excel/memory/tests/fixture.h"

namespace quillary::xl::memory {
namespace {

class Formats : public SheetTest {};

TEST_F(Formats, StoredPerCellAndNullWhenMixed) {
  R("A1").Font().SetBold(true);
  EXPECT_EQ(R("A1").Font().Bold(), Variant(true));
  EXPECT_EQ(R("A1:A2").Font().Bold(), Variant::Null());
  EXPECT_EQ(sheet->Range(u"A1,C1").Font().Bold(), Variant::Null());
  R("A:A").Font().SetBold(true);
  EXPECT_EQ(R("A1:A1048576").Font().Bold(), Variant(true));
  EXPECT_EQ(R("A1").NumberFormat(), Variant(u"General"));
  R("A1:XFD1048576").SetNumberFormat(u"@");
  EXPECT_EQ(R("Q77").NumberFormat(), Variant(u"@"));
  R("Q77").SetValue(u"0012");
  EXPECT_EQ(R("Q77").Value(), Variant(u"0012"));
  // Whole-column and whole-sheet formats do not stretch the used range to the grid.
  EXPECT_EQ(sheet->UsedRange().Address(), u"$A$1:$Q$77");

  R("B2").Interior().SetColor(0xC0FFC0);
  EXPECT_EQ(R("B2").Interior().Color(), Variant(0xC0FFC0));
  R("B2").Interior().SetPattern(xlNone);
  EXPECT_EQ(R("B2").Interior().Pattern(), Variant(xlNone));
  R("C3").SetHorizontalAlignment(xlLeft);
  R("C3").SetVerticalAlignment(xlTop);
  R("C3").SetWrapText(true);
  R("C3").Font().SetUnderline(xlUnderlineStyleNone);
  R("C3").Font().SetColorIndex(0);
  EXPECT_EQ(R("C3").HorizontalAlignment(), Variant(xlLeft));
  EXPECT_EQ(R("C3").VerticalAlignment(), Variant(xlTop));
  EXPECT_EQ(R("C3").WrapText(), Variant(true));
  EXPECT_EQ(R("C3").Font().ColorIndex(), Variant(0));
  R("C3").ClearFormats();
  EXPECT_EQ(R("C3").WrapText(), Variant(false));
}

TEST_F(Formats, BordersByEdgeAndTheAllEdgesSetLeavesDiagonals) {
  R("B2:C3").Borders(xlDiagonalDown).SetLineStyle(xlContinuous);
  R("B2:C3").Borders().SetLineStyle(xlContinuous);
  EXPECT_EQ(R("B2:C3").Borders(xlDiagonalDown).LineStyle(), Variant(xlContinuous));
  EXPECT_EQ(R("B2:C3").Borders(xlInsideHorizontal).LineStyle(), Variant(xlContinuous));
  R("B2:C3").Borders(xlDiagonalDown).SetLineStyle(xlNone);
  EXPECT_EQ(R("B2:C3").Borders(xlDiagonalDown).LineStyle(), Variant(xlNone));
  EXPECT_EQ(R("B2:C3").Borders().LineStyle(), Variant(xlContinuous));
  R("E5:F6").Borders(xlEdgeBottom).SetWeight(xlThick);
  EXPECT_EQ(R("E6:F6").Borders(xlEdgeBottom).Weight(), Variant(xlThick));
  EXPECT_EQ(R("E6:F6").Borders(xlEdgeBottom).LineStyle(), Variant(xlContinuous));
  EXPECT_EQ(R("E5:F5").Borders(xlEdgeBottom).LineStyle(), Variant(xlLineStyleNone));
}

TEST_F(Formats, WidthsAutoFitByTheLongestLine) {
  EXPECT_EQ(R("B1").ColumnWidth(), Variant(8.43));
  Fill("B1", {u"abc", u"'1234567890", u"x\nlonger line\ny"});
  R("B:B").AutoFitColumns();
  EXPECT_EQ(R("B1").ColumnWidth(), Variant(11.71));
  R("A1:B1").SetColumnWidth(60);
  EXPECT_EQ(R("A1:B1").ColumnWidth(), Variant(60.0));
  EXPECT_EQ(R("A1:C1").ColumnWidth(), Variant::Null());
  R("B1:B3").AutoFitRows();
  EXPECT_EQ(R("B3").RowHeight(), Variant(45.0));
  EXPECT_EQ(R("B1").RowHeight(), Variant(15.0));
  EXPECT_EQ(R("A4").Top(), 15.0 * 2 + 45.0);
  // Columns of a range walk its first area.
  xl::Range block = sheet->Range(u"B2:D3,F1");
  std::vector<Text> cols;
  for (long i = 1; i <= block.ColumnsCount(); ++i) cols.push_back(block.Columns(i).Address());
  EXPECT_EQ(cols, (std::vector<Text>{u"$B$2:$B$3", u"$C$2:$C$3", u"$D$2:$D$3"}));
}

// Texts are kept in one byte a character where they can be: the fit reads either kind
// as it is kept, and a number by the text it shows.
TEST_F(Formats, AutoFitMeasuresEveryKindOfStoredText) {
  struct Case {
    std::vector<Variant> cells;
    double width;
    double firstRowHeight;
  };
  const std::vector<Case> cases = {
      {{u"ab\u00e9\u00ffcd", u"abc"}, 6.71, 15.0},
      {{u"\u00e9\n\u00ff\u00ff\u00ff\n"}, 3.71, 45.0},
      {{u"\u4e2d\u6587\n\u4e2d", u"a"}, 2.71, 30.0},
      {{u"\u4e2d", u"'12345678"}, 8.71, 15.0},
      {{Variant(1234567.0), Variant(u"ab\ncd")}, 7.71, 15.0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.width));
    R("D:D").ClearContents();
    for (std::size_t i = 0; i < c.cells.size(); ++i) R("D1").Offset(static_cast<long>(i), 0).SetValue(c.cells[i]);
    R("D:D").AutoFitColumns();
    R("D1:D9").AutoFitRows();
    EXPECT_EQ(R("D1").ColumnWidth(), Variant(c.width));
    EXPECT_EQ(R("D1").RowHeight(), Variant(c.firstRowHeight));
  }
}

TEST_F(Formats, CommentsAndHyperlinks) {
  auto c = R("B3").AddComment(u"first");
  EXPECT_EQ(ErrorOf([&] { R("B3").AddComment(u"again"); }), 1004);
  c.SetText(u"line1\nline2");
  c.SetAutoSize(true);
  c.SetFillColor(0xFFFFCC);
  c.SetVisible(true);
  EXPECT_EQ(R("B3").Comment()->Text(), u"line1\nline2");
  EXPECT_TRUE(R("B3").Comment()->AutoSize());
  EXPECT_TRUE(R("B3").Comment()->Visible());
  EXPECT_EQ(R("B3").Comment()->FillColor(), 0xFFFFCC);
  EXPECT_EQ(R("B3").Comment()->Height(), 30);
  R("A9").AddComment(u"second");
  R("C1").AddComment(u"third");
  std::vector<Text> order;
  for (const auto& cell : sheet->Comments()) order.push_back(cell.Address());
  EXPECT_EQ(order, (std::vector<Text>{u"$C$1", u"$B$3", u"$A$9"}));
  R("B3").Comment()->Delete();
  EXPECT_FALSE(R("B3").Comment());
  R("A1:C9").ClearComments();
  EXPECT_TRUE(sheet->Comments().empty());

  sheet->AddHyperlink(R("D4"), u"http://example.invalid/");
  sheet->AddHyperlink(R("D5"), u"", u"Sheet1!A1");
  EXPECT_EQ(R("D4").HyperlinksCount(), 1);
  EXPECT_EQ(R("D4").Hyperlinks(1).Address, u"http://example.invalid/");
  EXPECT_EQ(R("D5").Hyperlinks(1).Address, u"");
  EXPECT_EQ(R("D4:D5").HyperlinksCount(), 2);
  EXPECT_EQ(ErrorOf([&] { R("D6").Hyperlinks(1); }), 9);
}

TEST_F(Formats, ACellHoldsOneHyperlinkAndLockedCellsRefuseOne) {
  sheet->AddHyperlink(R("B2"), u"http://one.invalid/");
  sheet->AddHyperlink(R("B2"), u"http://two.invalid/");
  EXPECT_EQ(R("B2").HyperlinksCount(), 1);
  EXPECT_EQ(R("B2").Hyperlinks(1).Address, u"http://two.invalid/");
  // A linked cell that was empty shows the address; one with a value keeps it.
  EXPECT_EQ(R("B2").Value(), Variant(u"http://one.invalid/"));
  R("C2").SetValue(5);
  sheet->AddHyperlink(R("C2"), u"5");
  EXPECT_EQ(R("C2").Value(), Variant(5.0));
  // Links found area by area, row by row, within the areas' columns only.
  sheet->AddHyperlink(R("A3"), u"a3");
  sheet->AddHyperlink(R("D3"), u"d3");
  sheet->AddHyperlink(R("C9"), u"c9");
  EXPECT_EQ(R("B2:C9").HyperlinksCount(), 3);
  EXPECT_EQ(R("B2:C9").Hyperlinks(3).Address, u"c9");
  EXPECT_EQ(sheet->Range(u"A1:A3,D3").HyperlinksCount(), 2);

  R("E1").SetLocked(false);
  sheet->Protect();
  EXPECT_EQ(ErrorOf([&] { sheet->AddHyperlink(R("E2"), u"x"); }), 1004);
  sheet->AddHyperlink(R("E1"), u"y");
  EXPECT_EQ(R("E1").Hyperlinks(1).Address, u"y");
}

TEST_F(Formats, ProperUpperCasesEveryLetterAfterANonLetter) {
  const struct {
    const char16_t* text;
    const char16_t* proper;
  } cases[] = {{u"mc donald-smith o'neil", u"Mc Donald-Smith O'Neil"},
               {u"ABC dEF", u"Abc Def"},
               {u"2nd place", u"2Nd Place"},
               {u"\u00E9lan VITAL", u"\u00C9lan Vital"},
               // Letters without the other case are letters: no word begins after them.
               {u"mei\u00DFner WEI\u00DF", u"Mei\u00DFner Wei\u00DF"},
               {u"\uFB01NE \uFB02OW", u"\uFB01ne \uFB02ow"},
               {u"\u05E9\u05DCx b", u"\u05E9\u05DCx B"},
               // A character of two code units is none: a word begins after it.
               {u"\U0001F600abc", u"\U0001F600Abc"},
               {u"", u""}};
  for (const auto& c : cases) EXPECT_EQ(app->WorksheetFunction().Proper(c.text), c.proper) << ToUtf8(c.text);
}

TEST_F(Formats, CellWidthsInPointsAndCommentBoxSizes) {
  EXPECT_EQ(R("A1").Width(), 48.0);  // 8.43 characters: 64 pixels
  R("B1").SetColumnWidth(10);
  EXPECT_EQ(R("B1").Width(), 56.25);  // 75 pixels
  EXPECT_EQ(R("A1:B1").Width(), 48.0 + 56.25);
  EXPECT_EQ(R("C1").Left(), R("A1:B1").Width());
  R("B1").EntireColumn().SetHidden(true);
  EXPECT_EQ(R("B1").Width(), 0.0);
  EXPECT_EQ(R("XFD1").Width(), 48.0);

  auto c = R("B3").AddComment(u"note");
  c.SetWidth(10);
  c.SetHeight(11.5);
  EXPECT_EQ(R("B3").Comment()->Width(), 10.0);
  EXPECT_EQ(R("B3").Comment()->Height(), 11.5);
  c.SetAutoSize(true);
  EXPECT_EQ(R("B3").Comment()->Width(), 6.0 * 4 + 6);
  EXPECT_EQ(R("B3").Comment()->Height(), 12.0 + 6);
}

class Fills : public SheetTest {};

TEST_F(Fills, AutoFillDataSeriesAndAutoFilter) {
  Fill("A1", {1, 2});
  R("A1:A2").AutoFill(R("A1:A6"));
  EXPECT_EQ(R("A1:A6").Values(), (std::vector<Variant>{1.0, 2.0, 3.0, 4.0, 5.0, 6.0}));

  R("C3").SetValue(1);
  R("C3").DataSeries({.Rowcol = xlColumns, .Type = xlLinear, .Step = 1, .Stop = 9});
  EXPECT_EQ(R("C11").Value(), Variant(9.0));
  EXPECT_TRUE(R("C12").Value().IsEmpty());
  EXPECT_EQ(app->WorksheetFunction().CountA(R("C:C")), 9);

  EXPECT_FALSE(sheet->AutoFilterArea());
  R("A1:C11").AutoFilter();
  EXPECT_EQ(sheet->AutoFilterArea(), (Area{1, 1, 11, 3}));
  R("A1:C11").AutoFilter();
  EXPECT_FALSE(sheet->AutoFilterArea());
}

TEST_F(Fills, InsertAndDeleteColumnsShiftCells) {
  Fill("A1", {u"a"});
  Fill("B1", {u"b"});
  R("B1").AddComment(u"on b");
  R("B1:C1").Merge();
  R("A1").EntireColumn().Insert();
  EXPECT_TRUE(R("A1").Value().IsEmpty());
  EXPECT_EQ(R("B1").Value(), Variant(u"a"));
  EXPECT_EQ(R("C1").Value(), Variant(u"b"));
  EXPECT_EQ(R("C1").Comment()->Text(), u"on b");
  EXPECT_EQ(R("C1").MergeArea().Address(), u"$C$1:$D$1");
  EXPECT_EQ(R("C1").End(xlToLeft).Column(), 2);
  sheet->Columns(2).Delete();
  EXPECT_EQ(R("B1").Value(), Variant(u"b"));
  EXPECT_EQ(R("B1").Comment()->Text(), u"on b");
  R("XFD1").SetValue(1);
  EXPECT_EQ(ErrorOf([&] { R("A1").EntireColumn().Insert(); }), 1004);
}

TEST_F(Fills, TextToColumnsSplitsAndIsRemembered) {
  R("J1").SetValue(u"'007;x;;1.5");
  R("J2").SetValue(u"a;\"b;c\"");
  R("J1:J2").TextToColumns(
      {.TextQualifier = xlTextQualifierNone, .Semicolon = true, .FieldInfo = {{1, xlTextFormat}, {2, xlTextFormat}}});
  EXPECT_EQ(R("J1:M1").Values(), (std::vector<Variant>{Variant(u"007"), Variant(u"x"), Variant(), 1.5}));
  EXPECT_EQ(R("J1").NumberFormat(), Variant(u"@"));
  EXPECT_EQ(R("J2:L2").Values(), (std::vector<Variant>{Variant(u"a"), Variant(u"\"b"), Variant(u"c\"")}));
  const auto& s = app->RememberedTextToColumns();
  EXPECT_TRUE(s.Semicolon);
  EXPECT_FALSE(s.Tab);
  EXPECT_EQ(s.TextQualifier, xlTextQualifierNone);
  EXPECT_EQ(ErrorOf([&] { R("Z1").TextToColumns({.Tab = true}); }), 1004);
  EXPECT_EQ(ErrorOf([&] { R("J1:K1").TextToColumns({.Tab = true}); }), 1004);
}

TEST_F(Fills, PasteSplitsClipboardLinesAndRememberedDelimiters) {
  EXPECT_EQ(ErrorOf([&] { sheet->Paste(R("J1")); }), 1004);
  app->SetClipboardReader([] { return Text(u"R1\t007\r\nx\"y\t\r\n\r\n12\r\n"); });
  R("K1:K9").SetNumberFormat(u"@");
  sheet->Paste(R("J1"));
  EXPECT_EQ(R("J1:K1").Values(), (std::vector<Variant>{Variant(u"R1"), Variant(u"007")}));
  EXPECT_EQ(R("J2:K2").Values(), (std::vector<Variant>{Variant(u"x\"y"), Variant()}));
  EXPECT_TRUE(R("J3").Value().IsEmpty());
  EXPECT_EQ(R("J4").Value(), Variant(12.0));
  EXPECT_EQ(app->Selection()->Address(), u"$J$1:$K$4");
  // With Tab splitting switched off every line lands in one cell.
  R("J1").TextToColumns({.TextQualifier = xlTextQualifierNone, .Tab = false});
  R("J1:K9").ClearContents();
  sheet->Paste(R("J1"));
  EXPECT_EQ(R("J1").Value(), Variant(u"R1\t007"));
  EXPECT_TRUE(R("K1").Value().IsEmpty());
}

// A field longer than a cell holds goes on in the cells below it, in pieces of 32,767
// characters; the next line starts below the longest field of its line. The pasted
// cells become the sheet's selection.
TEST_F(Fills, PasteSpreadsAnOverLongFieldDownItsColumn) {
  const Text longLine = Text(32767, u'a') + Text(32767, u'b') + u"c";
  R("J1").SetValue(u"x");
  R("J1").TextToColumns({.TextQualifier = xlTextQualifierNone, .Tab = false});
  R("J1").ClearContents();
  app->SetClipboardReader([&] { return longLine + u"\r\nnext"; });
  sheet->Paste(R("J1"));
  EXPECT_EQ(R("J1").Value(), Variant(Text(32767, u'a')));
  EXPECT_EQ(R("J2").Value(), Variant(Text(32767, u'b')));
  EXPECT_EQ(R("J3").Value(), Variant(u"c"));
  EXPECT_EQ(R("J4").Value(), Variant(u"next"));
  EXPECT_EQ(app->Selection()->Address(), u"$J$1:$J$4");

  R("J1:L9").ClearContents();
  R("J1").SetValue(u"x");
  R("J1").TextToColumns({.TextQualifier = xlTextQualifierNone, .Tab = true});
  app->SetClipboardReader([&] { return u"short\t" + Text(40000, u'z') + u"\r\nnext"; });
  sheet->Paste(R("J1"));
  EXPECT_EQ(R("J1:K1").Values(), (std::vector<Variant>{Variant(u"short"), Variant(Text(32767, u'z'))}));
  EXPECT_EQ(R("K2").Value(), Variant(Text(40000 - 32767, u'z')));
  EXPECT_TRUE(R("J2").Value().IsEmpty());
  EXPECT_EQ(R("J3").Value(), Variant(u"next"));

  // A character of two code units at the cut goes whole into the cell below.
  R("J1:L9").ClearContents();
  app->SetClipboardReader([&] { return Text(32766, u'a') + u"\U0001F600b"; });
  sheet->Paste(R("J1"));
  EXPECT_EQ(R("J1").Value(), Variant(Text(32766, u'a')));
  EXPECT_EQ(R("J2").Value(), Variant(u"\U0001F600b"));
}

}  // namespace
}  // namespace quillary::xl::memory
