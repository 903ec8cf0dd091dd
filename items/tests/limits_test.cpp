#include "items/limits.h"

#include <gtest/gtest.h>

#include <optional>

#include "host/callbacks.h"
#include "host/working_sheet.h"
#include "items/fault_codes.h"
#include "testkit/bench.h"
#include "platform/runtime/tests/expect_error.h"

namespace quillary::items {
namespace {

constexpr char16_t kTip[] =
    u"TIP: Cut & Paste whole columns to rearrange (Right-click a column identifier, \"Cut\", Right-click where to "
    u"insert it, \"Insert Cut Cells\".";
constexpr char16_t kReduce[] =
    u"Please either reduce the amount of text within that cell or exclude that cell from your selection.";

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
      {fault::kTooManyItems, true, u"Get_V",
       u"( Get V ): You are using \"IgnoreIndex#\" Mode and the limit of 1048573 Item descriptions has been exceeded."
       u"\r\rChanging to the \"CountIndex#\" Mode will not reduce your Item description count unless you can condense "
       u"your lists using hypenated ranges (a single description can contain thousands of Items)."
       u"\r\rTry making smaller selections to be operated on and then combine the results."},
      {fault::kTooManyItems, false, u"Get_V",
       u"( Get V ): You are using \"CountIndex#\" Mode and the limit of 1048573 Item descriptions has been exceeded."
       u"\r\rChanging to the \"IgnoreIndex#\" Mode will not reduce your Item description count."
       u"\r\rTry making smaller selections to be operated on and then combine the results."},
      {fault::kLongCell, false, u"Paste_V",
       u"( Paste V ): Too much Text within Cell ( >32,767 ) during \"Paste_V\"."
       u"\r\rThe result of a cell's formula produces text which reaches Excel's limit for amount of cell characters "
       u"allowed.\r\r" +
           Text(kReduce) + u"\r" + kTip},
      {fault::kLongCell, true, u"Null",
       u"(  ): Too much Text within Cell ( >32,767 ) during \"Null\"."
       u"\r\rThe result of a cell's formula produces text which reaches Excel's limit for amount of cell characters "
       u"allowed.\r\r" +
           Text(kReduce) + u"\r" + kTip},
      {fault::kLongJoin, false, u"Null",
       u"(  ): Too much Text to Join Cells ( >32,767 ) during \"Null\"."
       u"\r\rIt is not possible to treat the row within your selection as a single Item for comparison purposes "
       u"because there would be more characters to fit within a cell than Excel allows.\r\r" +
           Text(kReduce) + u"\r" + kTip},
      {fault::kLongJoin, true, u"COMPARE 2|| Uniques_x",
       u"( COMPARE 2:Uniques x ): Too much Text to Join Cells ( >32,767 ) during \"COMPARE 2|| Uniques_x\"."
       u"\r\rIt is not possible to treat the row within your selection as a single Item for comparison purposes "
       u"because there would be more characters to fit within a cell than Excel allows.\r\r" +
           Text(kReduce) + u"\r" + kTip},
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
  const Text ignoreIndexMsg =
      u"( Get V ): You are using \"IgnoreIndex#\" Mode and the limit of 1048573 Item descriptions has been exceeded."
      u"\r\rIf there are Items with trailing numbers within your seletion, try the Mode \"CountIndex#\" without the "
      u"\"ExpandRanges\" option.\r\r\"CountIndex#\" Mode can condense Item lists into hyphenated ranges."
      u"\r\rOtherwise, try multiple smaller selections.";
  const Text expandMsg =
      u"( Get V ): You are using \"CountIndex#\" Mode with \"ExpandRanges\" option set."
      u"\r\rThis mode uses one of 1048573 resources per single Item.\r\rTry turning off the \"ExpandRanges\" option.";
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
  EXPECT_EQ(Shown(), Text(u"(  ): You are using \"CountIndex#\" Mode and the limit of 65533 Item descriptions has "
                          u"been exceeded.\r\rChanging to the \"IgnoreIndex#\" Mode will not reduce your Item "
                          u"description count.\r\rTry making smaller selections to be operated on and then combine "
                          u"the results."));
  b.Control(host::ctl::main::kExpandRanges).SetEnabled(true);
  b.Control(host::ctl::main::kExpandRanges).SetValue(true);
  b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  b.addin.ClearLog();
  TooMuch_Sort(b.state, fault::kNone);
  ASSERT_TRUE(Shown());
  EXPECT_NE(Shown()->find(u"one of 65533 resources"), Text::npos);
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
