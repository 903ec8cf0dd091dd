// Range: a worksheet and one or more areas of it, in selection order.
//
// A Range is a small copyable value made afresh for every cell access; it does all its
// geometry itself (sizes, offsets, addresses, entire rows and columns) and hands every
// cell operation to its Worksheet's primitives, so that any backend behaves alike.
//
// For a range of several areas, Row, Column, RowsCount, ColumnsCount, Cells, Rows,
// Columns and Value refer to the first area, as the application's do; Count, Address,
// SetValue, ClearContents and the format setters cover every area.
//
// Also here: column letters, A1 and R1C1 address formatting and parsing.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "platform/excel/excel.h"
#include "platform/runtime/value.h"

namespace quillary::xl {

class Font;
class Interior;
class Borders;
class Comment;

class Range {
 public:
  Range(Worksheet& sheet, const Area& area);
  // `areas` must not be empty.
  Range(Worksheet& sheet, std::vector<Area> areas);

  // ----- identity and geometry -----
  Worksheet& Parent() const { return *sheet_; }
  std::span<const Area> AreaList() const;
  const Area& FirstArea() const { return first_; }

  long Row() const { return first_.row1; }
  long Column() const { return first_.col1; }
  long RowsCount() const { return first_.Rows(); }
  long ColumnsCount() const { return first_.Columns(); }
  // Cells in all areas (overlaps counted once per area, as the application counts).
  std::int64_t Count() const;
  long AreasCount() const;
  // Areas(i), 1-based; Error 1004 when out of range.
  Range Areas(long index) const;

  // Every area moved by the offset; Error 1004 when any cell would leave the sheet.
  Range Offset(long rows, long cols) const;
  // The cell at (row, col) counted from the first area's top-left cell (1, 1); it may
  // lie outside the range. Error 1004 outside the sheet.
  Range Cells(long row, long col) const;
  // Row i and column i of the first area (1-based, may lie beyond it).
  Range Rows(long index) const;
  Range Columns(long index) const;
  Range EntireRow() const;
  Range EntireColumn() const;
  bool IsEntireColumns() const;
  bool IsEntireRows() const;

  // Absolute A1 address without the sheet: "$B$7", "$A$1:$C$9", "$A:$C", "$3:$5",
  // several areas joined with ",".
  Text Address() const;

  // Same sheet and same areas in the same order.
  friend bool operator==(const Range& a, const Range& b);

  // ----- values -----
  // The value of the first cell.
  Variant Value() const;
  // Writes the value to every cell with the application's entry rules (see memory
  // backend): "'" prefix text, "" clears, numeric texts become numbers, "=" formulas.
  void SetValue(const Variant& value) const;
  // The first area's values, row by row (Value of a multi-cell range: one read of the
  // whole area). The second form reuses `out`'s storage.
  std::vector<Variant> Values() const;
  void Values(std::vector<Variant>& out) const;
  // Writes the first area's cells row by row from `values` in one write; Error
  // 1004 unless `values` has one value a cell of the first area.
  void SetValues(std::span<const Variant> values) const;
  // The first cell's formula, or for a constant its value as text ("'" kept).
  Text Formula() const;
  // As SetValue with a text.
  void SetFormula(TextView formula) const;
  // True when every cell of the range holds a formula.
  bool HasFormula() const;
  void ClearContents() const;
  void ClearFormats() const;
  void ClearComments() const;

  // ----- navigation and search -----
  // Ctrl+arrow from the first cell: xlDown, xlUp, xlToRight, xlToLeft.
  Range End(long direction) const;
  // Nothing when no cell of this range matches.
  std::optional<Range> Find(const FindArgs& args) const;
  // Continues the last Find (its What and settings) over this range after `after`
  // (default: this range's first cell) and wraps round.
  std::optional<Range> FindNext(const Range* after = nullptr) const;
  // Sorts the rows of the first area.
  void Sort(const SortArgs& args) const;

  // ----- merged cells, selection -----
  // The merged area holding the first cell, or that cell itself.
  Range MergeArea() const;
  // True when the first cell is part of a merged area.
  bool MergeCells() const;
  void SetMergeCells(bool merged) const;
  void Merge() const;
  void UnMerge() const;
  // Makes the range the selection of its sheet (grown to cover the merged areas it
  // touches) and its first cell the active cell; activates the sheet.
  void Select() const;
  // Inside the selection only the active cell moves (to the first cell); outside, the
  // range (its first area) becomes the selection with its first cell active.
  void Activate() const;

  // ----- protection and visibility -----
  // True, False, or Null when the cells differ.
  Variant Locked() const;
  void SetLocked(bool locked) const;
  // Of entire rows or entire columns: True, False or Null. Error 1004 for other ranges.
  Variant Hidden() const;
  void SetHidden(bool hidden) const;

