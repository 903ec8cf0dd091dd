// Items from outside text: any bytes (UTF-8, invalid sequences replaced) are read into
// an Item list as the Active Window text is, then sorted, counted and shown. The first
// byte picks the Item mode and the options. Faults and limits are answers, not errors:
// an Error raised by the component is a finding.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/shared_bench.h"
#include "host/controls.h"
#include "host/working_sheet.h"
#include "items/put_text.h"
#include "items/sort_count.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillary;
  if (size == 0) return 0;
  testkit::Bench& b = fuzz::SharedBench();
  const std::uint8_t options = data[0];
  b.Control(host::ctl::main::kIgnoreIndex).SetValue((options & 1) != 0);
  b.Control(host::ctl::main::kExpandRanges).SetValue((options & 2) != 0);
  b.Control(host::ctl::main::kSort).SetValue((options & 4) != 0);
  b.Control(host::ctl::main::kCommaSpace).SetValue((options & 8) != 0);
  b.BeginRequest();
  host::InitPlace(b.state, host::kList2);
  const items::RequestOptions itemOptions =
      items::OptionsFor(b.state.request.vbaMode.Traits(), b.state.compare.CompareStep);
  Text text = FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  const auto fault = items::ItemsPutText(b.state, itemOptions, text, host::kList1);
  if (!fault || *fault == items::fault::kNone) {
    (void)items::ItemsSortCntDsply(b.state, itemOptions, host::kList1);
  }
  return 0;
}
