// A netlist from outside text: each line of the input (UTF-8, invalid sequences
// replaced) goes into a cell of column A as a netlist line, and the netlist conversion
// runs on them with every routine of this build, its questions taking their default
// answers. The first byte picks the Sort and MatchCase options. Refusals and messages
// are answers, not errors: an Error raised by the component is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "actions/netlist.h"
#include "drivers/routines.h"
#include "host/controls.h"
#include "items/list_sheet.h"
#include "testkit/bench.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillary;
  if (size == 0) return 0;
  testkit::Bench b;
  b.routines = drivers::BuildRoutines();
  b.addin.SetStrict(false);
  const std::uint8_t options = data[0];
  const Text text = FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  xl::Worksheet& sheet = b.book->ActiveSheet();
  long row = 1;
  for (std::size_t start = 0; start <= text.size() && row <= 64; ++row) {
    std::size_t end = text.find(u'\n', start);
    if (end == Text::npos) end = text.size();
    const Text line = text.substr(start, end - start);
    if (!line.empty()) items::WriteText(sheet.Cells(row, 1), line);
    start = end + 1;
  }
  b.Control(host::ctl::main::kIgnoreIndex).SetValue(true);
  b.Control(host::ctl::main::kSort).SetValue((options & 1) != 0);
  b.Control(host::ctl::main::kMatchCase).SetValue((options & 2) != 0);
  b.BeginRequest(host::ModeId::kNetlistConvert);
  sheet.Range(sheet.Cells(1, 1), sheet.Cells(row, 1)).Select();
  actions::CnvrtNetTelesis(b.state);
  return 0;
}
