#include "cli/csv.h"

#include "cli/failure.h"

namespace quillary::cli {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// Reads the records of `data` one field at a time.
class CsvReader {
 public:
  explicit CsvReader(std::string_view data) : data_(data) {
    if (data_.starts_with(kUtf8Bom)) pos_ = kUtf8Bom.size();
  }

  bool AtEnd() const { return pos_ >= data_.size(); }

  // Reads the fields of one record into `fields`, consuming its line break.
  void ReadRecord(std::vector<Text>& fields) {
    fields.clear();
    for (;;) {
      fields.push_back(FromUtf8(ReadField()));
      if (AtEnd()) return;
      const char c = data_[pos_++];
      if (c == ',') continue;
      if (c == '\r' && pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
      ++line_;
      return;
    }
  }

 private:
  static bool EndsField(char c) { return c == ',' || c == '\n' || c == '\r'; }

  // The field's bytes; stops before the comma or line break that ends it.
  std::string ReadField() {
    std::string field;
    if (pos_ < data_.size() && data_[pos_] == '"') {
      ReadQuoted(field);
    }
    while (pos_ < data_.size() && !EndsField(data_[pos_])) field += data_[pos_++];
    return field;
  }

  void ReadQuoted(std::string& field) {
    const long startLine = line_;
    ++pos_;
    for (;;) {
      if (pos_ >= data_.size()) {
        throw Failure("CSV: the quoted field opened on line " + std::to_string(startLine) + " is never closed");
      }
      const char c = data_[pos_++];
      if (c == '"') {
        if (pos_ < data_.size() && data_[pos_] == '"') {
          field += '"';
          ++pos_;
          continue;
        }
        return;
      }
      if (c == '\n') ++line_;
      field += c;
    }
  }

  std::string_view data_;
  std::size_t pos_ = 0;
  long line_ = 1;
};

bool NeedsQuotes(TextView field) {
  if (field.empty()) return false;
  if (field.find_first_of(u",\"\r\n") != TextView::npos) return true;
  return field.front() == u' ' || field.back() == u' ' || field.front() == u'\xFEFF';
}

}  // namespace

void ReadCsv(std::string_view data, const std::function<void(std::vector<Text>&)>& record) {
  CsvReader reader(data);
  std::vector<Text> fields;
  while (!reader.AtEnd()) {
    reader.ReadRecord(fields);
    record(fields);
  }
}

void AppendCsvRecord(std::string& out, std::span<const Text> fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    const std::string utf8 = ToUtf8(fields[i]);
    if (!NeedsQuotes(fields[i])) {
      out += utf8;
      continue;
    }
    out += '"';
    for (const char c : utf8) {
      if (c == '"') out += '"';
      out += c;
    }
    out += '"';
  }
  out += "\r\n";
}

}  // namespace quillary::cli
