// The in-memory spreadsheet application: a complete backend of the interfaces in
// platform/excel/excel.h that keeps everything in memory. This header is its public
// face: making the application and its workbooks, what a typed text becomes, failure
// injection and inspection for tests, and the file access of the workbook files'
// readers and writers. The objects themselves lie in internal/.
//
// A new application has no workbook (ActiveWorkbook is Nothing) until Workbooks.Add
// or AddWorkbook makes one ("Book1" with "Sheet1" and one window).
//
// Value entry (Range.Value = v, Range.Formula = text), as the application types it in
// (in its en-US settings):
// - Empty and Null clear the cell; numbers, booleans and error values are stored as
//   they are.
// - A text beginning with "'" stores the rest as text and remembers the prefix. A lone
//   "'" stores an empty text: such a cell is NOT empty (End stops on it, CountA counts
//   it, Find with LookAt xlPart finds it) and reads back as "" of type String.
// - "" clears the cell.
// - Under the NumberFormat "@" every other text is stored as it is.
// - A text beginning with "=" (and longer than "=") is a formula: HasFormula is True,
//   Formula returns it; only literal formulas evaluate (="text", =12, =TRUE), any
//   other reads as the #NAME? error value. A formula loaded from a file with the value
//   the file holds for it (StoreCells) reads that value instead.
// - "TRUE" and "FALSE" in any case become booleans.
// - An error value's text in any case ("#N/A", "#DIV/0!", "#VALUE!", "#REF!",
//   "#NAME?", "#NUM!", "#NULL!") becomes that error value.
// - A number typed as text (blanks around, a sign, digits, a decimal point, an
//   exponent: "007", " 12 ", "1.5E3") becomes a number; digits after the fifteenth
//   significant one become zeros. So do numbers with thousands separators ("1,000",
//   "-12,345.5"), percentages ("12%" is 0.12) and currency ("$5", "-$1,234.50"); a cell
//   of the General format then takes the number format the application gives them
//   ("#,##0", "0%", "0.00%", "$#,##0", "$#,##0.00", ...), and shows its number so (Find
//   in values finds "12%"). A number in parentheses is negative, as accounting writes
//   it: "(12)" is -12 (General), "(1,234.5)" -1234.5 ("#,##0.00_);(#,##0.00)", shown
//   "(1,234.50)"), "($12)" -12 ("$#,##0_);($#,##0)").
// - Dates and times are NOT recognised, on purpose: a text such as "6-10" or "1/2"
//   stays a text here, where the application would make it a date. Item lists hold
//   such texts and must read them back as they were written.
// - Texts longer than 32,767 characters are cut to 32,767 (to 32,766 when the cut
//   would split a surrogate pair, which is left out whole).
// EnteredValue tells what a typed text becomes.
//
// Find searches only the given range, also when it is one cell (the application itself
// searches the whole sheet then: the component must not rely on either). Cells that
// were never written (Empty) are never found. What may be at most 255 characters
// (Error 13 otherwise). From one search to the next the application remembers LookIn,
// LookAt, SearchOrder and MatchByte; a Find that leaves out MatchCase searches without
// regard to case. FindNext continues the last Find with all of its settings, What and
// MatchCase included (RememberedFind()).
//
// Sort, Lookup and Find without regard to case share the order of text_order.h: numbers,
// then texts, FALSE, TRUE, error values; blank cells always last. Sort is stable.
// Lookup (approximate match) passes over error values and values of another type than
// the value looked up.
//
// Protection: on a sheet with ProtectContents, writing or clearing a locked cell,
// adding or clearing a comment on a locked cell, and (without AllowFormattingCells)
// any format change raise Error 1004.
//
// Scale: a column stores 12-byte cells densely up to its last used row (a long column
// in one block reserved for the grid's height), its texts side by side in the column's
// own arena (no heap object a cell). End works on the runs of
// non-empty cells (O(log n)); a whole-value Find builds a per-column index of the folded
// value texts on first use and keeps it up to date on every write and sort. Range.Value
// of an area reads and writes the whole area in one call (ReadValues, WriteValues).
#pragma once

#include <any>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/excel/excel.h"
#include "platform/excel/memory/formats.h"

namespace quillary::xl::memory {

// kLargeGridRows x kLargeGridColumns (1,048,576 x 16,384), or kSmallGridRows x
// kSmallGridColumns (65,536 x 256).
enum class GridSize { Large, Small };

// The value a cell of the General format holds after `typed` is typed into it, by the
// entry rules above ("'abc" reads "abc", "1,000" 1000, "#N/A" the error value, a formula
// its value).
Variant EnteredValue(TextView typed);

// A cell's content as a file holds it, stored without the entry rules: a text stays a
// text whatever it looks like; a formula keeps the value the file holds for it (its
// cached value), which Value then reads. Empty type and no formula: the cell is cleared.
struct FileCell {
  VarType type = VarType::Empty;  // Number, String, Boolean, Error or Empty
  double number = 0;
  bool boolean = false;
  CellError error = CellError::NA;
  TextView text{};     // the String value
  TextView formula{};  // a formula's source ("=A1+1"), or empty
};

// The file cell of a value (and a formula's source, when it is one); its texts are views
// of `value` and `formula`.
FileCell FileCellOf(const Variant& value, TextView formula = {});

// ----- file access: what the readers and writers of workbook files reach of a sheet and
// a workbook beyond the interfaces of excel.h (a sheet or workbook of this application
// is one: dynamic_cast<FileSheet&>(sheet)) -----

class FileSheet : public Worksheet {
 public:
  // Enters typed texts down column `col` from row `row1` (one a row; empty ones clear
  // their cell) with the entry rules, in one call: how a file's column is loaded.
  // Error 1004 when they would pass the sheet's last row.
  virtual void EnterTexts(long row1, long col, std::span<const TextView> typed) = 0;
  // Stores a file's cells down column `col` from row `row1` as they are (FileCell: a
  // text stays a text, a formula keeps its cached value), in one call: how a workbook
  // file's column is loaded. Error 1004 past the sheet's last row.
  virtual void StoreCells(long row1, long col, std::span<const FileCell> cells) = 0;
  // True when the cell is a formula holding the value a file gave it (StoreCells),
  // which its Value reads in place of an evaluation.
  virtual bool CellHasCachedValue(long row, long col) = 0;

