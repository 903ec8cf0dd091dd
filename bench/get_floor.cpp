// The floor of the job `quillary get` does, for the command-line host's benchmark: a
// plain program that reads the Items down column A of a sheet's CSV file (one field a
// line), counts each distinct Item, sorts them and prints each with its count, as
// `sort | uniq -c` does. Nothing else: no workbook, no sheet, no grammar.
//
// Usage: quillary_get_floor FILE.csv
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace {

bool ReadAll(const char* path, std::string& data) {
  std::FILE* f = std::fopen(path, "rb");
  if (f == nullptr) return false;
  char buffer[1 << 16];
  for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;) data.append(buffer, n);
  std::fclose(f);
  return true;
}

// The first field of a CSV line: as it stands, or unquoted (a doubled quote is one).
std::string_view Field(std::string_view line, std::string& scratch) {
  if (line.empty() || line.front() != '"') return line.substr(0, line.find(','));
  scratch.clear();
  for (std::size_t i = 1; i < line.size(); ++i) {
    if (line[i] == '"') {
      if (i + 1 < line.size() && line[i + 1] == '"') {
        scratch += '"';
        ++i;
        continue;
      }
      break;
    }
    scratch += line[i];
  }
  return scratch;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s FILE.csv\n", argv[0]);
    return 2;
  }
  std::string data;
  if (!ReadAll(argv[1], data)) {
    std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
    return 1;
  }
  std::unordered_map<std::string, std::uint64_t> counts;
  std::string scratch;
  std::size_t start = 0;
  while (start < data.size()) {
    std::size_t end = data.find('\n', start);
    if (end == std::string::npos) end = data.size();
    std::string_view line(data.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) ++counts[std::string(Field(line, scratch))];
    start = end + 1;
  }
  std::vector<std::pair<std::string_view, std::uint64_t>> sorted(counts.begin(), counts.end());
  std::sort(sorted.begin(), sorted.end());
  std::string out;
  char count[32];
  for (const auto& [item, n] : sorted) {
    std::snprintf(count, sizeof count, "%7llu ", static_cast<unsigned long long>(n));
    out += count;
    out += item;
    out += '\n';
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
