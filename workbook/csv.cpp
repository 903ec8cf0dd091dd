#include "workbook/csv.h"

#include <algorithm>

#include "workbook/failure.h"

namespace quillary::workbook {

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

bool NeedsQuotes(TextView field) {
  if (field.empty()) return false;
  if (field.find_first_of(u",\"\r\n") != TextView::npos) return true;
  return field.front() == u' ' || field.back() == u' ' || field.front() == u'\xFEFF';
}

}  // namespace

CsvScanner::CsvScanner(std::string_view data, char separator)
    : data_(data), separator_(separator), ends_{separator, '\r', '\n'} {
  if (data_.starts_with(kUtf8Bom)) pos_ = kUtf8Bom.size();
}

bool CsvScanner::Next(std::string_view& field, bool& endsRecord) {
  if (pos_ >= data_.size()) return false;
  if (data_[pos_] == '"') {
    ReadQuoted(field);
  } else {
    const std::size_t end = data_.find_first_of(std::string_view(ends_.data(), ends_.size()), pos_);
    field = data_.substr(pos_, end == std::string_view::npos ? std::string_view::npos : end - pos_);
    pos_ = end == std::string_view::npos ? data_.size() : end;
  }
  endsRecord = true;
  if (pos_ >= data_.size()) return true;
  const char c = data_[pos_++];
  if (c == separator_) {
    // After a separator at the very end of the data the record still has an empty field,
    // which the caller adds (Next returns false next).
    endsRecord = false;
    return true;
  }
  if (c == '\r' && pos_ < data_.size() && data_[pos_] == '\n') ++pos_;
  ++line_;
  return true;
}

// A quoted field, and anything after its closing quote up to the separator or line break.
void CsvScanner::ReadQuoted(std::string_view& field) {
  const long startLine = line_;
  ++pos_;
  const std::size_t start = pos_;
  bool plain = true;  // no doubled quote so far: the field is a view of the data
  for (;;) {
    if (pos_ >= data_.size()) {
      throw Failure("CSV: the quoted field opened on line " + std::to_string(startLine) + " is never closed");
    }
    const char c = data_[pos_++];
    if (c == '"') {
      if (pos_ < data_.size() && data_[pos_] == '"') {
        if (plain) {
          unescaped_.assign(data_.substr(start, pos_ - start));
          plain = false;
        } else {
          unescaped_ += '"';
        }
        ++pos_;
        continue;
      }
      break;
    }
    if (c == '\n') ++line_;
    if (!plain) unescaped_ += c;
  }
  const std::size_t closing = pos_ - 1;
  std::size_t end = pos_;
  while (end < data_.size() && data_[end] != separator_ && data_[end] != '\n' && data_[end] != '\r') ++end;
  if (plain && end == pos_) {
    field = data_.substr(start, closing - start);
  } else {
    if (plain) unescaped_.assign(data_.substr(start, closing - start));
    unescaped_.append(data_.substr(pos_, end - pos_));
    field = unescaped_;
  }
  pos_ = end;
}

void ReadCsv(std::string_view data, const std::function<void(std::vector<Text>&)>& record) {
  CsvScanner scanner(data);
  std::vector<Text> fields;
  std::string_view field;
  bool endsRecord = false;
  bool open = false;
  while (scanner.Next(field, endsRecord)) {
    fields.push_back(FromUtf8(field));
    open = !endsRecord;
    if (endsRecord) {
      record(fields);
      fields.clear();
    }
  }
  // "a," at the very end: the record ends with an empty field.
  if (open) {
    fields.emplace_back();
    record(fields);
  }
}

void AppendCsvField(std::string& out, TextView field) {
  if (!NeedsQuotes(field) && std::all_of(field.begin(), field.end(), [](char16_t c) { return c < 0x80; })) {
    // The common plain ASCII field, without a string of its own.
    for (const char16_t c : field) out += static_cast<char>(c);
    return;
  }
  const std::string utf8 = ToUtf8(field);
  if (!NeedsQuotes(field)) {
    out += utf8;
    return;
  }
  out += '"';
  for (const char c : utf8) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

void AppendCsvRecord(std::string& out, std::span<const Text> fields) {
  for (std::size_t i = 0; i < fields.size(); ++i) {
    if (i > 0) out += ',';
    AppendCsvField(out, fields[i]);
  }
  out += "\r\n";
}

}  // namespace quillary::workbook