  // ----- what the sheet holds, visited sparsely (saving a workbook) -----
  // Columns 1..StoredColumns() may hold anything; those after hold nothing of their own.
  virtual long StoredColumns() const = 0;
  // The first row after `row` where column `col` holds a value, if any.
  virtual std::optional<long> NextFilledRow(long col, long row) const = 0;
  // The sheet's formats as areas of one format each, in an order that rebuilds them
  // when each is given its format with PutFormat one after another: the whole sheet's
  // format (when it is not the default), then the columns' own formats that differ from
  // it, then the stored cells that differ from their column's; equal runs of
  // neighbouring columns come as one area. Visits only what the sheet stores.
  virtual void VisitFormats(const std::function<void(const Area&, const CellFormat&)>& visit) const = 0;
  // Gives every cell of the area the format `f` in one pass (an entire column or the
  // whole sheet as SetFormat does it, for the cells to come too).
  virtual void PutFormat(const Area& area, const CellFormat& f) = 0;
  // The bands (first, last) of hidden rows, top to bottom.
  virtual std::vector<std::pair<long, long>> HiddenRowBands() const = 0;
  // The rows of their own height, and that height.
  virtual const std::map<long, double>& RowHeights() const = 0;
  // The cells holding a hyperlink, row by row, with their link.
  virtual std::vector<std::pair<CellPos, Hyperlink>> HyperlinkCells() const = 0;
  // True once columns were inserted into the sheet or deleted from it: what a file
  // holds of it by position (beside its cells) no longer lines up with them.
  virtual bool ColumnsMoved() const = 0;
  // A count that moves with every change of a cell's value or formula (entries, stored
  // cells, clears, sorts that move a cell, inserted or deleted columns): while it stands
  // still, the cells hold what they held. A cell changed and changed back counts too.
  virtual std::uint64_t CellChanges() const = 0;
};

class FileBook : public Workbook {
 public:
  // The workbook's date system: day 0 is 1904-01-01 rather than 1899-12-31. Cells hold
  // the day numbers as the file does; the files that have a date system keep it.
  virtual bool Date1904() const = 0;
  virtual void SetDate1904(bool on) = 0;
  // True once the workbook is closed (its last window closed).
  virtual bool Closed() const = 0;
  // What the file format that loaded the workbook keeps of its file for the save (the
  // package of an xlsx file, say); empty for a workbook made otherwise.
  virtual std::any& Origin() = 0;
  // What identifies the files the workbook was read from or last saved to, as they were
  // then (their sizes, times and contents), for a save over them to tell whether another
  // program changed them since; empty for a workbook made otherwise.
  virtual std::any& Source() = 0;
};

// ---------------------------------------------------------------------------------------

struct ApplicationOptions {
  // ThisWorkbook.Name: the host add-in's workbook.
  Text thisWorkbookName = u"Quillary.xlam";
  // Runs the host macros; Run raises Error 1004 without one.
  MacroRunner runner;
  // The grid of the workbooks that Workbooks.Add makes.
  GridSize grid = GridSize::Large;
};

class MemoryApplication : public Application {
 public:
  // A new workbook with the given grid (Workbooks.Add uses the options' grid).
  virtual FileBook& AddWorkbook(GridSize grid) = 0;

  // ----- set-up and inspection for tests and the host stand-in -----
  virtual void SetMacroRunner(MacroRunner runner) = 0;
  // The clipboard that Worksheet.Paste reads: a reader gives its text as a new string,
  // a viewer calls `use` with a view of the text it holds (valid during the call), so
  // that a long text is pasted without a copy of it.
  using ClipboardUse = std::function<void(TextView)>;
  using ClipboardViewer = std::function<void(const ClipboardUse& use)>;
  virtual void SetClipboardReader(std::function<Text()> reader) = 0;
  virtual void SetClipboardViewer(ClipboardViewer viewer) = 0;
  virtual void SetVersion(TextView version) = 0;
  virtual const FindSettings& RememberedFind() const = 0;
  virtual const TextToColumnsSettings& RememberedTextToColumns() const = 0;
  // What the next TextToColumns remembers from the last, as a platform may change it
  // behind the caller's back.
  virtual void SetRememberedTextToColumns(const TextToColumnsSettings& settings) = 0;
  // The recorded window arrangement.
  virtual long ArrangeStyle() const = 0;
  virtual const Text& SideBySideWith() const = 0;

  // Makes a member fail: after `afterCalls` successful calls, the next `times` calls
  // (every later call when times < 0) raise Error(number, description). Members:
  // "Worksheets.Add", "Worksheet.Name", "Worksheet.Delete", "Worksheet.Paste",
  // "Names.Add", "Range.Value", "Range.ClearContents", "Range.Find", "Range.FindNext",
  // "Range.Sort", "Range.Select", "Range.AddComment", "Range.TextToColumns",
  // "Range.Insert", "Application.Run".
  virtual void InjectFailure(std::string member, long number, std::string description, int afterCalls = 0,
                             int times = 1) = 0;
  virtual void ClearFailures() = 0;
};

std::unique_ptr<MemoryApplication> CreateApplication(ApplicationOptions options = {});

}  // namespace quillary::xl::memory
