// The name a person most likely meant: for a word that names nothing (an Action list
// entry, a routine), the known name nearest to it.
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace quillary::cli {

// The names that equal `word` without regard to case.
std::vector<std::string> SameButCase(std::string_view word, std::span<const std::string> names);

// The name nearest to `word` by the edits (a character added, dropped or changed, case
// not counted) that turn one into the other, when it takes at most a third of the
// name's length in edits and no other name is as near; else nothing.
std::optional<std::string> NearestName(std::string_view word, std::span<const std::string> names);

}  // namespace quillary::cli
