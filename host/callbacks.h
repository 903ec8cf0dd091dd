// The host callback protocol: every message, form and break-key check belongs to the
// host add-in, which the component reaches by running the add-in's macros by name
// through the spreadsheet application; the host answers in label captions.
//
// Also here: message titles (the cleaned mode), the message-box style and answer codes,
// and the progress display on the status bar with its break-key poll.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <span>

#include "host/state.h"

namespace quillary::host {

// Message-box styles (a button set, plus an icon, plus 256 for the second button as the
// default) and the answers read back.
namespace msgbox {
inline constexpr long kOk = 0;
inline constexpr long kOkCancel = 1;
inline constexpr long kYesNoCancel = 3;
inline constexpr long kYesNo = 4;
inline constexpr long kExclamation = 48;
inline constexpr long kInformation = 64;
inline constexpr long kDefaultButton2 = 256;

inline constexpr int kAnswerOk = 1;
inline constexpr int kAnswerCancel = 2;
inline constexpr int kAnswerYes = 6;
inline constexpr int kAnswerNo = 7;
}  // namespace msgbox

// Two carriage returns: the break between paragraphs of a message.
inline constexpr char16_t kParagraph[] = u"\r\r";

// Runs the host macro `macro` (which begins with "!") of the host workbook with the
// arguments, which the macro may change.
Variant RunAddinMacro(State& s, TextView macro, std::span<Variant> args = {});

// The number a caption begins with (leading blanks ignored), 0 when none.
double CaptionNumber(TextView caption);

// The mode for message titles: "_" shown as " ", "|| " as ":", "Null" removed.
Text CleanMode(const State& s);
// "( " & CleanMode & " ): " & headline.
Text MsgTitle(const State& s, TextView headline);
// "( " & mode & " ): " & headline, the mode as it is given (the messages that quote the
// mode as the host sent it).
Text TitledWith(TextView mode, TextView headline);
// The text between double quotes, as messages quote names and captions.
Text Quoted(TextView text);
// The paragraphs joined by kParagraph.
Text Paragraphs(std::initializer_list<TextView> paragraphs);

// Shows a message through the host; returns the button code (0 when the host wrote
// none). Restarts the progress clock and restores the screen afterwards.
double MsgBoxDLL(State& s, const Text& prompt, long style);
// An information message (style 64) of the paragraphs, the first titled with the mode.
void InfoMsg(State& s, std::initializer_list<TextView> paragraphs);

// Asks the host whether the break key was pressed; sets UserAbort on a "6" answer.
void ChkBreakKey(State& s);

// The big message form; its answer goes to BigMsgAnswer (0 cancel, 1 OK_Button,
// 2 Option_Button, 3 Option_Button2).
void ShowBigMsgFormDLL(State& s);
// A question on the big message form: `text` in its Textbox1, OK_Button captioned
// `okCaption`, Option_Button shown with `optionCaption` (hidden when there is none), the
// screen on while the form is shown and restored afterwards. The buttons are put back
// to "OK" and a hidden "Option" whatever the answer. Returns BigMsgAnswer.
int AskBigMsgForm(State& s, const Text& text, TextView okCaption, TextView optionCaption = {});
// The compare dialog's answer.
enum class CompareAnswer : std::uint8_t { kCancel, kUseNew, kUseCollected };
// The compare dialog with `defaultControl` as its default button, and its answer (the
// number of its answer caption: 0 cancel, 2 use collected, any other use new).
CompareAnswer ShowCompDupUserFormDLL(State& s, const Text& defaultControl);
void ShowMainUserFormDLL(State& s);
void HideMainUserForm(State& s);
// The Query form (and the Query end form), shown modally over the main form; the host
// sends the form's events back through the Query connection while it is open.
void ShowQueryUserForm(State& s);
void ShowQueryEndUserForm(State& s);
void QueryUserFormCaptionDLL(State& s);
bool RememberIfMainUserformVisibleDLL(State& s);
// Make the main form's Textbox1 (Textbox2) the Active Window. These trap nothing.
void TextBox1Activate(State& s);
void TextBox2Activate(State& s);

// The progress display of one long loop. Call Step once per element with the elements
// done and the loop's total; it returns false when the user asked to stop (UserAbort),
// and the loop must then leave through its normal exit.
//
// The bar appears on the status bar only after more than three seconds of work since
// the entry or the last host callback; it is refreshed when it moves or a second has
// passed, and each refresh polls the break key. Elapsed time is measured on the
// monotonic clock, so the display goes on across midnight.
class ProgressBar {
 public:
  // `caption` is the text before the bar, such as " Collect Progress: ". When the bar
  // first appears the screen is switched on and restored around it, unless
  // `screenAtFirstShow` is false (the display of the Active Window text only turns the
  // status bar on).
  ProgressBar(State& s, Text caption, bool screenAtFirstShow = true)
      : s_(s), caption_(std::move(caption)), screenAtFirstShow_(screenAtFirstShow) {}

  // `showText` false polls and times as usual but writes no status-bar text (loops
  // that run in modes where the status bar belongs to someone else).
  bool Step(std::int64_t done, std::int64_t total, bool showText = true) {
    // Most steps leave the window where it stands, with no bar shown to be timed: the
    // run of steps known to stay at the last position is passed at once.
    if (total == runTotal_ && done >= runFrom_ && done < runUntil_ && lastPosition_ == runPosition_ &&
        !s_.request.progress.ProgressShown) {
      return true;
    }
    return Moved(done, total, showText);
  }

  // The window position (22 at the start down to 2 at the end) for done of total.
  static int Position(std::int64_t done, std::int64_t total);
  // The status-bar text for a position.
  static Text BarText(TextView caption, int position);

 private:
  bool Moved(std::int64_t done, std::int64_t total, bool showText);

  State& s_;
  Text caption_;
  bool screenAtFirstShow_;
  int lastPosition_ = 0;
  // The steps done of runTotal_ from runFrom_ up to runUntil_ (exclusive) all stand at
  // runPosition_.
  std::int64_t runTotal_ = 0, runFrom_ = 0, runUntil_ = 0;
  int runPosition_ = -1;
};

}  // namespace quillary::host
