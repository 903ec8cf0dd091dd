// Inputs of fuzz targets that are several files in one: the parts between NUL bytes.
#pragma once

#include <string_view>
#include <vector>

namespace quillary::fuzz {

// The parts of `input` between its NUL bytes, in order (one part when it has none).
inline std::vector<std::string_view> PartsAtNul(std::string_view input) {
  std::vector<std::string_view> parts;
  for (std::string_view rest = input;;) {
    const std::size_t cut = rest.find('\0');
    parts.push_back(rest.substr(0, cut));
    if (cut == std::string_view::npos) return parts;
    rest.remove_prefix(cut + 1);
  }
}

}  // namespace quillary::fuzz
