#include <functional>

#include "platform/excel/memory/tests/fixture.h"

namespace quillary::xl::memory {
namespace {

class Workbooks : public SheetTest {
 protected:
  std::vector<Text> SheetNames() {
    std::vector<Text> out;
    for (long i = 1; i <= book->Worksheets().Count(); ++i) out.push_back(book->Worksheets().Item(i).Name());
    return out;
  }
};

TEST(Application, StartsWithoutAWorkbook) {
  auto app = CreateApplication();
  EXPECT_EQ(app->ActiveWorkbook(), nullptr);
  EXPECT_EQ(app->ActiveSheet(), nullptr);
  EXPECT_EQ(app->ActiveWindow(), nullptr);
  EXPECT_FALSE(app->Selection());
  Workbook& b = app->Workbooks().Add();
  EXPECT_EQ(app->ActiveWorkbook(), &b);
  EXPECT_EQ(b.Name(), u"Book1");
  EXPECT_EQ(&app->Workbooks().Item(u"BOOK1"), &b);
  EXPECT_EQ(b.Worksheets().Item(1).Name(), u"Sheet1");
  EXPECT_EQ(app->ActiveSheet(), &b.Worksheets().Item(1));
  EXPECT_EQ(app->ActiveCell()->Address(), u"$A$1");
}

TEST_F(Workbooks, AddsSheetsWhereAskedWithDefaultNamesAndActivatesThem) {
  Worksheet& first = book->Worksheets().Item(1);
  Worksheet& added = book->Worksheets().Add({.Before = &first});
  EXPECT_EQ(SheetNames(), (std::vector<Text>{u"Sheet2", u"Sheet1"}));
  EXPECT_EQ(&book->ActiveSheet(), &added);
  Worksheet& last = book->Worksheets().Add({.After = &book->Worksheets().Item(2), .Count = 2});
  EXPECT_EQ(last.Name(), u"Sheet3");
  EXPECT_EQ(SheetNames(), (std::vector<Text>{u"Sheet2", u"Sheet1", u"Sheet3", u"Sheet4"}));
  EXPECT_EQ(app->ActiveSheet(), &last);
  // Without Before or After: before the active sheet.
  book->Worksheets().Add();
  EXPECT_EQ(SheetNames()[2], u"Sheet5");
  EXPECT_EQ(&book->Sheets().Item(u"sheet5"), &book->Worksheets().Item(3));
  EXPECT_EQ(ErrorOf([&] { book->Worksheets().Item(u"Nope"); }), 9);
  EXPECT_EQ(ErrorOf([&] { book->Worksheets().Item(9); }), 9);

  book->Protect(true, false);
  EXPECT_EQ(ErrorOf([&] { book->Worksheets().Add(); }), 1004);
  EXPECT_EQ(book->Worksheets().Count(), 5);
}

TEST_F(Workbooks, SheetNamesFollowTheApplicationsRules) {
  book->Worksheets().Add({.After = sheet});
  struct Case {
    const char* name;
    bool ok;
  } cases[] = {
      {"Quillary3016000000", true},
      {"1234567890123456789012345678901", true},
      {"12345678901234567890123456789012", false},
      {"", false},
      {"a:b", false},
      {"a\\b", false},
      {"a/b", false},
      {"a?b", false},
      {"a*b", false},
      {"a[b", false},
      {"a]b", false},
      {"'ab", false},
      {"ab'", false},
      {"a'b", true},
      {"SHEET2", false},  // taken without regard to case
      {"sheet1", true},   // its own name in other case
  };
  for (const auto& c : cases) {
    const Text before = sheet->Name();
    const long error = ErrorOf([&] { sheet->SetName(T(c.name)); });
    EXPECT_EQ(error, c.ok ? 0 : 1004) << c.name;
    EXPECT_EQ(sheet->Name(), c.ok ? T(c.name) : before) << c.name;
  }
}

TEST_F(Workbooks, VisibilityAndDeletionKeepOneVisibleSheet) {
  Worksheet& other = book->Worksheets().Add({.After = sheet});
  EXPECT_EQ(&book->ActiveSheet(), &other);
  other.SetVisible(xlSheetVeryHidden);
  EXPECT_EQ(other.Visible(), xlSheetVeryHidden);
  EXPECT_EQ(&book->ActiveSheet(), sheet);
  EXPECT_EQ(ErrorOf([&] { sheet->SetVisible(xlSheetHidden); }), 1004);
  EXPECT_EQ(ErrorOf([&] { sheet->Delete(); }), 1004);
  other.SetVisible(xlSheetVisible);
  sheet->Delete();
  EXPECT_EQ(book->Worksheets().Count(), 1);
  EXPECT_EQ(&book->ActiveSheet(), &other);
  EXPECT_EQ(ErrorOf([&] { sheet->Cells(1, 1); }), 424);
}

TEST_F(Workbooks, NamesResolveOnTheirSheetSheetLevelFirst) {
  // The working-sheet set-up: sheet-level names from R1C1 references.
  Worksheet& work = book->Worksheets().Add({.Before = sheet});
  work.SetName(u"Quillary3016000000");
  work.Names().AddR1C1(u"unique1", u"=R1C1");
  work.Names().AddR1C1(u"ExcelPaste", u"=R1C10");
  work.Names().AddR1C1(u"unique1_w", u"=R1C11");
  EXPECT_EQ(work.Range(u"unique1_w").Address(), u"$K$1");
  EXPECT_EQ(work.Range(u"EXCELPASTE").Address(), u"$J$1");
  EXPECT_EQ(work.Names().Item(u"unique1").RefersTo(), u"=Quillary3016000000!$A$1");
  EXPECT_EQ(work.Names().Item(u"unique1").RefersToR1C1(), u"=Quillary3016000000!R1C1");
  EXPECT_EQ(ErrorOf([&] { sheet->Range(u"unique1"); }), 1004);

  // Workbook-level names; a union of two.
  book->Names().Add(u"quillary_91827364a", sheet->Range(u"B2:C3"), false);
  book->Names().Add(u"quillary_91827364b", sheet->Range(u"E5"), false);
  xl::Range both = sheet->Range(u"quillary_91827364a, quillary_91827364b");
  EXPECT_EQ(both.AreasCount(), 2);
  EXPECT_EQ(both.Address(), u"$B$2:$C$3,$E$5");
  EXPECT_FALSE(book->Names().Item(u"quillary_91827364a").Visible());
  // A sheet-level name hides a workbook-level one of the same name.
  book->Names().Add(u"unique1", sheet->Range(u"Z9"));
  EXPECT_EQ(work.Range(u"unique1").Address(), u"$A$1");
  EXPECT_EQ(sheet->Range(u"unique1").Address(), u"$Z$9");
  book->Names().Item(u"quillary_91827364a").Delete();
  EXPECT_EQ(ErrorOf([&] { sheet->Range(u"quillary_91827364a"); }), 1004);
  EXPECT_EQ(ErrorOf([&] { book->Names().Item(u"quillary_91827364a"); }), 1004);

  for (const char* bad : {"A1", "R1C1", "r", "1abc", "a b", ""}) {
    EXPECT_EQ(ErrorOf([&] { book->Names().Add(T(bad), sheet->Range(u"A1")); }), 1004) << bad;
  }
}

TEST_F(Workbooks, RangeAddressesAndUsedRange) {
  EXPECT_EQ(sheet->UsedRange().Address(), u"$A$1");
  EXPECT_EQ(sheet->UsedRange().RowsCount(), 1);
  R("C5").SetValue(1);
  R("B9").SetValue(u"'");
  EXPECT_EQ(sheet->UsedRange().Address(), u"$B$5:$C$9");
  R("E2").Interior().SetColor(0xFF);
  EXPECT_EQ(sheet->UsedRange().Address(), u"$B$2:$E$9");

  xl::Range block = sheet->Range(R("C3"), R("A1"));
  EXPECT_EQ(block.Address(), u"$A$1:$C$3");
  EXPECT_EQ(sheet->Range(u"B2", u"$D$7").Address(), u"$B$2:$D$7");
  EXPECT_EQ(block.Count(), 9);
  EXPECT_EQ(sheet->Range(u"A:C").EntireColumn().Address(), u"$A:$C");
  EXPECT_EQ(sheet->Range(u"3:5").EntireRow().Address(), u"$3:$5");
  EXPECT_EQ(R("B2:C3").EntireColumn().Address(), u"$B:$C");
  EXPECT_EQ(R("B2:C3").EntireRow().Address(), u"$2:$3");
  EXPECT_EQ(sheet->Range(u"A1:XFD1048576").Count(), std::int64_t{1048576} * 16384);
  xl::Range multi = sheet->Range(u"D4:E5,A1");
  EXPECT_EQ(multi.Row(), 4);
  EXPECT_EQ(multi.RowsCount(), 2);
  EXPECT_EQ(multi.Count(), 5);
  EXPECT_EQ(multi.Areas(2).Address(), u"$A$1");
  EXPECT_EQ(multi.Offset(1, 1).Address(), u"$E$5:$F$6,$B$2");
  EXPECT_EQ(multi.Columns(2).Address(), u"$E$4:$E$5");
  EXPECT_EQ(ErrorOf([&] { sheet->Range(u"Sheet9!A1"); }), 1004);
  EXPECT_EQ(sheet->Range(u"sheet1!A1").Address(), u"$A$1");
}

TEST_F(Workbooks, ProtectionBlocksLockedCells) {
  R("B2").SetLocked(false);
  EXPECT_EQ(R("B2").Locked(), Variant(false));
  EXPECT_EQ(R("A1:B2").Locked(), Variant::Null());
  EXPECT_EQ(R("A1").Locked(), Variant(true));
  sheet->Protect({.AllowFormattingCells = false});
  EXPECT_TRUE(sheet->ProtectContents());
  EXPECT_EQ(ErrorOf([&] { R("A1").SetValue(1); }), 1004);
  EXPECT_EQ(ErrorOf([&] { R("A1:B2").ClearContents(); }), 1004);
  EXPECT_EQ(ErrorOf([&] { R("B2").SetValue(1); }), 0);
  EXPECT_EQ(ErrorOf([&] { R("B2").Font().SetBold(true); }), 1004);
  EXPECT_EQ(ErrorOf([&] { R("A1").AddComment(u"x"); }), 1004);
  sheet->Protect({.AllowFormattingCells = true});
  EXPECT_TRUE(sheet->Protection().AllowFormattingCells);
  EXPECT_EQ(ErrorOf([&] { R("A1").Font().SetBold(true); }), 0);
  sheet->Unprotect();
  EXPECT_EQ(ErrorOf([&] { R("A1").SetValue(1); }), 0);
}

// On a protected sheet every way of writing refuses a locked cell as the application
// does, with Error 1004 before any cell changes, also when the cells it meets first are
// unlocked: A1:A3 are unlocked and hold "a,b", 1 and a comment; the rest is locked.
TEST_F(Workbooks, ProtectedSheetRefusesEveryWriteIntoALockedCellBeforeChangingAny) {
  const struct {
    const char* what;
    std::function<void(MemoryWorksheet&)> write;
  } cases[] = {
      {"Value", [](MemoryWorksheet& s) { s.Range(u"A1:B1").SetValue(u"x"); }},
      {"area write",
       [](MemoryWorksheet& s) {
         s.Range(u"A1:B1").SetValues(std::vector<Variant>{1, 2});
       }},
      {"TextToColumns", [](MemoryWorksheet& s) { s.Range(u"A1:A2").TextToColumns({.Comma = true}); }},
      {"Paste", [](MemoryWorksheet& s) { s.Paste(s.Range(u"A1")); }},
      {"DataSeries",
       [](MemoryWorksheet& s) {
         s.Range(u"A2").DataSeries({.Rowcol = xlColumns, .Type = xlLinear, .Step = 1, .Stop = 5});
       }},
      {"AutoFill", [](MemoryWorksheet& s) { s.Range(u"A2").AutoFill(s.Range(u"A2:A5")); }},
      {"Insert", [](MemoryWorksheet& s) { s.Range(u"B1").EntireColumn().Insert(); }},
      {"ClearContents", [](MemoryWorksheet& s) { s.Range(u"A1:B1").ClearContents(); }},
      {"ClearComments", [](MemoryWorksheet& s) { s.Range(u"A1:B3").ClearComments(); }},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto fresh = NewApplication();
    fresh->SetClipboardReader([] { return Text(u"p,q\r\nr,s"); });
    MemoryWorksheet& s = fresh->AddWorkbook(GridSize::Large).ActiveMemorySheet();
    s.Range(u"A1:A3").SetLocked(false);
    s.Range(u"A1").SetValue(u"a,b");
    s.Range(u"A2").SetValue(1);
    s.Range(u"A3").AddComment(u"unlocked");
    s.Range(u"B3").AddComment(u"locked");
    // Paste splits at the delimiters TextToColumns last used.
    s.Range(u"Z1").SetValue(u"x");
    s.Range(u"Z1").TextToColumns({.Comma = true});
    s.Range(u"Z1").ClearContents();
    s.Protect();
    std::vector<Variant> before, after;
    s.ReadValues({1, 1, 6, 4}, before);
    EXPECT_EQ(ErrorOf([&] { c.write(s); }), 1004);
    s.ReadValues({1, 1, 6, 4}, after);
    EXPECT_EQ(after, before);
    EXPECT_TRUE(s.Range(u"A3").Comment().has_value());
    EXPECT_TRUE(s.Range(u"B3").Comment().has_value());
  }
}

TEST_F(Workbooks, SelectionGrowsOverMergedAreas) {
  R("B2:C3").Merge();
  R("C4:D5").Merge();
  EXPECT_EQ(R("C3").MergeArea().Address(), u"$B$2:$C$3");
  EXPECT_EQ(R("C3").MergeArea().Count(), 4);
  EXPECT_EQ(R("A1").MergeArea().Address(), u"$A$1");
  // A merge over part of another takes it in.
  R("E1:E2").Merge();
  R("E2:F2").Merge();
  EXPECT_EQ(sheet->MergedAreas(), (std::vector<Area>{{2, 2, 3, 3}, {4, 3, 5, 4}, {1, 5, 2, 6}}));
  // Merged cells are formatted cells: the used range holds them, values or not.
  EXPECT_EQ(sheet->UsedRange().Address(), u"$B$1:$F$5");
  R("E1").UnMerge();
  EXPECT_EQ(sheet->MergedAreas().size(), 2u);
  // Touching B2:C3 takes it in whole, and then C4:D5, which the grown area touches.
  R("A3:C4").Select();
  EXPECT_EQ(app->Selection()->Address(), u"$A$2:$D$5");
  EXPECT_EQ(app->ActiveCell()->Address(), u"$A$2");
  // Activate inside the selection moves only the active cell.
  R("D5").Activate();
  EXPECT_EQ(app->Selection()->Address(), u"$A$2:$D$5");
  EXPECT_EQ(app->ActiveCell()->Address(), u"$D$5");
  // Outside, the cell becomes the selection.
  R("F9").Activate();
  EXPECT_EQ(app->Selection()->Address(), u"$F$9");
  // So does a block outside the selection, or only partly inside it, whole (and grown
  // over the merged areas it touches); one inside it only moves the active cell.
  const struct {
    const char* selection;
    const char* activated;
    const char16_t* selected;
    const char16_t* active;
  } blocks[] = {
      {"A1", "A5:A6", u"$A$5:$A$6", u"$A$5"},
      {"A1:A5", "A5:A6", u"$A$5:$A$6", u"$A$5"},
      {"A1", "B3:B4", u"$B$2:$D$5", u"$B$2"},
      {"A1:E9", "A5:A6", u"$A$1:$E$9", u"$A$5"},
  };
  for (const auto& c : blocks) {
    R(c.selection).Select();
    R(c.activated).Activate();
    EXPECT_EQ(app->Selection()->Address(), c.selected) << c.activated;
    EXPECT_EQ(app->ActiveCell()->Address(), c.active) << c.activated;
  }
  sheet->Range(u"A1,F1:G2").Select();
  EXPECT_EQ(app->ActiveWindow()->RangeSelection().AreasCount(), 2);

  // Clearing part of a merged area is refused with a message about merged cells.
  std::string description;
  EXPECT_EQ(ErrorOf([&] { R("B2:B9").ClearContents(); }, &description), 1004);
  EXPECT_NE(description.find("merged"), std::string::npos) << description;
  EXPECT_EQ(ErrorOf([&] { R("A1:D5").ClearContents(); }), 0);
}

TEST_F(Workbooks, HidesRowsAndColumns) {
  R("B3").EntireRow().SetHidden(true);
  EXPECT_EQ(R("Z3").EntireRow().Hidden(), Variant(true));
  EXPECT_EQ(R("A2:A3").EntireRow().Hidden(), Variant::Null());
  R("C1").EntireColumn().SetHidden(true);
  EXPECT_EQ(sheet->Columns(3).Hidden(), Variant(true));
  EXPECT_EQ(sheet->Columns(4).Hidden(), Variant(false));
  EXPECT_EQ(ErrorOf([&] { R("A1").Hidden(); }), 1004);
}

TEST_F(Workbooks, InjectedFailuresReachTheCaller) {
  app->InjectFailure("Range.Sort", 1004, "Sort failed", 1);
  xl::Range key = R("A1");
  EXPECT_EQ(ErrorOf([&] { R("A1:A2").Sort({.Key1 = &key}); }), 0);
  EXPECT_EQ(ErrorOf([&] { R("A1:A2").Sort({.Key1 = &key}); }), 1004);
  EXPECT_EQ(ErrorOf([&] { R("A1:A2").Sort({.Key1 = &key}); }), 0);

  app->InjectFailure("Worksheets.Add", 1004, "no room", 0, -1);
  EXPECT_EQ(ErrorOf([&] { book->Worksheets().Add(); }), 1004);
  EXPECT_EQ(ErrorOf([&] { book->Worksheets().Add(); }), 1004);
  EXPECT_EQ(book->Worksheets().Count(), 1);
  app->ClearFailures();
  EXPECT_EQ(ErrorOf([&] { book->Worksheets().Add(); }), 0);

  struct Case {
    const char* member;
    std::function<void()> call;
  } cases[] = {
      {"Worksheet.Name", [&] { sheet->SetName(u"x"); }},
      {"Range.Find", [&] { R("A1:A9").Find({.What = u"x"}); }},
      {"Range.FindNext", [&] { R("A1:A9").FindNext(); }},
      {"Range.Value", [&] { R("A1").SetValue(1); }},
      {"Range.ClearContents", [&] { R("A1").ClearContents(); }},
      {"Range.Select", [&] { R("A1").Select(); }},
      {"Names.Add", [&] { book->Names().Add(u"n", R("A1")); }},
      {"Application.Run", [&] { app->Run(u"x!y", {}); }},
  };
  for (const auto& c : cases) {
    app->InjectFailure(c.member, 7, "injected");
    std::string description;
    EXPECT_EQ(ErrorOf(c.call, &description), 7) << c.member;
    EXPECT_EQ(description, "injected") << c.member;
  }
}

TEST(ApplicationMembers, RunStatusBarIntersectAndUnion) {
  std::vector<Text> calls;
  auto app = CreateApplication(
      {.thisWorkbookName = u"Host.xlam", .runner = [&](TextView macro, std::span<Variant> args) -> Variant {
         calls.emplace_back(macro);
         if (!args.empty()) args[0] = Variant(42);
         return u"done";
       }});
  Variant args[] = {1};
  EXPECT_EQ(app->Run(app->ThisWorkbookName() + u"!ExcelMsgBox", args), Variant(u"done"));
  EXPECT_EQ(calls, (std::vector<Text>{u"Host.xlam!ExcelMsgBox"}));
  EXPECT_EQ(args[0], Variant(42));
  app->SetMacroRunner(nullptr);
  EXPECT_EQ(ErrorOf([&] { app->Run(u"Host.xlam!Missing", {}); }), 1004);

  EXPECT_EQ(app->StatusBar(), Variant(false));
  app->SetStatusBar(u" Progress");
  EXPECT_EQ(app->StatusBar(), Variant(u" Progress"));
  app->SetStatusBar(false);
  EXPECT_EQ(app->StatusBar(), Variant(false));
  EXPECT_EQ(app->Version(), u"16.0");
  app->SetVersion(u"11.0");
  EXPECT_EQ(app->Version(), u"11.0");
  EXPECT_EQ(app->InchesToPoints(0.5), 36);

  Worksheet& s = app->Workbooks().Add().ActiveSheet();
  auto cut = app->Intersect(s.Range(u"A1:C3,E1:F9"), s.Range(u"B2:E4"));
  ASSERT_TRUE(cut);
  EXPECT_EQ(cut->Address(), u"$B$2:$C$3,$E$2:$E$4");
  EXPECT_FALSE(app->Intersect(s.Range(u"A1"), s.Range(u"B1:B9")));
  EXPECT_EQ(app->Union(s.Range(u"A1"), s.Range(u"C3:D4")).Address(), u"$A$1,$C$3:$D$4");
  Worksheet& other = s.Parent().Worksheets().Add();
  EXPECT_FALSE(app->Intersect(s.Range(u"A1"), other.Range(u"A1")));
  app->GoTo(s.Range(u"D4"));
  EXPECT_EQ(app->ActiveSheet(), &s);
  EXPECT_EQ(app->Selection()->Address(), u"$D$4");
}

TEST(ApplicationMembers, ProperCapitalisesEachWord) {
  auto app = CreateApplication();
  struct Case {
    const char* in;
    const char* out;
  } cases[] = {
      {"mc donald-smith o'neil", "Mc Donald-Smith O'Neil"},
      {"HELLO wORLD", "Hello World"},
      {"2nd r1-r5", "2Nd R1-R5"},
      {"\xc3\x89"
       "COLE \xc3\xa9t\xc3\xa9",
       "\xc3\x89"
       "cole \xc3\x89t\xc3\xa9"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(ToUtf8(app->WorksheetFunction().Proper(T(c.in))), c.out) << c.in;
}

TEST(ApplicationMembers, WindowsCaptionsAndArrangement) {
  auto app = CreateApplication();
  Workbook& b = app->Workbooks().Add();
  Window& first = *app->ActiveWindow();
  EXPECT_EQ(first.Caption(), u"Book1");
  Window& second = first.NewWindow();
  EXPECT_EQ(app->ActiveWindow(), &second);
  EXPECT_EQ(first.Caption(), u"Book1:1");
  EXPECT_EQ(second.Caption(), u"Book1:2");
  EXPECT_EQ(second.Index(), 1);
  EXPECT_EQ(first.Index(), 2);
  EXPECT_EQ(&b.Windows().Item(u"book1:1"), &first);
  EXPECT_EQ(&first.Parent(), &b);
  app->Windows().CompareSideBySideWith(u"Book1:1");
  app->Windows().SetSyncScrollingSideBySide(true);
  app->Windows().Arrange(xlArrangeStyleVertical, true);
  auto& mem = dynamic_cast<MemoryApplication&>(*app);
  EXPECT_EQ(mem.SideBySideWith(), u"Book1:1");
  EXPECT_EQ(mem.ArrangeStyle(), xlArrangeStyleVertical);
  b.Windows().BreakSideBySide();
  EXPECT_EQ(mem.SideBySideWith(), u"");
  EXPECT_FALSE(app->Windows().SyncScrollingSideBySide());
  second.Close();
  EXPECT_EQ(first.Caption(), u"Book1");
  first.Close();
  EXPECT_EQ(app->ActiveWorkbook(), nullptr);
  EXPECT_EQ(app->Workbooks().Count(), 0);
}

}  // namespace
}  // namespace quillary::xl::memory
