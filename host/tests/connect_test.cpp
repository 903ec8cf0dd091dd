#include "host/connect.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host/callbacks.h"
#include "host/working_sheet.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "platform/runtime/tests/expect_error.h"
#include "testkit/bench.h"

namespace quillary::host {
namespace {

using testkit::Bench;

// A bench whose routine table records which routine ran, with the state it saw.
class ConnectTest : public ::testing::Test {
 protected:
  ConnectTest() {
    auto record = [this](const char* name) {
      return [this, name](State& s) {
        ran.push_back(name);
        modeSeen = s.request.vbaMode.Text();
        formsHeldDuringRun = s.request.forms.mainUser != nullptr;
        directoryDuringRun = s.services.directories.Current();
      };
    };
    routines.SwapActiveWindow = record("swapdsply");
    routines.GetSubtractSortCnt = record("GetSubtractSortCnt");
    routines.GetSortCntPasteTravel = record("GetSortCntPasteTravel");
    routines.Actions = record("Actions");
    routines.GoQueryUserForm = record("GoQueryUserForm");
    routines.SetUpPrinter = record("SetUpPrinter");
    routines.Parser = record("Parser");
    routines.WholeColRow = [this](State&) {
      ran.push_back("WholeColRow");
      return wholeColRowResult == 0 ? Proceed::kGoOn : Proceed::kStop;
    };
    b.services.directories.SetComponentFolder("/opt/quillary");
  }

  // One request through a connection made for it. Releasing the connection lets go of
  // the application, so the bench hands it over again for the next request.
  void Call(const char16_t* routine, const char16_t* mode = u"Null") {
    struct Rehand {
      Bench& b;
      ~Rehand() { b.state.connection.ExcelApp = b.app.get(); }
    } rehand{b};
    ExcelConnect connect(b.state, routines);
    Text m = mode, r = routine;
    connect.QuillaryDLL(b.forms.Forms(), m, r);
  }

