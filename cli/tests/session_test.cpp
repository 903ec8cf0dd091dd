// The session's answers to the component's questions, through the component's own
// callback routines and the scripted host.
#include "cli/session.h"

#include <gtest/gtest.h>

#include <sstream>

#include "host/callbacks.h"
#include "platform/runtime/error.h"
#include "platform/runtime/tests/expect_error.h"
#include "workbook/failure.h"
#include "workbook/tests/temp_dir.h"
#include "workbook/tests/xlsx_fixture.h"
#include "workbook/xlsx_zip.h"

namespace quillary::cli {
namespace {

using addin::Reply;

// A session with a new workbook and the forms held, as while a request runs.
class SessionTest : public ::testing::Test {
 protected:
  explicit SessionTest(AnswerOptions options = {}) : session(err, {.answers = options}) {
    session.New(xl::memory::GridSize::Small);
    session.State().request.forms = session.Forms().Forms();
  }

  double Message(long style) { return host::MsgBoxDLL(session.State(), u"( ): Go on?\r\rSecond paragraph", style); }

  std::ostringstream err;
  Session session;
};

bool Has(const std::string& text, std::string_view part) { return text.find(part) != std::string::npos; }

TEST_F(SessionTest, MessagesTakeQueuedAnswersThenTheDefaultButton) {
  session.Answers().Queue(Reply::Message, AnswerCaption(Reply::Message, "no"));
  session.Answers().Queue(Reply::Message, AnswerCaption(Reply::Message, "2"));
  EXPECT_EQ(Message(4 + 48), 7);
  EXPECT_EQ(Message(3 + 256), 2);
  EXPECT_EQ(Message(3 + 256), 7);  // nothing queued: the second button is the default
  EXPECT_EQ(Message(64), 1);
  const std::string text = err.str();
  EXPECT_TRUE(Has(text, "quillary: message (exclamation) [Yes]* [No]\n  ( ): Go on?\n\n  Second paragraph\n")) << text;
  EXPECT_TRUE(Has(text, "quillary: answered No (queued)\n")) << text;
  EXPECT_TRUE(Has(text, "quillary: message [Yes] [No]* [Cancel]\n")) << text;
  EXPECT_TRUE(Has(text, "quillary: answered Cancel (queued)\n")) << text;
  EXPECT_TRUE(Has(text, "quillary: answered No (default)\n")) << text;
  EXPECT_EQ(session.Host().Messages().size(), 4u);
}

TEST_F(SessionTest, AQueuedAnswerThatIsNoButtonFailsTheCall) {
  session.Answers().Queue(Reply::Message, AnswerCaption(Reply::Message, "OK"));
  check::ExpectRaises([&] { Message(4); }, err::kApplication, "MsgBoxDLL");
}

TEST(AnswerWords, EachKindKnowsItsButtons) {
  struct Case {
    Reply kind;
    std::string value;
    std::string caption;  // "" : refused
  };
  const Case cases[] = {
      {Reply::Message, "Yes", "6"},      {Reply::Message, "cancel", "2"},
      {Reply::Message, "7", "7"},        {Reply::Message, "8", ""},
      {Reply::Message, "Sure", ""},      {Reply::BigMsg, "Option2", "3"},
      {Reply::BigMsg, "OK_Button", "1"}, {Reply::BigMsg, "0", "0"},
      {Reply::BigMsg, "4", ""},          {Reply::Compare, "UseCollected", "2"},
      {Reply::Compare, "usenew", "1"},   {Reply::Compare, "OK", ""},
      {Reply::BreakKey, "6.0", "6.0"},   {Reply::BreakKey, "NoBreak", "NoBreak"},
  };
  for (const Case& c : cases) {
    if (c.caption.empty()) {
      EXPECT_THROW(AnswerCaption(c.kind, c.value), workbook::Failure) << c.value;
    } else {
      EXPECT_EQ(ToUtf8(AnswerCaption(c.kind, c.value)), c.caption) << c.value;
    }
  }
}

TEST_F(SessionTest, BigMessageAndCompareDialogAnswers) {
  session.Forms().bigMsg.Item(u"Option_Button").SetVisible(true);
  session.Forms().bigMsg.Item(u"Option_Button").SetCaption(u"Keep both");
  session.Answers().Queue(Reply::BigMsg, AnswerCaption(Reply::BigMsg, "Option"));
  host::ShowBigMsgFormDLL(session.State());
  EXPECT_EQ(session.State().dialogs.BigMsgAnswer, 2);
  EXPECT_EQ(host::ShowCompDupUserFormDLL(session.State(), u"UseCollected"), host::CompareAnswer::kUseCollected);
  const std::string text = err.str();
  EXPECT_TRUE(Has(text, "quillary: big message [OK]* [Option \"Keep both\"] [Cancel]\n")) << text;
  EXPECT_TRUE(Has(text, "quillary: compare dialog [UseNew] [UseCollected]* [Cancel]\n")) << text;
}

TEST_F(SessionTest, BreakKeyAnswersNoBreakUnlessQueued) {
  host::ChkBreakKey(session.State());
  EXPECT_FALSE(session.State().request.progress.UserAbort);
  session.Answers().Queue(Reply::BreakKey, AnswerCaption(Reply::BreakKey, "6"));
  host::ChkBreakKey(session.State());
  EXPECT_TRUE(session.State().request.progress.UserAbort);
  EXPECT_EQ(err.str(), "quillary: break key answered \"6\"\n");
}

TEST_F(SessionTest, QueuedQueryEventsGoIntoTheComponentWhileTheQueryFormIsShown) {
  session.QueueQueryEvents({u"NoSuchEvent", u"NextButtonClick"});
  host::ShowQueryUserForm(session.State());
  // Next searched the empty sheet for the empty search text, found nothing and said so.
  EXPECT_TRUE(Has(err.str(), "Query could not find a match for the Item specified on the current worksheet."))
      << err.str();
  EXPECT_TRUE(Has(err.str(),
                  "quillary: the Query form is shown; sending its events\nquillary: the active cell is $A$1\n"
                  "quillary: Query event NoSuchEvent\nquillary: the active cell is $A$1\n"
                  "quillary: Query event NextButtonClick\n"))
      << err.str();
  // The events went with that showing; the next one sends none.
  EXPECT_NO_THROW(host::ShowQueryUserForm(session.State()));
}

// A workbook loaded from an xlsx file is saved over it keeping what the file holds and
// the workbook does not model (here a table and a frozen pane); saved to another name,
// the new file keeps it too, and no note says anything is lacking.
TEST_F(SessionTest, AnXlsxFileIsSavedOverKeepingWhatItHolds) {
  workbook::testing::TempDir dir;
  workbook::testing::WriteText(dir / "rich.xlsx", workbook::testing::XlsxWithATableAndAFrozenPane());
  const std::vector<std::filesystem::path> paths{dir / "rich.xlsx"};
  session.Load(paths);
  session.Book().ActiveSheet().Cells(1, 2).SetValue(u"tag");
  session.Save(std::nullopt);
  session.Save(dir / "copy.xlsx");
  for (const char* file : {"rich.xlsx", "copy.xlsx"}) {
    const std::string bytes = workbook::testing::ReadText(dir / file);
    const workbook::xlsx::ZipArchive zip(bytes);
    EXPECT_TRUE(zip.Has("xl/tables/table1.xml")) << file;
    const std::string sheet = zip.Read("xl/worksheets/sheet1.xml");
    EXPECT_TRUE(Has(sheet, "<pane ySplit=\"1\" state=\"frozen\"/>")) << sheet;
    EXPECT_TRUE(Has(sheet, "<is><t>tag</t></is>")) << sheet;
  }
  EXPECT_FALSE(Has(err.str(), "lacks")) << err.str();
}

TEST_F(SessionTest, AFailedLoadKeepsTheOpenWorkbook) {
  session.Book().ActiveSheet().Cells(1, 1).SetValue(u"kept");
  workbook::testing::TempDir dir;
  const std::vector<std::filesystem::path> missing{dir / "missing.csv"};
  EXPECT_THROW(session.Load(missing), workbook::Failure);
  EXPECT_EQ(session.Book().ActiveSheet().CellValue(1, 1), Variant(u"kept"));
  EXPECT_THROW(session.Save(std::nullopt), workbook::Failure);  // a new workbook has no folder yet
}

class InteractiveSession : public SessionTest {
 protected:
  InteractiveSession() : SessionTest({.ask = &ask}) {}
  static std::istringstream ask;
};
std::istringstream InteractiveSession::ask;

TEST_F(InteractiveSession, AsksThePersonUntilTheAnswerIsAButton) {
  ask.str("maybe\n yes \n\n");
  EXPECT_EQ(Message(4), 6);
  EXPECT_EQ(Message(4 + 256), 7);  // Enter: the default button
  EXPECT_EQ(Message(1), 1);        // end of input: the default button
  const std::string text = err.str();
  EXPECT_TRUE(Has(text, "quillary: 'maybe' is none of the buttons\n")) << text;
  EXPECT_TRUE(Has(text, "quillary: answer (Enter for No): ")) << text;
}

}  // namespace
}  // namespace quillary::cli
