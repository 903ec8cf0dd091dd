#include "platform/system/memory/memory_system.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/runtime/tests/expect_error.h"

namespace quillary::sys {
namespace {

// Sets the clipboard text as callers do: up to `limit` attempts, errors swallowed.
bool SetTextWithRetries(Clipboard& clipboard, const Text& text, int limit) {
  for (int attempt = 0; attempt < limit; ++attempt) {
    try {
      clipboard.SetText(text);
      return true;
    } catch (const Error&) {
    }
  }
  return false;
}

TEST(Clipboard, RoundTripOfUnicodeText) {
  const Text text = u"\u03A9\u2248\u00E7 \U0001F600\tx\r\n";
  ASSERT_EQ(text.size(), 10u);  // the emoji is a surrogate pair
  MemoryClipboard clipboard;
  EXPECT_EQ(clipboard.GetText(), u"");
  clipboard.SetText(text);
  EXPECT_EQ(clipboard.GetText(), text);
  clipboard.Clear();
  EXPECT_EQ(clipboard.GetText(), u"");
}

TEST(MemoryClipboard, FailureInjectionCountsAttempts) {
  struct Case {
    int failures;
    bool stored;
    int attempts;
  };
  for (const Case& c : {Case{0, true, 1}, Case{48, true, 49}, Case{49, false, 49}, Case{60, false, 49}}) {
    MemoryClipboard clipboard;
    clipboard.FailNext(c.failures, MemoryClipboard::Operation::SetText);
    EXPECT_EQ(SetTextWithRetries(clipboard, u"abc", 49), c.stored) << c.failures;
    EXPECT_EQ(clipboard.Attempts(MemoryClipboard::Operation::SetText), c.attempts) << c.failures;
    EXPECT_EQ(clipboard.Failures(MemoryClipboard::Operation::SetText), std::min(c.failures, 49)) << c.failures;
    EXPECT_EQ(clipboard.Contents(), c.stored ? u"abc" : u"") << c.failures;
  }
}

TEST(MemoryClipboard, FailuresAreOperationByOperationAndRaiseErrors) {
  MemoryClipboard clipboard;
  clipboard.SetText(u"kept");
  clipboard.FailNext(1, MemoryClipboard::Operation::Clear);
  clipboard.FailNext(2, MemoryClipboard::Operation::GetText);
  check::ExpectRaises([&] { clipboard.Clear(); }, MemoryClipboard::kClipboardErrorNumber);
  EXPECT_EQ(clipboard.Contents(), u"kept");  // a failed Clear changes nothing
  EXPECT_THROW(clipboard.GetText(), Error);
  EXPECT_THROW(clipboard.GetText(), Error);
  EXPECT_EQ(clipboard.GetText(), u"kept");
  clipboard.SetText(u"new");  // SetText was never set to fail
  clipboard.Clear();
  EXPECT_EQ(clipboard.Contents(), u"");
  EXPECT_EQ(clipboard.Attempts(MemoryClipboard::Operation::Clear), 2);
  EXPECT_EQ(clipboard.Attempts(MemoryClipboard::Operation::GetText), 3);
  EXPECT_EQ(clipboard.Attempts(MemoryClipboard::Operation::SetText), 2);
  EXPECT_EQ(clipboard.Failures(MemoryClipboard::Operation::GetText), 2);
  clipboard.ResetCounts();
  EXPECT_EQ(clipboard.Attempts(MemoryClipboard::Operation::GetText), 0);
}

// GiveText and ViewText are SetText and GetText without a copy: they count and fail as
// those do, and a failed GiveText leaves the caller's text for the next attempt.
TEST(MemoryClipboard, GivenAndViewedTextsCountAndFailAsSetAndGet) {
  MemoryClipboard clipboard;
  clipboard.FailNext(1, MemoryClipboard::Operation::SetText);
  clipboard.FailNext(1, MemoryClipboard::Operation::GetText);
  Text given = u"given \U0001F600";
  check::ExpectRaises([&] { clipboard.GiveText(std::move(given)); }, MemoryClipboard::kClipboardErrorNumber);
  EXPECT_EQ(given, u"given \U0001F600");
  EXPECT_EQ(clipboard.Contents(), u"");
  clipboard.GiveText(std::move(given));
  EXPECT_EQ(clipboard.Contents(), u"given \U0001F600");
  Text viewed = u"none";
  const auto view = [&] { clipboard.ViewText([&](TextView t) { viewed = Text(t); }); };
  check::ExpectRaises(view, MemoryClipboard::kClipboardErrorNumber);
  EXPECT_EQ(viewed, u"none");
  view();
  EXPECT_EQ(viewed, u"given \U0001F600");
  EXPECT_EQ(clipboard.Attempts(MemoryClipboard::Operation::SetText), 2);
  EXPECT_EQ(clipboard.Attempts(MemoryClipboard::Operation::GetText), 2);
}

TEST(ManualClock, TimeOfDayWrapsAtMidnightWhileMonotonicKeepsGoing) {
  ManualClock clock(86399.5, 1000);
  const double start = clock.MonotonicSeconds();
  const double startOfDay = clock.SecondsSinceMidnight();
  clock.Advance(1);
  EXPECT_DOUBLE_EQ(clock.SecondsSinceMidnight(), 0.5);
  EXPECT_DOUBLE_EQ(clock.MonotonicSeconds() - start, 1);
  EXPECT_LT(clock.SecondsSinceMidnight(), startOfDay);  // the time of day went backwards

  clock.Advance(2 * ManualClock::kSecondsPerDay + 3);
  EXPECT_DOUBLE_EQ(clock.SecondsSinceMidnight(), 3.5);
  EXPECT_DOUBLE_EQ(clock.MonotonicSeconds(), 1000 + 1 + 2 * ManualClock::kSecondsPerDay + 3);

  clock.SetSecondsSinceMidnight(10);
  EXPECT_DOUBLE_EQ(clock.SecondsSinceMidnight(), 10);
  EXPECT_DOUBLE_EQ(clock.MonotonicSeconds(), 1000 + 1 + 2 * ManualClock::kSecondsPerDay + 3);
}

TEST(MemoryDirectories, RecordsChangesAndFailsOnMissingPaths) {
  MemoryDirectories dirs("/home/user", "/opt/quillary");
  dirs.MarkMissing("/gone");
  dirs.Change("/opt/quillary");
  check::ExpectRaises([&] { dirs.Change("/gone"); }, err::kPathNotFound);
  dirs.Change("/home/user");
  EXPECT_EQ(dirs.Current(), "/home/user");
  EXPECT_EQ(dirs.ComponentFolder(), "/opt/quillary");
  EXPECT_EQ(dirs.Changes(), (std::vector<std::string>{"/opt/quillary", "/home/user"}));
}

TEST(Services, StandInBundleWiresItsOwnMembers) {
  StandInServices s;
  s.services.beeper.Beep();
  s.services.beeper.Beep();
  EXPECT_EQ(s.beeper.Count(), 2);
  s.services.clipboard.SetText(u"x");
  EXPECT_EQ(s.clipboard.Contents(), u"x");
  s.clock.Advance(5);
  EXPECT_DOUBLE_EQ(s.services.clock.MonotonicSeconds(), 5);
  s.services.directories.Change("/tmp");
  EXPECT_EQ(s.directories.Current(), "/tmp");
}

}  // namespace
}  // namespace quillary::sys
