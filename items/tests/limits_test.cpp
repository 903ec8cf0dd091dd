#include "items/limits.h"

#include <gtest/gtest.h>

#include <optional>

#include "host/callbacks.h"
#include "host/working_sheet.h"
#include "items/fault_codes.h"
#include "items/messages.h"
#include "platform/runtime/tests/expect_error.h"
#include "testkit/bench.h"

namespace quillary::items {
namespace {

class LimitsTest : public ::testing::Test {
 protected:
  void Begin(bool ignoreIndex, TextView mode) {
    b.Control(host::ctl::main::kIgnoreIndex).SetValue(ignoreIndex);
    b.BeginRequest(mode);
    host::InitPlace(b.state, host::kList1);
    b.addin.ClearLog();
  }
  // The one message shown since Begin, or nothing.
  std::optional<Text> Shown() {
    const auto messages = b.addin.Messages();
    EXPECT_LE(messages.size(), 1u);
    if (messages.empty()) return std::nullopt;
    EXPECT_EQ(messages[0].style, host::msgbox::kInformation);
    return messages[0].prompt;
  }
  testkit::Bench b;
};

TEST_F(LimitsTest, GatherMessages) {
  const struct {
    ItemFaultCode code;
    bool ignoreIndex;
    Text mode;
    std::optional<Text> prompt;
  } cases[] = {
      {fault::kTooManyItems, true, u"Get_V", u"( Get V ): " + msg::TooManyItemsText(true, u"1048573")},
      {fault::kTooManyItems, false, u"Get_V", u"( Get V ): " + msg::TooManyItemsText(false, u"1048573")},
      {fault::kLongCell, false, u"Paste_V", u"( Paste V ): " + msg::LongCellText(u"Paste_V")},
      {fault::kLongCell, true, u"Null", u"(  ): " + msg::LongCellText(u"Null")},
      {fault::kLongJoin, false, u"Null", u"(  ): " + msg::LongJoinText(u"Null")},
      {fault::kLongJoin, true, u"COMPARE 2|| Uniques_x",
       u"( COMPARE 2:Uniques x ): " + msg::LongJoinText(u"COMPARE 2|| Uniques_x")},
      {fault::kNone, false, u"Null", std::nullopt},
      {fault::kManyHyphens, false, u"Null", std::nullopt},
      {fault::kLongWildcard, true, u"Null", std::nullopt},
      {static_cast<ItemFaultCode>(103), false, u"Null", std::nullopt},
  };
  for (const auto& c : cases) {
    Begin(c.ignoreIndex, c.mode);
    b.state.request.FaultMsg = u"before";
    if (c.prompt) b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
    TooMuch_Gather(b.state, c.code);
    EXPECT_EQ(Shown(), c.prompt) << static_cast<int>(c.code) << " " << ToUtf8(c.mode);
    EXPECT_EQ(b.state.request.FaultMsg, u"before") << static_cast<int>(c.code);
  }
}

TEST_F(LimitsTest, SortMessages) {
  const Text ignoreIndexMsg = u"( Get V ): " + msg::SortLimitText(false, u"1048573");
  const Text expandMsg = u"( Get V ): " + msg::SortLimitText(true, u"1048573");
  const struct {
    bool enabled;
    Variant ticked;
    bool ignoreIndex;
    std::optional<Text> prompt;
  } cases[] = {
      {true, true, false, expandMsg},
      {true, true, true, expandMsg},
      {false, true, true, ignoreIndexMsg},
      {true, false, true, ignoreIndexMsg},
      {true, Variant::Null(), true, ignoreIndexMsg},
      {true, false, false, std::nullopt},
      {false, true, false, std::nullopt},
  };
  for (const auto& c : cases) {
    b.Control(host::ctl::main::kExpandRanges).SetEnabled(c.enabled);
    b.Control(host::ctl::main::kExpandRanges).SetValue(c.ticked);
    Begin(c.ignoreIndex, u"Get_V");
    if (c.prompt) b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
    TooMuch_Sort(b.state, fault::kTooManyItems);
    EXPECT_EQ(Shown(), c.prompt) << c.enabled << " " << Describe(c.ticked) << " " << c.ignoreIndex;
    EXPECT_EQ(b.state.request.FaultMsg, u"Too_Many_Item_Descriptions");
  }
}

TEST_F(LimitsTest, CapacityOfASmallGrid) {
  b.app->AddWorkbook(xl::memory::GridSize::Small).Activate();
  Begin(false, u"Null");
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  TooMuch_Gather(b.state, fault::kTooManyItems);
  EXPECT_EQ(Shown(), u"(  ): " + msg::TooManyItemsText(false, u"65533"));
  b.Control(host::ctl::main::kExpandRanges).SetEnabled(true);
  b.Control(host::ctl::main::kExpandRanges).SetValue(true);
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  b.addin.ClearLog();
  TooMuch_Sort(b.state, fault::kNone);
  EXPECT_EQ(Shown(), u"(  ): " + msg::SortLimitText(true, u"65533"));
}

TEST_F(LimitsTest, MissingWorkingSheetIsRaised) {
  b.BeginRequest(u"Null");
  for (auto routine : {&TooMuch_Gather, &TooMuch_Sort}) {
    check::ExpectRaises([&] { routine(b.state, fault::kTooManyItems); }, err::kSubscript,
                        routine == &TooMuch_Gather ? "TooMuch_Gather: " : "TooMuch_Sort: ");
  }
  EXPECT_TRUE(b.addin.Messages().empty());
}

}  // namespace
}  // namespace quillary::items
