#include "host/screen.h"

#include <gtest/gtest.h>

#include "host/callbacks.h"
#include "platform/excel/excel.h"
#include "platform/runtime/error.h"
#include "testkit/bench.h"

namespace quillary::host {
namespace {

TEST(Screen, OnOffAndTheHostsWish) {
  testkit::Bench b;
  b.BeginRequest();
  ScreenOff(b.state);
  EXPECT_FALSE(b.app->ScreenUpdating());
  EXPECT_EQ(b.app->Cursor(), xl::xlWait);
  ScreenOn(b.state);
  EXPECT_TRUE(b.app->ScreenUpdating());
  EXPECT_EQ(b.app->Cursor(), xl::xlDefault);

  auto& wish = b.Control(ctl::mail::kOnScreenX);
  wish.SetEnabled(false);
  ScreenRestore(b.state);
  EXPECT_FALSE(b.app->ScreenUpdating());
  EXPECT_EQ(b.app->Cursor(), xl::xlWait);
  wish.SetEnabled(true);
  ScreenRestore(b.state);
  EXPECT_TRUE(b.app->ScreenUpdating());
  EXPECT_EQ(b.app->Cursor(), xl::xlDefault);
}

TEST(Protection, SheetProtectedCheckByVersionAndFormatting) {
  const struct {
    bool protectedContents;
    const char16_t* version;
    bool allowFormatting;
    bool expected;
  } cases[] = {
      {false, u"9.0", false, false}, {false, u"16.0", false, false}, {true, u"9.0", true, true},
      {true, u"16.0", false, true},  {true, u"16.0", true, false},   {true, u"10.0", true, false},
  };
  for (const auto& c : cases) {
    testkit::Bench b;
    b.BeginRequest();
    b.app->SetVersion(c.version);
    if (c.protectedContents) b.book->ActiveSheet().Protect({.AllowFormattingCells = c.allowFormatting});
    EXPECT_EQ(SheetProtectedCheck(b.state), c.expected) << ToUtf8(c.version) << " " << c.protectedContents;
  }
}

TEST(Protection, WorkbookProtectedCheckTellsTheUser) {
  const struct {
    const char16_t* mode;
    bool structure, windows;
    const char16_t* title;
  } cases[] = {
      {u"REDUCE Rows to One", true, false, u"( REDUCE Rows to One ): "},
      {u"Null", false, true, u"(  ): "},
      {u"EXPAND_Row", false, false, nullptr},
  };
  for (const auto& c : cases) {
    testkit::Bench b;
    b.BeginRequest(c.mode);
    b.book->Protect(c.structure, c.windows);
    if (c.title) b.addin.QueueMessageAnswer(1);
    EXPECT_EQ(WorkbookProtectedCheck(b.state), c.title ? Proceed::kStop : Proceed::kGoOn);
    const auto messages = b.addin.Messages();
    if (!c.title) {
      EXPECT_TRUE(messages.empty());
      continue;
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].prompt, Text(c.title) + Paragraphs({kWorkbookProtectedMsg, kWorkbookProtectedMsg2}));
    EXPECT_EQ(messages[0].style, 64);
  }
}

TEST(Protection, ChecksWithoutAWorkbookFailForTheCaller) {
  testkit::Bench b;
  b.BeginRequest();
  auto empty = xl::memory::CreateApplication({});
  b.state.connection.ExcelApp = empty.get();
  EXPECT_THROW(static_cast<void>(WorkbookProtectedCheck(b.state)), Error);
  EXPECT_THROW(static_cast<void>(SheetProtectedCheck(b.state)), Error);
}

}  // namespace
}  // namespace quillary::host