  // ----- formats -----
  xl::Font Font() const;
  xl::Interior Interior() const;
  // Borders (all edges and inside lines) or Borders(index).
  xl::Borders Borders(long index = 0) const;
  Variant HorizontalAlignment() const;
  void SetHorizontalAlignment(long alignment) const;
  Variant VerticalAlignment() const;
  void SetVerticalAlignment(long alignment) const;
  Variant NumberFormat() const;
  void SetNumberFormat(TextView format) const;
  Variant WrapText() const;
  void SetWrapText(bool wrap) const;
  // Of the first area's columns (characters) and rows (points): Null when they differ.
  Variant ColumnWidth() const;
  void SetColumnWidth(double width) const;
  Variant RowHeight() const;
  void SetRowHeight(double height) const;
  // Columns.AutoFit and Rows.AutoFit over the first area.
  void AutoFitColumns() const;
  void AutoFitRows() const;
  // The first cell's position in points.
  double Left() const;
  double Top() const;
  // The width of the first area's columns in points.
  double Width() const;

  // ----- comments and hyperlinks -----
  // The first cell's comment, or Nothing.
  std::optional<xl::Comment> Comment() const;
  // Error 1004 when the first cell already has a comment.
  xl::Comment AddComment(TextView text) const;
  long HyperlinksCount() const;
  // Hyperlinks(i), 1-based; Error 9 when out of range.
  Hyperlink Hyperlinks(long index) const;

  // ----- fill and structure -----
  // Fills destination (which starts with this range) linearly from the seed cells.
  void AutoFill(const Range& destination) const;
  void DataSeries(const DataSeriesArgs& args) const;
  void AutoFilter() const;
  // Of entire columns (or the columns of the range): shifts right / left.
  void Insert() const;
  void Delete() const;
  void TextToColumns(const TextToColumnsArgs& args) const;

 private:
  Worksheet* sheet_;
  Area first_;
  std::vector<Area> all_;  // empty for a one-area range; otherwise every area
};

class Font {
 public:
  explicit Font(const Range& range) : range_(range) {}
  Variant Bold() const;
  void SetBold(bool bold) const;
  Variant ColorIndex() const;
  void SetColorIndex(long index) const;
  Variant Underline() const;
  void SetUnderline(long style) const;

 private:
  Range range_;
};

class Interior {
 public:
  explicit Interior(const Range& range) : range_(range) {}
  Variant Color() const;
  void SetColor(long color) const;
  Variant Pattern() const;
  void SetPattern(long pattern) const;

 private:
  Range range_;
};

class Borders {
 public:
  // index 0: every edge and inside line (not the diagonals).
  Borders(const Range& range, long index) : range_(range), index_(index) {}
  Variant LineStyle() const;
  void SetLineStyle(long style) const;
  Variant Weight() const;
  void SetWeight(long weight) const;

 private:
  Range range_;
  long index_;
};

// A cell's comment. The text separates lines with Chr(10).
class Comment {
 public:
  explicit Comment(const Range& cell) : cell_(cell) {}
  Range Parent() const { return cell_; }
  quillary::Text Text() const;
  void SetText(TextView text) const;
  bool Visible() const;
  void SetVisible(bool visible) const;
  // Shape.TextFrame.AutoSize.
  bool AutoSize() const;
  void SetAutoSize(bool on) const;
  // Shape.Fill.ForeColor.RGB.
  long FillColor() const;
  void SetFillColor(long color) const;
  // Shape.Top, .Left, .Width, .Height in points.
  double Top() const;
  void SetTop(double v) const;
  double Left() const;
  void SetLeft(double v) const;
  double Width() const;
  void SetWidth(double v) const;
  double Height() const;
  void SetHeight(double v) const;
  void Delete() const;

 private:
  CommentData Data() const;
  void Store(const CommentData& data) const;
  Range cell_;
};

// ---------------------------------------------------------------------------------------
// Addresses
// ---------------------------------------------------------------------------------------

// "A", "Z", "AA", ..., "XFD".
Text ColumnLetters(long col);

// "$B$7", "$A$1:$C$9", "$A:$C" (all rows), "$3:$5" (all columns).
Text AreaAddress(const Area& area, long rowsCount, long colsCount);
// "R7C2", "R1C1:R9C3", "C1:C3", "R3:R5".
Text AreaAddressR1C1(const Area& area, long rowsCount, long colsCount);

// A sheet name as a reference prefix: "Sheet1!" or "'My list'!" (quotes doubled).
Text SheetPrefix(TextView sheetName);

// A parsed reference: the sheet named in it (if any) and its areas.
struct Reference {
  std::optional<Text> sheet;
  std::vector<Area> areas;
};

// Parses "A1", "$A$1", "A1:C9", "A:C", "$3:$5", comma-separated lists of these (blanks
// around the commas allowed), with an optional leading "=" and "Sheet!" or "'Sheet'!"
// prefix. nullopt when the text is not such a reference or leaves the grid.
std::optional<Reference> ParseA1(TextView text, long rowsCount, long colsCount);
// Parses absolute R1C1 references: "R1C1", "R1C1:R5C3", "R3", "C2:C4", lists, prefixes.
std::optional<Reference> ParseR1C1(TextView text, long rowsCount, long colsCount);

// The application's rules for defined names: a letter, "_" or "\" first, then letters,
// digits, "_", ".", "?" or "\"; at most 255 characters; not a cell reference in either
// style; not "R" or "C" alone.
bool IsValidName(TextView name);

}  // namespace quillary::xl
