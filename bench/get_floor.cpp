// The floor of the job `quillary get` does, for the command-line host's benchmark: a
// plain program that reads the Items down column A of a sheet's CSV file (one field a
// line), counts each distinct Item, sorts them and prints each with its count, as
// `sort | uniq -c` does. Nothing else: no workbook, no sheet, no grammar.
//
// Usage: quillary_get_floor FILE.csv
#include <algorithm>
#include <cstdio>
#include <deque>
#include <string>
#include <string_view>
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
  // The fields, sorted; a run of equal ones is one Item and its count.
  std::deque<std::string> unquoted;  // fields that were quoted, unquoted (they stay put)
  std::vector<std::string_view> fields;
  std::string scratch;
  std::size_t start = 0;
  while (start < data.size()) {
    std::size_t end = data.find('\n', start);
    if (end == std::string::npos) end = data.size();
    std::string_view line(data.data() + start, end - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    if (!line.empty()) {
      const std::string_view field = Field(line, scratch);
      if (field.data() == scratch.data()) {
        unquoted.push_back(scratch);
        fields.push_back(unquoted.back());
      } else {
        fields.push_back(field);
      }
    }
    start = end + 1;
  }
  std::sort(fields.begin(), fields.end());
  std::string out;
  char count[32];
  for (std::size_t i = 0; i < fields.size();) {
    std::size_t j = i + 1;
    while (j < fields.size() && fields[j] == fields[i]) ++j;
    std::snprintf(count, sizeof count, "%7llu ", static_cast<unsigned long long>(j - i));
    out += count;
    out += fields[i];
    out += '\n';
    i = j;
  }
  std::fwrite(out.data(), 1, out.size(), stdout);
  return 0;
}
