// The Query form at the terminal: while a request shows it, the person at the terminal
// sees the form's caption, labels, texts and the cell it shows, and presses its buttons
// by name. Each press or edit goes into the component as the Query event the host's
// form sends for it.
#pragma once

#include <functional>
#include <iosfwd>
#include <optional>

#include "platform/excel/excel.h"
#include "platform/forms/memory/memory_forms.h"

namespace quillary::cli {

struct QueryFormTerminal {
  std::istream& in;
  std::ostream& out;
  forms::HostFormSet& forms;
  // Sends one Query event into the component.
  std::function<void(const Text& event)> send;
  // Whether the host still shows the Query form (an event may close it).
  std::function<bool()> shown;
  // The cell the application shows, if any.
  std::function<std::optional<xl::Range>()> activeCell;
};

// Shows the form and takes presses until the person closes it, the input ends or an
// event closes the form. The commands (a button by the word on it or its first letter):
//   n | next                  Next
//   r | replace [TEXT]        the Replace button (its caption says Replace or Undo); a
//   u | undo                  TEXT first becomes the replacement text
//   b | bookmark              places a bookmark on the found cell
//   x | remove                removes the found cell's bookmark
//   d | different             Different name (while that button is shown)
//   s | search TEXT           types TEXT as the search text (while it may be edited)
//   c | close                 closes the form
// Anything else is answered with the list of commands.
void RunQueryFormAtTerminal(const QueryFormTerminal& t);

}  // namespace quillary::cli
