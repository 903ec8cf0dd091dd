// Bookmarks: one line in the found cell's comment naming what the Query found there.
#include "host/callbacks.h"
#include "host/screen.h"
#include "platform/runtime/error.h"
#include "platform/runtime/vba.h"
#include "query/internal/form.h"
#include "query/internal/memory.h"
#include "query/messages.h"
#include "query/query.h"

namespace quillary::query {

namespace {

using host::State;
namespace ctl = host::ctl;

// Comment colours: a toggled bookmark, and the plain one.
constexpr long kToggledColour = 0xFFFFCC;  // RGB(204, 255, 255)
constexpr long kPlainColour = 0xE1FFFF;    // RGB(255, 255, 225)

// The bookmark line: a tag by the Query's mode, the search text and a quotation mark.
Text BookmarkLine(State& s) {
  const Text label1 = s.Control(ctl::query::kLabel1).Caption();
  Text line;
  if (ContainsNoCase(label1, u"Duplicate")) {
    line = u"Dup:\t\"";
  } else if (ContainsNoCase(s.Control(ctl::query::kCaption).Caption(), u"Fault")) {
    line = label1 + u"\"";
  } else {
    line = u"Query:\t\"";
  }
  line += vba::Trim(s.Control(ctl::query::kTextbox1).Text());
  line += kQuote;
  return line;
}

// Only the found cell, or the cell changed last, takes bookmarks.
bool OnFoundCell(State& s, const xl::Range& cell) {
  return cell.Address() == MemoryOf(s).ReplacedCellAddr || s.Control(ctl::query::kLamp).BackColor() == kLampOn;
}

// A locked cell on a sheet protected for contents: the user is told, and nothing
// changes.
bool Protected(State& s, const xl::Range& cell) {
  if (!(vba::EqualsTrue(cell.Locked()) && cell.Parent().ProtectContents())) return false;
  host::MsgBoxDLL(s, host::MsgTitle(s, msg::kProtectedCommentMsg), host::msgbox::kInformation);
  return true;
}

}  // namespace

void PlaceBookmark(State& s, bool& toggle) {
  ErrorTrail("PlaceBookmark", [&] {
    const xl::Range cell = ActiveCell(s);
    if (!OnFoundCell(s, cell)) return;
    const Text line = BookmarkLine(s);
    if (Protected(s, cell)) return;
    std::optional<xl::Comment> comment = cell.Comment();
    if (!comment) {
      comment = cell.AddComment(line);
    } else if (const Text text = comment->Text(); text != line && !text.ends_with(u"\n" + line)) {
      comment->SetText(text + u"\n" + line);
    } else {
      comment->SetFillColor(toggle && comment->FillColor() != kToggledColour ? kToggledColour : kPlainColour);
    }
    comment->SetAutoSize(true);
    host::ScreenOn(s);
  });
}

void RemoveBookmark(State& s) {
  ErrorTrail("RemoveBookmark", [&] {
    const xl::Range cell = ActiveCell(s);
    if (!OnFoundCell(s, cell)) return;
    const Text line = BookmarkLine(s);
    if (std::optional<xl::Comment> comment = cell.Comment()) {
      if (Protected(s, cell)) return;
      const Text text = comment->Text();
      const Text lastLine = u"\n" + line;
      if (text == line) {
        comment->Delete();
      } else if (text.ends_with(lastLine)) {
        comment->SetText(TextView(text).substr(0, text.size() - lastLine.size()));
      }
    }
    host::ScreenOn(s);
  });
}

}  // namespace quillary::query
