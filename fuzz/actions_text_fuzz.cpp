// Cell texts through the Action list's text actions: the bytes after the first (UTF-8,
// invalid sequences replaced) are cut at each 0x1E into the cells of a 4-column block,
// row by row, and one action runs on the block. The first byte picks the action (its
// low four bits) and the main form's comma-space box and Item mode. Every question takes
// its default answer. An Error raised by the component is a finding: on an unprotected
// sheet these actions have nothing to refuse.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "actions/actions.h"
#include "fuzz/shared_bench.h"
#include "host/controls.h"
#include "host/modes.h"

namespace {

using quillary::host::ModeId;

constexpr std::array kActions{
    ModeId::kPrefixSet,           ModeId::kPrefixClear,        ModeId::kPrefixAfterHyphenClear,
    ModeId::kCommaSpaceSet,       ModeId::kCommaSpaceClear,    ModeId::kCaseUpper,
    ModeId::kCaseProper,          ModeId::kNumberValues,       ModeId::kWrapTextClear,
    ModeId::kColumnsJustifyRight, ModeId::kColumnsJustifyLeft, ModeId::kHyperlinkReplaceWith,
    ModeId::kWrapTextFirmReveal};

constexpr long kColumns = 4;
constexpr long kRows = 8;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace quillary;
  if (size == 0) return 0;
  testkit::Bench& b = fuzz::SharedBench();
  b.routines.Actions = actions::Actions;
  b.addin.ClearLog();  // the runs are many: keep the host's call log short
  const std::uint8_t options = data[0];
  b.Control(host::ctl::main::kCommaSpace).SetValue((options & 0x10) != 0);
  b.Control(host::ctl::main::kIgnoreIndex).SetValue((options & 0x20) != 0);
  xl::Worksheet& sheet = b.book->ActiveSheet();
  const xl::Range block = sheet.Range(sheet.Cells(1, 1), sheet.Cells(kRows, kColumns));
  block.ClearContents();
  const Text text = FromUtf8(std::string_view(reinterpret_cast<const char*>(data + 1), size - 1));
  long cell = 0;
  for (std::size_t start = 0; start <= text.size() && cell < kRows * kColumns; ++cell) {
    std::size_t end = text.find(u'\x1E', start);
    if (end == Text::npos) end = text.size();
    if (end > start)
      sheet.Cells(1 + cell / kColumns, 1 + cell % kColumns).SetValue(Text(u"'") + text.substr(start, end - start));
    start = end + 1;
  }
  block.Select();
  b.BeginRequest(host::ModeText(kActions[(options & 0x0F) % kActions.size()]));
  actions::Actions(b.state);
  return 0;
}
