// The error the workbook files and the command-line host raise for their own failures:
// files that cannot be read or written, bad script lines, references that cannot be
// resolved. Errors of the component and of the platform stay quillary::Error.
#pragma once

#include <stdexcept>
#include <string>

namespace quillary::workbook {

class Failure : public std::runtime_error {
 public:
  // A NUL byte of the message (of a word the user gave, say) shows as "\0": what() is
  // read up to the first one.
  explicit Failure(const std::string& message) : std::runtime_error(WithoutNul(message)) {}

 private:
  static std::string WithoutNul(const std::string& message) {
    if (message.find('\0') == std::string::npos) return message;
    std::string shown;
    for (const char c : message) {
      if (c == '\0') {
        shown += "\\0";
      } else {
        shown += c;
      }
    }
    return shown;
  }
};

}  // namespace quillary::workbook
