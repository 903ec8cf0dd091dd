// Outside text on its way into the worksheet: any bytes (UTF-8, invalid sequences
// replaced) are the Active Window's text or the clipboard's, swapped between one line
// and one Item per line, then pasted safely at the cursor. The first byte picks the
// source, the Item mode and the options. Refusals are messages, not errors: an Error
// raised by the component is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "drivers/paste_to_cursor.h"
#include "drivers/routines.h"
#include "fuzz/shared_bench.h"
#include "host/controls.h"
#include "services/swap_display.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillary;
  if (size == 0) return 0;
  testkit::Bench& b = fuzz::SharedBench();
  if (!b.routines.PasteToCurs) b.routines = drivers::BuildRoutines();
  const std::uint8_t options = data[0];
  const bool fromClipboard = (options & 1) != 0;
  b.Control(host::ctl::main::kIgnoreIndex).SetValue((options & 2) != 0);
  b.Control(host::ctl::main::kCommaSpace).SetValue((options & 4) != 0);
  const Text text = FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  xl::Worksheet& sheet = b.Sheet(u"Sheet1");
  sheet.UsedRange().ClearContents();
  b.addin.ClearLog();

  b.Control(host::ctl::main::kTextbox1).SetValue(text);
  if ((options & 8) != 0) {
    b.BeginRequest();
    services::SwapActiveWindow(b.state);
  }
  b.services.clipboard.SetText(text);
  sheet.Range(u"B2").Select();
  b.addin.QueueBigMsgAnswer(fromClipboard ? 2 : 1);
  b.BeginRequest(u"Paste Safe To Cursor");
  drivers::PasteToCurs(b.state);
  return 0;
}
