#include "services/swap_display.h"

#include "host/text_replace.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"
#include "services/clipboard_paste.h"

namespace quillary::services {

namespace {

using host::State;

constexpr char16_t kLineEnd[] = u"\r\n";
// A text (or a line) starting with one of these would be taken for a formula.
constexpr char16_t kFormulaStarts[] = u"+-=$%@(";

// One blank before a text that would be taken for a formula.
void FormulaStartGuard(Text& text) {
  if (!text.empty() && TextView(kFormulaStarts).find(text.front()) != TextView::npos) text.insert(0, 1, u' ');
}

// One Item per line: the same guard at the start of every line.
void SplitIntoLines(Text& text) {
  host::ReplaceItRef(text, u", ", kLineEnd);
  host::ReplaceItRef(text, u",", kLineEnd);
  for (const char16_t c : TextView(kFormulaStarts)) {
    const char16_t lineStart[] = {u'\n', c, u'\0'};
    const char16_t guarded[] = {u'\n', u' ', c, u'\0'};
    host::ReplaceItRef(text, lineStart, guarded);
  }
}

// The lines joined into one comma list.
void JoinLines(const State& s, Text& text) {
  if (!vba::EqualsTrue(s.Control(host::ctl::main::kCommaSpace).Value()) || s.request.IgnoreIndexMode) {
    host::ReplaceItRef(text, kLineEnd, u",");
    host::ReplaceItRef(text, u", ", u",");
  } else {
    // The lines' guard blanks go: the joined text gets one guard at most.
    host::ReplaceItRef(text, u"\n ", u"\n");
    host::ReplaceItRef(text, kLineEnd, u", ");
  }
}

}  // namespace

void SwapActiveWindow(State& s) {
  ErrorTrail("swapdsply", [&] {
    s.request.ActiveWndw = &host::ActiveWindowOf(s.request.forms);
    Text text = s.request.ActiveWndw->Text();
    const char16_t* ready = u"Ready for single cell pasting.";
    if (text.find(kLineEnd) != Text::npos) {
      JoinLines(s, text);
    } else if (text.find(u',') != Text::npos && !s.request.vbaMode.Is(host::ModeId::kExpandRef)) {
      SplitIntoLines(text);
      ready = u"Ready for multiple cell pasting (columnar).";
    }
    FormulaStartGuard(text);
    s.request.ActiveWndw->SetValue(text);

    if (!s.request.vbaMode.Is(host::ModeId::kPreExpandRef)) {
      // Not "ready" when the clipboard refused the text.
      if (Clipbrd_Into(s, text, OnProtectedSheet::kStage) == Staging::kClipboardFailed) {
        ready = u"ClipBrd busy: text NOT copied.";
      }
      s.Control(host::ctl::main::kMessageLabel).SetCaption(ready);
      s.Control(host::ctl::main::kNotice).SetValue(true);
    }

    const bool cannotFit = s.request.PasteRowCount >= 2;
    Text line = u"     " + vba::Format(static_cast<double>(text.size()), u"##,##0");
    if (!cannotFit && !s.request.HiddenCellsSkipped) {
      s.Control(host::ctl::main::kCharactersLabel).SetCaption(line + u" Characters.");
      return;
    }
    line += u" Chars.";
    if (cannotFit) line += u" Can't single cell paste.";
    if (s.request.HiddenCellsSkipped) line += u" Hidden cells.";
    s.Control(host::ctl::main::kCharactersLabel).SetCaption(line);
    s.Control(host::ctl::main::kNotice).SetValue(true);
  });
}

}  // namespace quillary::services
