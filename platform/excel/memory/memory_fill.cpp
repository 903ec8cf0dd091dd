// AutoFill, DataSeries, TextToColumns and Paste of the in-memory worksheet.
#include <algorithm>

#include "platform/excel/memory/internal/objects.h"
#include "platform/runtime/error.h"
#include "platform/runtime/phases.h"

namespace quillary::xl::memory {

namespace {

// Splits a line at the delimiters of the settings, handing each field to `visit` as a
// view: of the line itself, or (for a field with quotes) of a text made for it. With the
// double-quote qualifier a field that begins with a quote runs to its closing quote
// ("" stands for a quote).
template <class Visit>
void ForEachField(TextView line, const TextToColumnsSettings& s, Visit&& visit) {
  auto isDelimiter = [&](char16_t c) {
    return (s.Tab && c == u'\t') || (s.Semicolon && c == u';') || (s.Comma && c == u',') || (s.Space && c == u' ') ||
           (s.Other && !s.OtherChar.empty() && c == s.OtherChar[0]);
  };
  Text built;  // the field, once a quote made it differ from the line
  bool usesBuilt = false;
  std::size_t start = 0;  // where the field began in the line
  std::size_t emitted = 0;
  std::size_t i = 0;
  bool fieldStart = true;
  const auto current = [&] { return usesBuilt ? TextView(built) : line.substr(start, i - start); };
  while (i < line.size()) {
    const char16_t c = line[i];
    if (fieldStart && c == u'"' && s.TextQualifier == xlTextQualifierDoubleQuote) {
      built.assign(line.substr(start, i - start));
      usesBuilt = true;
      ++i;
      while (i < line.size()) {
        if (line[i] == u'"') {
          if (i + 1 < line.size() && line[i + 1] == u'"') {
            built += u'"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        built += line[i++];
      }
      fieldStart = false;
      continue;
    }
    if (isDelimiter(c)) {
      // Consecutive delimiters count as one (after the first field) when asked.
      if (!(s.ConsecutiveDelimiter && fieldStart && emitted > 0)) {
        visit(current());
        ++emitted;
      }
      built.clear();
      usesBuilt = false;
      start = ++i;
      fieldStart = true;
      continue;
    }
    if (usesBuilt) built += c;
    fieldStart = false;
    ++i;
  }
  visit(current());
}

}  // namespace

void MemoryWorksheet::AutoFill(const Area& source, const Area& destination) {
  Live();
  CheckArea(source);
  CheckArea(destination);
  const bool down = destination.row1 == source.row1 && destination.col1 == source.col1 &&
                    destination.col2 == source.col2 && destination.row2 >= source.row2;
  const bool right = destination.row1 == source.row1 && destination.col1 == source.col1 &&
                     destination.row2 == source.row2 && destination.col2 >= source.col2;
  if (!down && !right) Raise(err::kApplication, "AutoFill method of Range class failed");
  CheckWritable(destination, "Range.AutoFill");
  // One series per column (down) or per row (right).
  const long lines = down ? source.Columns() : source.Rows();
  const long seeds = down ? source.Rows() : source.Columns();
  const long length = down ? destination.Rows() : destination.Columns();
  for (long l = 0; l < lines; ++l) {
    auto at = [&](long k) {
      return down ? CellPos{source.row1 + k, source.col1 + l} : CellPos{source.row1 + l, source.col1 + k};
    };
    std::vector<Variant> values;
    std::vector<Text> formulas;
    bool numeric = true;
    for (long k = 0; k < seeds; ++k) {
      CellPos p = at(k);
      values.push_back(CellValue(p.row, p.col));
      formulas.push_back(CellFormula(p.row, p.col));
      numeric = numeric && values.back().IsNumber();
    }
    const double first = numeric ? values.front().AsNumber() : 0;
    const double step = numeric && seeds > 1 ? (values.back().AsNumber() - first) / static_cast<double>(seeds - 1) : 0;
    for (long k = seeds; k < length; ++k) {
      CellPos p = at(k);
      if (numeric) {
        EnterCell(p.row, p.col, first + step * static_cast<double>(k));
      } else {
        EnterCell(p.row, p.col, Variant(formulas[static_cast<std::size_t>(k % seeds)]));
      }
    }
  }
}

void MemoryWorksheet::DataSeries(const Area& area, const DataSeriesArgs& args) {
  Live();
  CheckArea(area);
  if (args.Type != xlLinear || (args.Rowcol != xlColumns && args.Rowcol != xlRows) || args.Step == 0) {
    Raise(err::kApplication, "DataSeries method of Range class failed");
  }
  const bool down = args.Rowcol == xlColumns;
  const long lines = down ? area.Columns() : area.Rows();
  // Each line's series: its start and how many cells follow it. Nothing is filled unless
  // every cell of every series may be changed.
  struct Series {
    long row, col;
    double start;
    long count;
  };
  std::vector<Series> series;
  for (long l = 0; l < lines; ++l) {
    const long row = down ? area.row1 : area.row1 + l;
    const long col = down ? area.col1 + l : area.col1;
    Variant start = CellValue(row, col);
    if (!start.IsNumber()) continue;
    // A one-cell-long selection extends up to Stop; a longer one is filled within itself.
    const long inSelection = down ? area.Rows() : area.Columns();
    const long limit = inSelection > 1 ? inSelection : (down ? rows_ - row + 1 : cols_ - col + 1);
    if (inSelection == 1 && !args.Stop) continue;
    long count = 0;
    for (long k = 1; k < limit; ++k, ++count) {
      const double v = start.AsNumber() + args.Step * static_cast<double>(k);
      if (args.Stop && (args.Step > 0 ? v > *args.Stop : v < *args.Stop)) break;
    }
    if (count == 0) continue;
    series.push_back({row, col, start.AsNumber(), count});
    CheckWritable(down ? Area{row + 1, col, row + count, col} : Area{row, col + 1, row, col + count},
                  "Range.DataSeries");
  }
  for (const Series& one : series) {
    for (long k = 1; k <= one.count; ++k) {
      const double v = one.start + args.Step * static_cast<double>(k);
      if (down) {
        EnterCell(one.row + k, one.col, v);
      } else {
        EnterCell(one.row, one.col + k, v);
      }
    }
  }
}

void MemoryWorksheet::TextToColumns(const Area& area, const TextToColumnsArgs& args) {
  Live();
  CheckArea(area);
  book_.App().CheckFailure("Range.TextToColumns");
  if (args.DataType != xlDelimited || area.col1 != area.col2) {
    Raise(err::kApplication, "TextToColumns method of Range class failed");
  }
  TextToColumnsSettings& s = book_.App().TextToColumnsState();
  s.Tab = args.Tab;
  s.Semicolon = args.Semicolon;
  s.Comma = args.Comma;
  s.Space = args.Space;
  s.Other = args.Other;
  s.OtherChar = args.OtherChar;
  s.TextQualifier = args.TextQualifier;
  s.ConsecutiveDelimiter = args.ConsecutiveDelimiter;
  if (CountFilled(area) == 0) Raise(err::kApplication, "No data was selected to parse.");
  CheckWritable(area, "Range.TextToColumns");

  auto formatOf = [&](long field) {
    for (const auto& [column, format] : args.FieldInfo) {
      if (column == field) return format;
    }
    return xlGeneralFormat;
  };
  Column* source = Col(area.col1);
  std::vector<long> rows;
  for (auto r = source->NextFilled(area.row1 - 1); r && *r <= area.row2; r = source->NextFilled(*r)) rows.push_back(*r);
  // Each row's fields go to the cells from the area's column on: nothing is split
  // unless all of them lie on the sheet and may be changed.
  for (long r : rows) {
    long field = 0, written = 0;
    ForEachField(internal::DisplayText(source->Value(r)), s, [&](TextView) {
      if (formatOf(++field) != xlSkipColumn) ++written;
    });
    if (written == 0) continue;
    const long last = area.col1 + written - 1;
    if (last > cols_) Raise(err::kApplication, "TextToColumns method of Range class failed");
    CheckWritable({r, area.col1, r, last}, "Range.TextToColumns");
  }
  for (long r : rows) {
    const Text text = internal::DisplayText(source->Value(r));
    long col = area.col1;
    long field = 0;
    ForEachField(text, s, [&](TextView f) {
      const long format = formatOf(++field);
      if (format == xlSkipColumn) return;
      if (format == xlTextFormat) FormatCells({r, col, r, col}, FormatKey::NumberFormat, 0, Variant(Text(u"@")));
      EnterCell(r, col, Variant(Text(f)));
      ++col;
    });
  }
}

void MemoryWorksheet::Paste(const xl::Range& destination) {
  Live();
  const phases::Scope timed("paste");
  book_.App().CheckFailure("Worksheet.Paste");
  if (&destination.Parent() != this) Raise(err::kApplication, "Paste method of Worksheet class failed");
  const auto& viewer = book_.App().Clipboard();
  if (!viewer) Raise(err::kApplication, "Paste method of Worksheet class failed");
  // The text is read where the clipboard holds it.
  viewer([&](TextView text) { PasteText(destination, text); });
}

void MemoryWorksheet::PasteText(const xl::Range& destination, TextView text) {
  if (text.empty()) Raise(err::kApplication, "Paste method of Worksheet class failed");
  const TextToColumnsSettings& s = book_.App().TextToColumnsState();
  const long top = destination.Row(), left = destination.Column();
  long row = top, right = left;
  // Each line of the text, split into fields, one row down from the last; a field
  // longer than a cell holds continues in the cells below it. The first pass only
  // checks that every cell lies on the sheet and may be changed, so that a refused
  // paste changes nothing.
  bool write = false;
  const auto pasteLine = [&](TextView line) {
    long height = 1;
    long col = left;
    ForEachField(line, s, [&](TextView f) {
      long chunks = 0;
      if (!write) {
        internal::ForEachCellPiece(f, [&](TextView) { ++chunks; });
        if (col > cols_ || row + chunks - 1 > rows_) Raise(err::kApplication, "Paste method of Worksheet class failed");
        CheckWritable({row, col, row + chunks - 1, col}, "Worksheet.Paste");
      } else {
        Column& cells = EnsureCol(col);
        internal::ForEachCellPiece(f, [&](TextView piece) { cells.EnterTyped(row + chunks++, piece); });
      }
      height = std::max(height, chunks);
      right = std::max(right, col);
      ++col;
    });
    row += height;
  };
  const TextView all = text;
  for (const bool pass : {false, true}) {
    write = pass;
    row = top;
    right = left;
    std::size_t start = 0;
    for (std::size_t i = 0; i < all.size(); ++i) {
      if (all[i] == u'\n' || all[i] == u'\r') {
        pasteLine(all.substr(start, i - start));
        if (all[i] == u'\r' && i + 1 < all.size() && all[i + 1] == u'\n') ++i;
        start = i + 1;
      }
    }
    if (start < all.size()) pasteLine(all.substr(start));
  }
  selection_ = WidenToMerges({Area{top, left, std::max(top, row - 1), right}});
  active_ = {top, left};
}

}  // namespace quillary::xl::memory
