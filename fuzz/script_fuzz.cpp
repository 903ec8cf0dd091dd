// Scripts of the command-line host: any bytes are parsed as a script (with two
// arguments), which either gives commands or raises the host's Failure.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "cli/script.h"
#include "workbook/failure.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::vector<std::string> args{"first", "second"};
  try {
    (void)quillary::cli::ParseScript(text, args);
  } catch (const quillary::workbook::Failure&) {
    // A script the parser refuses, with its reason: the expected outcome for most inputs.
  }
  return 0;
}
