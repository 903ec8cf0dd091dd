#include <gtest/gtest.h>

#include "actions/internal/messages.h"
#include "actions/tests/desk.h"

namespace quillary::actions {
namespace {

using host::ModeId;

// The messages' words as the user reads them: tests/scenarios/actions/hyperlinks.qs.

const Text kLineBreakNotice =
    u"( Hyperlink:ReplaceWith ): " + host::Paragraphs({msg::kLineBreaksFound, msg::kNoLinkWithLineBreaks,
                                                       msg::kLineBreaksLookLikeSquares, msg::kNoticeOnce});

TEST(HyperlinkReplaceWith, EveryNonEmptyCellLinksToItsOwnTextButCellsWithLineBreaks) {
  for (const int answer : {host::msgbox::kAnswerOk, host::msgbox::kAnswerCancel}) {
    SCOPED_TRACE(answer);
    Desk d;
    d.Column(u"A1", {u"http://example.invalid/", 5.0, Variant(), u"two\nlines",
                     Text(u"x").append(Text(1, u'\u00A0')).append(u"\ny"), u"www.a.invalid", Variant(CellError::NA)});
    d.b.addin.QueueMessageAnswer(answer);
    d.Run(ModeId::kHyperlinkReplaceWith, u"A1:A7");
    ASSERT_EQ(d.Messages().size(), 1u) << "the notice comes once";
    EXPECT_EQ(d.Messages()[0].prompt, kLineBreakNotice);
    EXPECT_EQ(d.Messages()[0].style, host::msgbox::kOkCancel);
    const struct {
      const char16_t* cell;
      const char16_t* address;  // null: no link
    } links[] = {
        {u"A1", u"http://example.invalid/"}, {u"A2", u"5"},   {u"A3", nullptr}, {u"A4", nullptr}, {u"A5", nullptr},
        {u"A6", u"www.a.invalid"},           {u"A7", nullptr}};
    for (const auto& l : links) {
      const xl::Range cell = d.Cell(l.cell);
      ASSERT_EQ(cell.HyperlinksCount(), l.address ? 1 : 0) << ToUtf8(l.cell);
      if (l.address) {
        EXPECT_EQ(cell.Hyperlinks(1).Address, l.address);
      }
    }
    EXPECT_EQ(d.Value(u"A2"), Variant(5.0));
  }
}

TEST(HyperlinkReplaceWith, ASelectionInTheLastColumnIsRefused) {
  Desk d;
  d.Cell(u"XFD1").SetValue(u"http://x.invalid/");
  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  d.Run(ModeId::kHyperlinkReplaceWith, u"XFD1:XFD2");
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(
      d.Messages()[0].prompt,
      Text(u"( Hyperlink:ReplaceWith ): ").append(Text(msg::kNoRoomRight)).append(u"16384").append(msg::kNoRoomRight2));
  EXPECT_EQ(d.Messages()[0].style, host::msgbox::kInformation);
  EXPECT_TRUE(d.b.state.request.PasteStopped);
  EXPECT_EQ(d.Cell(u"XFD1").HyperlinksCount(), 0);
}

class HyperlinkExtract : public ::testing::Test {
 protected:
  void Link(const char16_t* cell, const char16_t* address, const char16_t* subAddress = u"") {
    d.Sheet().AddHyperlink(d.Cell(cell), address, subAddress, u"shown");
  }
  Desk d;
};

TEST_F(HyperlinkExtract, TheFirstColumnsAddressesGoAsTextIntoTheNextColumn) {
  Link(u"A1", u"http://one.invalid/");
  Link(u"A2", u"", u"Sheet1!Z1");
  Link(u"A3", u"http://three\u00A0x.invalid/");
  d.Cell(u"A4").SetValue(u"no link");
  d.Cell(u"B1:B3").Font().SetUnderline(xl::xlUnderlineStyleSingle);
  d.Cell(u"B1:B3").Font().SetColorIndex(3);
  d.Cell(u"B4").SetValue(u"kept");
  Link(u"B5", u"http://second.column.invalid/");
  d.Run(ModeId::kHyperlinkExtract, u"A1:B5");
  EXPECT_EQ(d.Values(u"B1:B5"),
            (std::vector<Variant>{u"http://one.invalid/", Variant(), u"http://three x.invalid/", u"kept", u"shown"}));
  EXPECT_EQ(d.Cell(u"B1").Formula(), u"'http://one.invalid/");
  EXPECT_EQ(d.Cell(u"B1").Font().ColorIndex(), Variant(xl::xlColorIndexAutomatic));
  EXPECT_EQ(d.Cell(u"B2").Font().ColorIndex(), Variant(3)) << "nothing written";
  EXPECT_EQ(d.Cell(u"B1:B3").Font().Underline(), Variant(xl::xlUnderlineStyleNone));
  EXPECT_TRUE(d.Cell(u"C5").Value().IsEmpty()) << "only the first column is read";
  EXPECT_TRUE(d.Messages().empty());
}

TEST_F(HyperlinkExtract, AFilledDestinationIsOverwrittenOnlyAfterOk) {
  const Text question = Text(u"( Hyperlink:Extract ): ")
                            .append(host::Paragraphs({msg::kDestinationFilled, msg::kDestinationFilled2,
                                                      msg::kDestinationFilled3, msg::kDestinationFilled4}));
  for (const int answer : {host::msgbox::kAnswerOk, host::msgbox::kAnswerCancel}) {
    SCOPED_TRACE(answer);
    Desk f;
    f.Sheet().AddHyperlink(f.Cell(u"A1"), u"http://one.invalid/");
    f.Sheet().AddHyperlink(f.Cell(u"A2"), u"http://two.invalid/");
    f.Column(u"B1", {u"old", u"older"});
    f.b.addin.QueueMessageAnswer(answer);
    if (answer == host::msgbox::kAnswerOk) f.b.addin.QueueMessageAnswer(answer);
    f.Run(ModeId::kHyperlinkExtract, u"A1:A2");
    const auto messages = f.Messages();
    ASSERT_EQ(messages.size(), answer == host::msgbox::kAnswerOk ? 2u : 1u);
    EXPECT_EQ(messages[0].prompt, question);
    EXPECT_EQ(messages[0].style, host::msgbox::kOkCancel);
    if (answer == host::msgbox::kAnswerOk) {
      EXPECT_EQ(f.Values(u"B1:B2"), (std::vector<Variant>{u"http://one.invalid/", u"http://two.invalid/"}));
      EXPECT_EQ(f.b.app->Selection()->Address(), u"$A$1:$A$2") << "the selection comes back";
    } else {
      EXPECT_EQ(f.Values(u"B1:B2"), (std::vector<Variant>{u"old", u"older"}));
    }
  }
}

TEST_F(HyperlinkExtract, OnAProtectedSheetOnlyUnlockedDestinationsAreWritten) {
  Link(u"A1", u"http://one.invalid/");
  Link(u"D1", u"http://four.invalid/");
  d.Cell(u"B1").SetLocked(false);
  d.Cell(u"B1").Font().SetUnderline(xl::xlUnderlineStyleSingle);
  d.Sheet().Protect();
  d.Run(ModeId::kHyperlinkExtract, u"A1");
  EXPECT_EQ(d.Value(u"B1"), Variant(u"http://one.invalid/"));
  EXPECT_EQ(d.Cell(u"B1").Font().Underline(), Variant(xl::xlUnderlineStyleSingle)) << "formats left alone";

  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  d.Run(ModeId::kHyperlinkExtract, u"D1:D2");
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(
      d.Messages()[0].prompt,
      Text(u"( Hyperlink:Extract ): ").append(host::Paragraphs({msg::kDestinationProtected, msg::kActionTerminated})));
  EXPECT_EQ(d.Messages()[0].style, host::msgbox::kInformation);
  EXPECT_TRUE(d.Value(u"E1").IsEmpty());
}

TEST_F(HyperlinkExtract, EachAreaIsCheckedForRoomOnItsRight) {
  Link(u"A1", u"http://one.invalid/");
  Link(u"XFD2", u"http://edge.invalid/");
  d.b.addin.QueueMessageAnswer(host::msgbox::kAnswerOk);
  d.Sheet().Range(u"A1,XFD2").Select();
  d.Run(ModeId::kHyperlinkExtract);
  EXPECT_EQ(d.Value(u"B1"), Variant(u"http://one.invalid/"));
  ASSERT_EQ(d.Messages().size(), 1u);
  EXPECT_EQ(
      d.Messages()[0].prompt,
      Text(u"( Hyperlink:Extract ): ").append(Text(msg::kNoRoomRight)).append(u"16384").append(msg::kNoRoomRight2));
  EXPECT_TRUE(d.b.state.request.PasteStopped);
}

}  // namespace
}  // namespace quillary::actions
