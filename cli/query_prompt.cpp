#include "cli/query_prompt.h"

#include <algorithm>
#include <istream>
#include <ostream>
#include <string>

#include "host/controls.h"
#include "platform/runtime/text_order.h"
#include "workbook/workbook_io.h"

namespace quillary::cli {

namespace {

namespace ctl = host::ctl;

constexpr char kCommands[] =
    "  n next | r replace [TEXT] | u undo | b bookmark | x remove bookmark | d different name |\n"
    "  s search TEXT | c close\n";

forms::Control& Of(forms::HostFormSet& forms, const host::ControlId& id) { return host::ControlOf(forms.Forms(), id); }

void ShowForm(const QueryFormTerminal& t) {
  std::ostream& out = t.out;
  out << "quillary: Query form: " << ToUtf8(Of(t.forms, ctl::query::kCaption).Caption()) << "\n";
  for (const host::ControlId* label :
       {&ctl::query::kLabel1, &ctl::query::kLabel4, &ctl::query::kLabel5, &ctl::query::kLabel6, &ctl::query::kLabel7}) {
    const forms::Control& c = Of(t.forms, *label);
    if (c.Visible() && !c.Caption().empty()) out << "  " << ToUtf8(c.Caption()) << "\n";
  }
  out << "  search: " << ToUtf8(Of(t.forms, ctl::query::kTextbox1).Text()) << "\n";
  out << "  " << ToUtf8(Of(t.forms, ctl::query::kLabel2).Caption()) << " "
      << ToUtf8(Of(t.forms, ctl::query::kTextbox2).Text()) << "\n";
  if (std::optional<xl::Range> cell = t.activeCell()) {
    const xl::Area at = cell->FirstArea();
    out << "  cell " << ToUtf8(cell->Address()) << ": " << ToUtf8(workbook::CellField(cell->Parent(), at.row1, at.col1))
        << "\n";
    if (std::optional<xl::Comment> comment = cell->Comment()) {
      Text text = comment->Text();
      std::replace(text.begin(), text.end(), u'\n', u'|');
      out << "  comment: " << ToUtf8(text) << "\n";
    }
  }
  const forms::Control& replace = Of(t.forms, ctl::query::kReplaceButton);
  out << "  buttons: Next, " << ToUtf8(replace.Caption()) << (replace.Enabled() ? "" : " (off)");
  if (Of(t.forms, ctl::query::kDiffDupsButton).Visible()) out << ", Different name";
  out << ", Close\n";
}

// The command word and the rest of the line after one blank.
std::pair<std::string, std::string> Split(const std::string& line) {
  const std::size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos) return {};
  const std::size_t end = line.find_first_of(" \t", start);
  if (end == std::string::npos) return {line.substr(start), {}};
  return {line.substr(start, end - start), line.substr(end + 1)};
}

bool Is(const std::string& word, const char* name) { return word.size() == 1 ? word[0] == name[0] : word == name; }

// Types `text` into a text box of the form, as the person would, and sends its change
// event.
void Type(const QueryFormTerminal& t, const host::ControlId& box, const std::string& text, const char16_t* event) {
  Of(t.forms, box).SetText(FromUtf8(text));
  t.send(event);
}

// One command; false when it closes the form.
bool Press(const QueryFormTerminal& t, const std::string& line) {
  const auto [word, rest] = Split(line);
  if (word.empty() || Is(word, "next")) {
    t.send(u"NextButton_Click");
  } else if (Is(word, "replace") || Is(word, "undo")) {
    forms::Control& replace = Of(t.forms, ctl::query::kReplaceButton);
    const std::string caption = ToUtf8(replace.Caption());
    if (text_order::Fold(FromUtf8(word)) != text_order::Fold(replace.Caption()).substr(0, word.size())) {
      t.out << "quillary: the button says " << caption << "\n";
    } else if (!replace.Enabled()) {
      t.out << "quillary: " << caption << " is off: nothing was found to replace yet\n";
    } else {
      if (!rest.empty() && Is(word, "replace")) Type(t, ctl::query::kTextbox2, rest, u"TextBox2Change");
      t.send(u"ReplaceButtonClick");
    }
  } else if (Is(word, "bookmark")) {
    t.send(u"PlaceBookmark_True");
  } else if (word == "x" || word == "remove") {
    t.send(u"RemoveBookmark");
  } else if (Is(word, "different")) {
    if (Of(t.forms, ctl::query::kDiffDupsButton).Visible()) {
      t.send(u"diffdupsButtonClick");
    } else {
      t.out << "quillary: the form has no Different name button now\n";
    }
  } else if (Is(word, "search")) {
    if (Of(t.forms, ctl::query::kTextbox1).Locked()) {
      t.out << "quillary: the search text cannot be changed here\n";
    } else {
      Type(t, ctl::query::kTextbox1, rest, u"TextBox1Change");
    }
  } else if (Is(word, "close")) {
    return false;
  } else {
    t.out << "quillary: no such button '" << word << "'; the commands are:\n" << kCommands;
  }
  return true;
}

}  // namespace

void RunQueryFormAtTerminal(const QueryFormTerminal& t) {
  t.out << "quillary: the Query form is shown at the terminal; the commands are:\n" << kCommands;
  std::string line;
  while (t.shown()) {
    ShowForm(t);
    t.out << "query> " << std::flush;
    if (!std::getline(t.in, line)) {
      t.out << "\nquillary: the input ended: the Query form is closed\n";
      return;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!Press(t, line)) return;
  }
  t.out << "quillary: the Query form was closed\n";
}

}  // namespace quillary::cli
