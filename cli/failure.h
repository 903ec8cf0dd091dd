// The error the command-line host raises for its own failures: bad script lines, files
// that cannot be read or written, references it cannot resolve. Errors of the component
// and of the platform stay quillary::Error.
#pragma once

#include <stdexcept>
#include <string>

namespace quillary::cli {

class Failure : public std::runtime_error {
 public:
  explicit Failure(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace quillary::cli