  Bench b;
  Routines routines;
  std::vector<std::string> ran;
  Text modeSeen;
  bool formsHeldDuringRun = false;
  std::string directoryDuringRun;
  int wholeColRowResult = 0;
};

TEST_F(ConnectTest, DispatchesEachRoutineNameExactly) {
  const struct {
    const char16_t* routine;
    std::vector<std::string> expected;
  } cases[] = {
      {u"SwapDsply", {"swapdsply"}},
      {u"GetSubtractSortCnt", {"GetSubtractSortCnt"}},
      {u"GetSubtractSortCntPasteTravel", {"GetSortCntPasteTravel"}},
      {u"Paste_V", {"GetSortCntPasteTravel"}},
      {u"PasteRight", {"GetSortCntPasteTravel"}},
      {u"Actions", {"Actions"}},
      {u"GoQueryUserForm", {"GoQueryUserForm"}},
      {u"WholeColRow", {"WholeColRow"}},
      {u"SetUpPrinter", {"SetUpPrinter"}},
      {u"Parser", {"Parser"}},
      {u"swapdsply", {}},
      {u"GetSubtractSortCnt ", {}},
      {u"", {}},
  };
  for (const auto& c : cases) {
    ran.clear();
    Call(c.routine, u"Paste_V");
    EXPECT_EQ(ran, c.expected) << ToUtf8(c.routine);
  }
  EXPECT_EQ(modeSeen, u"Paste_V");
}

TEST_F(ConnectTest, EveryRequestResetsTheCallStateAndCleansUp) {
  b.state.request.DisplayText = u"old text";
  b.state.request.FaultItem = u"R1";
  b.state.request.FaultMsg = u"old fault";
  b.state.request.JoinCellsUsed = b.state.request.HiddenCellsSkipped = b.state.request.progress.UserAbort = true;
  b.state.request.PasteRowCount = 12;
  b.state.compare.CompareStep = CompareStage::kClearLeftTags;
  b.services.directories.Change("/home/user");

  Call(u"unknown routine", u"COMPARE 2/Uniques");

  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(b.state.request.vbaMode.Text(), u"COMPARE 2/Uniques");
  EXPECT_EQ(b.state.request.DisplayText, u"");
  EXPECT_EQ(b.state.request.FaultItem, u"");
  EXPECT_EQ(b.state.request.FaultMsg, u"");
  EXPECT_FALSE(b.state.request.JoinCellsUsed || b.state.request.HiddenCellsSkipped ||
               b.state.request.progress.UserAbort);
  EXPECT_EQ(b.state.request.PasteRowCount, 0);
  EXPECT_EQ(b.state.compare.CompareStep, CompareStage::kClearLeftTags) << "kept between requests";
  EXPECT_EQ(b.services.directories.Changes(), (std::vector<std::string>{"/home/user", "/opt/quillary", "/home/user"}));
  EXPECT_EQ(b.state.request.forms.mainUser, nullptr);
}

TEST_F(ConnectTest, RoutineRunsInTheComponentFolderWithTheFormsHeld) {
  b.services.directories.Change("/home/user");
  Call(u"Actions");
  EXPECT_EQ(directoryDuringRun, "/opt/quillary");
  EXPECT_TRUE(formsHeldDuringRun);
  EXPECT_EQ(b.services.directories.Current(), "/home/user");
}

TEST_F(ConnectTest, AnErrorReachesTheHostWithItsTrailAndTheRequestIsStillCleanedUp) {
  routines.Actions = [](State&) { ErrorTrail("Actions", [] { Raise(err::kApplication, "refused", "Quillary"); }); };
  b.services.directories.Change("/home/user");
  const Error e = check::ExpectRaises([&] { Call(u"Actions"); }, err::kApplication);
  EXPECT_EQ(e.Source(), "Actions: Quillary");
  EXPECT_EQ(e.Description(), "refused");
  EXPECT_EQ(b.services.directories.Current(), "/home/user");
  EXPECT_EQ(b.state.request.forms.mainUser, nullptr);
}

TEST_F(ConnectTest, ARoutineNotInThisBuildIsReportedAsSuch) {
  routines.Parser = nullptr;
  const Error e = check::ExpectRaises([&] { Call(u"Parser"); }, err::kNoSuchMember);
  EXPECT_NE(e.Description().find("\"Parser\" is not part of this build"), std::string::npos) << e.Description();
}

TEST_F(ConnectTest, WholeColRowAnswersThroughTheMailBox) {
  for (int result : {0, 1}) {
    wholeColRowResult = result;
    b.Control(ctl::mail::kResponse).SetCaption(u"stale");
    Call(u"WholeColRow");
    EXPECT_EQ(b.Control(ctl::mail::kResponse).Caption(), result == 0 ? u"0" : u"1");
  }
}

TEST_F(ConnectTest, ItemModeFollowsCheckBox1AtEachRequest) {
  auto& box = b.Control(ctl::main::kIgnoreIndex);
  box.SetValue(true);
  Call(u"none");
  EXPECT_TRUE(b.state.request.IgnoreIndexMode);
  EXPECT_EQ(b.state.request.CompareMode, kTextCompare);
  box.SetValue(false);
  Call(u"none");
  EXPECT_FALSE(b.state.request.IgnoreIndexMode);
  EXPECT_EQ(b.state.request.CompareMode, kBinaryCompare);

  // A check box in its third state cannot say which mode: the request fails at once,
  // and leaves nothing held.
  box.SetValue(Variant::Null());
  check::ExpectRaises([&] { Call(u"Actions"); }, err::kInvalidNull);
  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(b.state.request.forms.mainUser, nullptr);
}

TEST_F(ConnectTest, ActiveWindowByTheBackColourOfTextbox1) {
  const struct {
    long backColor;
    const char16_t* expected;
  } cases[] = {{0xFFFFFF, u"TextBox1"}, {0xFFFFF4, u"TextBox1"}, {0xFFFFF3, u"TextBox2"}, {0xE0E0E0, u"TextBox2"}};
  for (const auto& c : cases) {
    b.Control(ctl::main::kTextbox1).SetBackColor(c.backColor);
    Call(u"none");
    ASSERT_NE(b.state.request.ActiveWndw, nullptr);
    EXPECT_EQ(b.state.request.ActiveWndw->Name(), c.expected) << std::hex << c.backColor;
  }
}

TEST_F(ConnectTest, NoActiveWorkbookReturnsAtOnce) {
  auto empty = xl::memory::CreateApplication({.thisWorkbookName = u"Quillary.xlam", .runner = b.addin.Runner()});
  State s(b.services.services);
  s.connection.ExcelApp = empty.get();
  s.request.vbaMode.Set(u"before");
  s.request.progress.UserAbort = true;
  ExcelConnect connect(s, routines);
  Text mode = u"Actions", routine = u"Actions";
  connect.QuillaryDLL(b.forms.Forms(), mode, routine);
  ExcelQueryFormConnect query(s, routines);
  Text event = u"NextButtonClick";
  query.QuillaryQueryFormDLL(event);
  EXPECT_TRUE(ran.empty());
  EXPECT_EQ(s.request.vbaMode.Text(), u"before");
  EXPECT_TRUE(s.request.progress.UserAbort);
  EXPECT_TRUE(b.services.directories.Changes().empty());
}

TEST_F(ConnectTest, TheWorkingSheetIsVeryHiddenAgainAtEachRequest) {
  b.BeginRequest();
  InitPlace(b.state, kList1);
  xl::Worksheet& work = b.Sheet(kHiddenWorkSht);
  work.SetName(u"quillary3016000000");
  work.SetVisible(xl::xlSheetVisible);
  b.Sheet(u"Sheet1").Activate();

  Call(u"none");
  EXPECT_EQ(work.Visible(), xl::xlSheetVeryHidden);
  EXPECT_EQ(work.Name(), u"quillary3016000000");
  EXPECT_EQ(b.book->ActiveSheet().Name(), u"Sheet1");
}

TEST_F(ConnectTest, InitPlacePreparesTheWorkingSheetAndClearsList2) {
  Call(u"InitPlace");
  xl::Worksheet& work = b.Sheet(kHiddenWorkSht);
  EXPECT_EQ(work.Visible(), xl::xlSheetVeryHidden);
  work.Range(u"A1:F3").SetValue(u"'list 1");
  work.Range(u"K1:P3").SetValue(u"'list 2");
  Call(u"InitPlace");
  EXPECT_EQ(b.app->WorksheetFunction().CountA(work.Range(u"K1:P3")), 0);
  EXPECT_EQ(b.app->WorksheetFunction().CountA(work.Range(u"A1:F3")), 18);
}

TEST_F(ConnectTest, AWorkingSheetLeftActiveIsHiddenAndAnotherSheetTakesItsPlace) {
  b.BeginRequest();
  InitPlace(b.state, kList1);
  xl::Worksheet& work = b.Sheet(kHiddenWorkSht);
  work.SetVisible(xl::xlSheetVisible);
  work.Activate();

  Call(u"Actions");
  EXPECT_EQ(ran, std::vector<std::string>{"Actions"});
  EXPECT_EQ(work.Visible(), xl::xlSheetVeryHidden);
  EXPECT_EQ(b.book->ActiveSheet().Name(), u"Sheet1");
}

TEST_F(ConnectTest, ApplicationIsHeldAndReleasedByTheRightConnection) {
  auto other = xl::memory::CreateApplication({});
  State s(b.services.services);
  {
    ExcelQueryFormConnect query(s, routines);
    query.SetExcelApp(b.app.get());
    EXPECT_EQ(s.connection.ExcelApp, b.app.get());
    EXPECT_TRUE(s.connection.AppSetByQueryConnect);
    {
      ExcelConnect connect(s, routines);
      connect.SetExcelApp(other.get());
      EXPECT_EQ(s.connection.ExcelApp, other.get()) << "ExcelConnect replaces";
      query.SetExcelApp(b.app.get());
      EXPECT_EQ(s.connection.ExcelApp, other.get()) << "the Query connection never replaces";
    }
    EXPECT_EQ(s.connection.ExcelApp, nullptr) << "releasing ExcelConnect lets go, whoever supplied it";
    s.connection.ExcelApp = other.get();
    s.connection.AppSetByQueryConnect = false;
  }
  EXPECT_EQ(s.connection.ExcelApp, other.get()) << "the Query connection did not supply this one";
  {
    ExcelQueryFormConnect query(s, routines);
    s.connection.ExcelApp = nullptr;
    query.SetExcelApp(b.app.get());
  }
  EXPECT_EQ(s.connection.ExcelApp, nullptr);
  EXPECT_FALSE(s.connection.AppSetByQueryConnect);
}

TEST_F(ConnectTest, QueryEventsRunOnTheStateOfTheRequestUnderneath) {
  std::vector<std::string> events;
  auto record = [&events](const char* name) { return [&events, name](State&) { events.push_back(name); }; };
  routines.NextButton_Click = record("NextButton_Click");
  routines.NextButtonClick = record("NextButtonClick");
  routines.ReplaceButtonClick = record("ReplaceButtonClick");
  routines.NextButtonDupsMode = record("NextButtonDupsMode");
  routines.nextbuttondupsmode2 = record("nextbuttondupsmode2");
  routines.TextBox1Change = record("TextBox1Change");
  routines.TextBox2Change = record("TextBox2Change");
  routines.RemoveBookmark = record("RemoveBookmark");
  routines.diffdupsButtonClick = record("diffdupsButtonClick");
  routines.PlaceBookmark = [&events](State&, bool& place) { events.push_back(place ? "PlaceBookmark(True)" : "?"); };

  // The Query form is shown from inside a request; while it is open the host sends
  // every event name, then two that are not events.
  Text modeInside;
  bool abortInside = true;
  bool shownInside = true;
  routines.GoQueryUserForm = [&](State& s) {
    s.request.progress.UserAbort = true;
    s.request.progress.ProgressShown = true;
    b.addin.SetHook(u"MainUserFormHideOffsetShow", [&](std::span<Variant>) {
      ExcelQueryFormConnect query(s, routines);
      for (const char16_t* name :
           {u"NextButton_Click", u"NextButtonClick", u"ReplaceButtonClick", u"NextButtonDupsMode",
            u"nextbuttondupsmode2", u"TextBox1Change", u"TextBox2Change", u"RemoveBookmark", u"PlaceBookmark_True",
            u"diffdupsButtonClick", u"PlaceBookmark", u"nextbuttonclick"}) {
        Text event = name;
        query.QuillaryQueryFormDLL(event);
      }
      modeInside = s.request.vbaMode.Text();
      abortInside = s.request.progress.UserAbort;
      shownInside = s.request.progress.ProgressShown;
    });
    ShowQueryUserForm(s);
  };
  Call(u"GoQueryUserForm", u"Query Item");
  EXPECT_EQ(events,
            (std::vector<std::string>{"NextButton_Click", "NextButtonClick", "ReplaceButtonClick", "NextButtonDupsMode",
                                      "nextbuttondupsmode2", "TextBox1Change", "TextBox2Change", "RemoveBookmark",
                                      "PlaceBookmark(True)", "diffdupsButtonClick"}));
  EXPECT_EQ(modeInside, u"Query Item");
  EXPECT_FALSE(abortInside) << "each event restarts the break flag";
  EXPECT_FALSE(shownInside) << "and the progress display";
}

}  // namespace
}  // namespace quillary::host
