// Cell texts from outside: the text rules of the result-sheet actions on any text (UTF-8,
// invalid sequences replaced): a netlist line cleaned, a list cell split into Items, a
// joined Items text tidied, and a cell's words turned with and without a title filter,
// whose entries come from the input too. Each result is checked against what the rule
// promises; a broken promise or an Error is a finding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "actions/last_word_first.h"
#include "actions/netlist.h"
#include "actions/row_expand.h"
#include "actions/rows_reduce.h"
#include "fuzz/shared_bench.h"
#include "host/controls.h"

namespace {

void Check(bool promise) {
  if (!promise) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillary;
  if (size == 0) return 0;
  const std::uint8_t options = data[0];
  const Text text = FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));

  // A cleaned netlist line holds no blank; it begins with ";" only when it continues a
  // net or began with one.
  const Text line = actions::CleanNetlistLine(text, options % 8);
  Check(line.find(u' ') == Text::npos);
  Check(actions::NetlistIndent(text) <= text.size());

  // A list cell gives at least one Item, none holding a comma or a line feed.
  for (const Text& item : actions::ExpandItems(text)) {
    Check(item.find(u',') == Text::npos && item.find(u'\n') == Text::npos);
  }

  testkit::Bench& b = fuzz::SharedBench();
  b.Control(host::ctl::main::kIgnoreIndex).SetValue((options & 8) != 0);
  b.Control(host::ctl::main::kCommaSpace).SetValue((options & 16) != 0);
  b.BeginRequest(host::ModeId::kReduceRowsToOne);
  // A tidied text never grows but by the blanks the comma-space option puts after
  // commas.
  Text joined = text;
  actions::Clean_RefDes(b.state, joined);
  if ((options & 24) != 16)
    Check(joined.size() <= text.size() + 2 * static_cast<std::size_t>(std::count(text.begin(), text.end(), u'\x1F')));

  // The words turned: never longer than the text they came from (a blank added after a
  // period and the second person's surname aside, which only the filter adds).
  const Text turned = actions::LastWordFirst(text, u",");
  Check(turned.size() <= text.size() + 1);
  const std::size_t cut = text.find(u'|');
  const Text filter = u"," + (cut == Text::npos ? Text(u"mr") : text.substr(0, cut)) + u",";
  static_cast<void>(actions::LastWordFirst(text, filter));
  return 0;
}
