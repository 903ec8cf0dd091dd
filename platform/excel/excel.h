// The spreadsheet application as the component sees it: the constants it passes, the
// argument sets of the methods with many optional arguments, and the abstract objects
// Application, Workbook, Worksheet, Window and their collections.
//
// Every backend implements these interfaces; the component reaches the spreadsheet only
// through them. Ranges are not backend objects: `Range` (range.h) is a value type that
// holds a Worksheet and its areas, does all geometry itself, and calls the Worksheet's
// cell primitives (the last section of Worksheet) for everything that touches cells.
//
// Conventions:
// - Member names are the application's: `ActiveWorkbook()`, `Worksheets()`, `Name()`;
//   setters are `SetName(...)` and so on.
// - Rows and columns are 1-based; an Area is inclusive at both ends.
// - "Nothing" is a null pointer for objects owned by the application (Workbook*,
//   Worksheet*, Window*) and an empty std::optional for ranges.
// - Failures raise quillary::Error with the application's numbers: 1004 for refusals,
//   9 for a missing collection item, 13 for a type mismatch.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "platform/runtime/value.h"

namespace quillary::xl {

// ---------------------------------------------------------------------------------------
// Constants
// ---------------------------------------------------------------------------------------

// The application's limits and defaults.
inline constexpr std::size_t kCellTextLimit = 32767;  // characters a cell holds
inline constexpr long kLargeGridRows = 1048576;
inline constexpr long kLargeGridColumns = 16384;
inline constexpr long kSmallGridRows = 65536;
inline constexpr long kSmallGridColumns = 256;
inline constexpr double kDefaultRowHeight = 15.0;    // points
inline constexpr double kDefaultColumnWidth = 8.43;  // characters

// Range.End directions.
inline constexpr long xlDown = -4121;
inline constexpr long xlUp = -4162;
inline constexpr long xlToRight = -4161;
inline constexpr long xlToLeft = -4159;

// Find: LookIn, LookAt, SearchOrder, SearchDirection.
inline constexpr long xlValues = -4163;
inline constexpr long xlFormulas = -4123;
inline constexpr long xlComments = -4144;
inline constexpr long xlWhole = 1;
inline constexpr long xlPart = 2;
inline constexpr long xlByRows = 1;
inline constexpr long xlByColumns = 2;
inline constexpr long xlNext = 1;
inline constexpr long xlPrevious = 2;

// Sort.
inline constexpr long xlAscending = 1;
inline constexpr long xlDescending = 2;
inline constexpr long xlGuess = 0;
inline constexpr long xlYes = 1;
inline constexpr long xlNo = 2;
inline constexpr long xlTopToBottom = 1;
inline constexpr long xlLeftToRight = 2;

// Application.Cursor and Window.WindowState.
inline constexpr long xlDefault = -4143;
inline constexpr long xlWait = 2;
inline constexpr long xlNormal = -4143;
inline constexpr long xlMaximized = -4137;
inline constexpr long xlMinimized = -4140;

// Windows.Arrange.
inline constexpr long xlArrangeStyleTiled = 1;
inline constexpr long xlArrangeStyleCascade = 7;
inline constexpr long xlArrangeStyleHorizontal = -4128;
inline constexpr long xlArrangeStyleVertical = -4166;

// Worksheet.Visible.
inline constexpr long xlSheetVisible = -1;
inline constexpr long xlSheetHidden = 0;
inline constexpr long xlSheetVeryHidden = 2;

// Application.DisplayCommentIndicator.
inline constexpr long xlNoIndicator = 0;
inline constexpr long xlCommentIndicatorOnly = -1;
inline constexpr long xlCommentAndIndicator = 1;

// Alignment.
inline constexpr long xlGeneral = 1;
inline constexpr long xlLeft = -4131;
inline constexpr long xlCenter = -4108;
inline constexpr long xlRight = -4152;
inline constexpr long xlTop = -4160;
inline constexpr long xlBottom = -4107;

// Borders: indexes, line styles, weights.
inline constexpr long xlDiagonalDown = 5;
inline constexpr long xlDiagonalUp = 6;
inline constexpr long xlEdgeLeft = 7;
inline constexpr long xlEdgeTop = 8;
inline constexpr long xlEdgeBottom = 9;
inline constexpr long xlEdgeRight = 10;
inline constexpr long xlInsideVertical = 11;
inline constexpr long xlInsideHorizontal = 12;
inline constexpr long xlContinuous = 1;
inline constexpr long xlLineStyleNone = -4142;
inline constexpr long xlHairline = 1;
inline constexpr long xlThin = 2;
inline constexpr long xlMedium = -4138;
inline constexpr long xlThick = 4;

// Interior.Pattern, Font.Underline, Font.ColorIndex, and "none" in general.
inline constexpr long xlNone = -4142;
inline constexpr long xlSolid = 1;
inline constexpr long xlPatternGray16 = 17;
inline constexpr long xlUnderlineStyleNone = -4142;
inline constexpr long xlUnderlineStyleSingle = 2;
inline constexpr long xlColorIndexAutomatic = -4105;

// DataSeries and AutoFill.
inline constexpr long xlRows = 1;
inline constexpr long xlColumns = 2;
inline constexpr long xlLinear = -4132;
inline constexpr long xlDay = 1;
inline constexpr long xlFillDefault = 0;

// TextToColumns.
inline constexpr long xlDelimited = 1;
inline constexpr long xlFixedWidth = 2;
inline constexpr long xlTextQualifierNone = -4142;
inline constexpr long xlTextQualifierDoubleQuote = 1;
inline constexpr long xlGeneralFormat = 1;
inline constexpr long xlTextFormat = 2;
inline constexpr long xlSkipColumn = 9;

// ---------------------------------------------------------------------------------------
// Geometry
// ---------------------------------------------------------------------------------------

// A rectangle of cells, 1-based and inclusive: row1 <= row2, col1 <= col2.
struct Area {
  long row1 = 1, col1 = 1, row2 = 1, col2 = 1;

  long Rows() const { return row2 - row1 + 1; }
  long Columns() const { return col2 - col1 + 1; }
  std::int64_t Cells() const { return std::int64_t{Rows()} * Columns(); }
  bool Contains(long row, long col) const { return row >= row1 && row <= row2 && col >= col1 && col <= col2; }
  bool Contains(const Area& a) const { return a.row1 >= row1 && a.row2 <= row2 && a.col1 >= col1 && a.col2 <= col2; }
  bool Overlaps(const Area& a) const { return a.row1 <= row2 && a.row2 >= row1 && a.col1 <= col2 && a.col2 >= col1; }
  friend bool operator==(const Area&, const Area&) = default;
};

// One cell, 1-based.
struct CellPos {
  long row = 1, col = 1;
  friend bool operator==(const CellPos&, const CellPos&) = default;
};

class Application;
class Workbook;
class Worksheet;
class Window;
class Range;

// ---------------------------------------------------------------------------------------
// Argument sets
// ---------------------------------------------------------------------------------------

// Worksheets.Add(Before, After, Count). With neither Before nor After the sheets are added
// before the active sheet. The first added sheet becomes the active sheet.
struct SheetAddArgs {
  Worksheet* Before = nullptr;
  Worksheet* After = nullptr;
  long Count = 1;
};

// Range.Find. LookIn, LookAt, SearchOrder and MatchByte left out take the application's
// remembered settings; MatchCase left out is False; SearchDirection defaults to xlNext.
// MatchByte (double-byte characters apart from their single-byte forms) is remembered
// but changes nothing here: the stand-in has no double-byte language settings.
struct FindArgs {
  Text What{};
  const Range* After = nullptr;  // default: the range's first cell (searched last)
  std::optional<long> LookIn{};
  std::optional<long> LookAt{};
  std::optional<long> SearchOrder{};
  long SearchDirection = xlNext;
  std::optional<bool> MatchCase{};
  std::optional<bool> MatchByte{};
};

// The settings of the last Find: FindNext continues with all of them; the next Find
// takes only LookIn, LookAt, SearchOrder and MatchByte from them.
struct FindSettings {
  Text What{};
  long LookIn = xlFormulas;
  long LookAt = xlPart;
  long SearchOrder = xlByRows;
  long SearchDirection = xlNext;
  bool MatchCase = false;
  bool MatchByte = false;
  friend bool operator==(const FindSettings&, const FindSettings&) = default;
};

// Range.Sort on a block. A key is a cell: the sort key is its column (its row with
// Orientation xlLeftToRight, which this stand-in does not support).
struct SortArgs {
  const Range* Key1 = nullptr;
  long Order1 = xlAscending;
  const Range* Key2 = nullptr;
  long Order2 = xlAscending;
  const Range* Key3 = nullptr;
  long Order3 = xlAscending;
  long Header = xlNo;
  bool MatchCase = false;
  long Orientation = xlTopToBottom;
};

// Range.DataSeries.
struct DataSeriesArgs {
  long Rowcol = xlColumns;
  long Type = xlLinear;
  long Date = xlDay;
  double Step = 1;
  std::optional<double> Stop{};
  bool Trend = false;
};

// Range.TextToColumns (delimited only; the destination is the range itself).
// FieldInfo holds (column, format) pairs: xlGeneralFormat, xlTextFormat or xlSkipColumn.
struct TextToColumnsArgs {
  long DataType = xlDelimited;
  long TextQualifier = xlTextQualifierDoubleQuote;
  bool ConsecutiveDelimiter = false;
  bool Tab = false;
  bool Semicolon = false;
  bool Comma = false;
  bool Space = false;
  bool Other = false;
  Text OtherChar{};
  std::vector<std::pair<long, long>> FieldInfo{};
};

// The delimiter settings the application remembers from the last TextToColumns; they
// also govern how pasted text is split.
struct TextToColumnsSettings {
  bool Tab = true;
  bool Semicolon = false;
  bool Comma = false;
  bool Space = false;
  bool Other = false;
  Text OtherChar{};
  long TextQualifier = xlTextQualifierDoubleQuote;
  bool ConsecutiveDelimiter = false;
  friend bool operator==(const TextToColumnsSettings&, const TextToColumnsSettings&) = default;
};

// Worksheet.PageSetup: its properties.
struct PageSetup {
  Text PrintArea{};
  Text CenterHeader{}, LeftHeader{}, RightHeader{};
  Text CenterFooter{}, LeftFooter{}, RightFooter{};
  double HeaderMargin = 21.6, FooterMargin = 21.6;
  double TopMargin = 54, BottomMargin = 54, LeftMargin = 50.4, RightMargin = 50.4;
  Variant Zoom = 100;  // a percentage, or False to fit to pages
  Variant FitToPagesWide = 1;
  Variant FitToPagesTall = 1;
  Text PrintTitleRows{}, PrintTitleColumns{};
  bool CenterHorizontally = false, CenterVertically = false;
};

// Worksheet.Protection.
struct Protection {
  bool AllowFormattingCells = false;
};

// A cell's comment (its note). Positions and sizes are in points; the colour is an OLE
// colour (&HBBGGRR).
struct CommentData {
  Text text{};
  bool visible = false;
  bool autoSize = false;
  long fillColor = 0xE1FFFF;
  double top = 0, left = 0, width = 96, height = 55.5;
};

// One hyperlink of a cell. Address is "" for a link within the workbook (SubAddress only).
struct Hyperlink {
  Text Address{};
  Text SubAddress{};
  Text TextToDisplay{};
};

// The cell formats that ranges read and write through Worksheet::GetFormat/SetFormat.
// Border properties take a border index (xlEdgeLeft ... xlDiagonalUp); 0 there means
// "all edges and inside lines" (Borders without an index, which leaves the diagonals).
enum class FormatKey {
  FontBold,             // Boolean
  FontColorIndex,       // number
  FontUnderline,        // number (xlUnderlineStyleNone ...)
  InteriorColor,        // number (OLE colour)
  InteriorPattern,      // number (xlNone, xlSolid, ...)
  BorderLineStyle,      // number (xlContinuous, xlLineStyleNone)
  BorderWeight,         // number (xlThin, xlThick, ...)
  HorizontalAlignment,  // number (xlGeneral, xlLeft, ...)
  VerticalAlignment,    // number (xlBottom, xlTop, ...)
  NumberFormat,         // text ("General", "@")
  WrapText,             // Boolean
  Locked,               // Boolean
};

// ---------------------------------------------------------------------------------------
// Objects
// ---------------------------------------------------------------------------------------

// A defined name (Names item), sheet-level or workbook-level.
class DefinedName {
 public:
  virtual ~DefinedName() = default;
  virtual Text Name() const = 0;
  // "=Sheet1!$A$1" (the sheet quoted when it needs to be: "='My list'!$A$1").
  virtual Text RefersTo() const = 0;
  // "=Sheet1!R1C1".
  virtual Text RefersToR1C1() const = 0;
  virtual Range RefersToRange() const = 0;
  virtual bool Visible() const = 0;
  virtual void SetVisible(bool visible) = 0;
  virtual void Delete() = 0;
};

class NameCollection {
 public:
  virtual ~NameCollection() = default;
  virtual long Count() const = 0;
  // By 1-based index or by name without regard to case; Error 1004 when missing.
  virtual DefinedName& Item(long index) = 0;
  virtual DefinedName& Item(TextView name) = 0;
  // Adds (or redefines) a name referring to a range (RefersTo:=range).
  virtual DefinedName& Add(TextView name, const Range& refersTo, bool visible = true) = 0;
  // Adds (or redefines) a name from an R1C1 reference ("=R1C1", "=R1C1:R5C3",
  // "=Sheet1!R2C2"); without a sheet it refers to the sheet that owns the collection
  // (or, for the workbook's collection, to the active sheet).
  virtual DefinedName& AddR1C1(TextView name, TextView refersToR1C1, bool visible = true) = 0;
};

class Worksheet;

class SheetCollection {
 public:
  virtual ~SheetCollection() = default;
  virtual long Count() const = 0;
  // By 1-based index (Error 9 when out of range) or by name without regard to case
  // (Error 9 when missing).
  virtual Worksheet& Item(long index) = 0;
  virtual Worksheet& Item(TextView name) = 0;
  // Adds Count sheets with default names ("Sheet4", ...); returns the first added, which
  // becomes the active sheet. Error 1004 when the workbook's structure is protected.
  virtual Worksheet& Add(const SheetAddArgs& args = {}) = 0;
};

class Window {
 public:
  virtual ~Window() = default;
  virtual Workbook& Parent() = 0;
  // "Book1", or "Book1:1", "Book1:2" while the workbook has several windows.
  virtual Text Caption() const = 0;
  virtual void SetCaption(TextView caption) = 0;
  // The position of the window among the application's windows (1 is the active one).
  virtual long Index() const = 0;
  // The selection of the window's active sheet (a Range even when an object is selected).
  virtual Range RangeSelection() = 0;
  virtual Range ActiveCell() = 0;
  virtual long WindowState() const = 0;
  virtual void SetWindowState(long state) = 0;
  virtual double Top() const = 0;
  virtual void SetTop(double v) = 0;
  virtual double Left() const = 0;
  virtual void SetLeft(double v) = 0;
  virtual double Height() const = 0;
  virtual void SetHeight(double v) = 0;
  virtual double Width() const = 0;
  virtual void SetWidth(double v) = 0;
  virtual bool FreezePanes() const = 0;
  virtual void SetFreezePanes(bool freeze) = 0;
  virtual void Activate() = 0;
  // A new window on the same workbook; it becomes the active window.
  virtual Window& NewWindow() = 0;
  // Closes the window; closing a workbook's last window closes the workbook.
  virtual void Close() = 0;
};

class WindowCollection {
 public:
  virtual ~WindowCollection() = default;
  virtual long Count() const = 0;
  // By 1-based index or by caption without regard to case; Error 9 when missing.
  virtual Window& Item(long index) = 0;
  virtual Window& Item(TextView caption) = 0;
  virtual void Arrange(long arrangeStyle, bool activeWorkbook = false) = 0;
  virtual void CompareSideBySideWith(TextView caption) = 0;
  virtual bool SyncScrollingSideBySide() const = 0;
  virtual void SetSyncScrollingSideBySide(bool on) = 0;
  virtual void BreakSideBySide() = 0;
};

class Workbook {
 public:
  virtual ~Workbook() = default;
  virtual Application& Parent() = 0;
  virtual Text Name() const = 0;
  // Worksheets and Sheets are the same collection (the stand-in has no chart sheets).
  virtual SheetCollection& Worksheets() = 0;
  virtual SheetCollection& Sheets() = 0;
  virtual Worksheet& ActiveSheet() = 0;
  virtual NameCollection& Names() = 0;
  virtual WindowCollection& Windows() = 0;
  virtual bool ProtectStructure() const = 0;
  virtual bool ProtectWindows() const = 0;
  virtual void Protect(bool structure, bool windows) = 0;
  virtual void Unprotect() = 0;
  virtual void Activate() = 0;
  // The grid size of every sheet of the workbook.
  virtual long RowsCount() const = 0;
  virtual long ColumnsCount() const = 0;
};

class WorkbookCollection {
 public:
  virtual ~WorkbookCollection() = default;
  virtual long Count() const = 0;
  virtual Workbook& Item(long index) = 0;
  // By name without regard to case; Error 9 when missing.
  virtual Workbook& Item(TextView name) = 0;
  // A new workbook ("Book1", "Book2", ...) with one sheet; it becomes the active one.
  virtual Workbook& Add() = 0;
};

class Worksheet {
 public:
  virtual ~Worksheet() = default;
  virtual Workbook& Parent() = 0;
  virtual Text Name() const = 0;
  // At most 31 characters, none of : \ / ? * [ ], not empty, unique in the workbook
  // without regard to case; Error 1004 otherwise.
  virtual void SetName(TextView name) = 0;
  // The 1-based position among the workbook's sheets.
  virtual long Index() const = 0;
  virtual long Visible() const = 0;
  virtual void SetVisible(long visible) = 0;
  virtual void Activate() = 0;
  virtual void Select() = 0;
  // Deletes the sheet; Error 1004 for the last visible sheet or a protected structure.
  virtual void Delete() = 0;
  virtual NameCollection& Names() = 0;

  // The grid size (Rows.Count, Columns.Count).
  virtual long RowsCount() const = 0;
  virtual long ColumnsCount() const = 0;

  // Range("A1"), Range("$A$1:$C$9"), Range("A:C"), Range("3:5"), Range("A1,B2:C3"),
  // Range("name"), Range("nameA, nameB"): addresses and names (this sheet's names
  // first, then the workbook's), comma-separated parts giving a multi-area range.
  // Error 1004 when a part is neither.
  virtual xl::Range Range(TextView reference) = 0;
  // Range(cell1, cell2): the rectangle spanning both (their first areas).
  virtual xl::Range Range(const xl::Range& cell1, const xl::Range& cell2) = 0;
  virtual xl::Range Range(TextView cell1, TextView cell2) = 0;
  // Cells(r, c); Error 1004 outside the sheet.
  virtual xl::Range Cells(long row, long col) = 0;
  // Rows(r), Columns(c): entire rows and columns.
  virtual xl::Range Rows(long row) = 0;
  virtual xl::Range Columns(long col) = 0;
  // The bounding box of the cells with content, formats or comments; A1 when none.
  virtual xl::Range UsedRange() = 0;

  virtual bool ProtectContents() const = 0;
  virtual void Protect(const xl::Protection& options = {}) = 0;
  virtual void Unprotect() = 0;
  virtual xl::Protection Protection() const = 0;
  // Worksheet.PageSetup read as one value, and a page set-up written back whole: a
  // backend that reaches the application's PageSetup object sets each of its
  // properties.
  virtual xl::PageSetup GetPageSetup() = 0;
  virtual void SetPageSetup(const xl::PageSetup& page) = 0;

  // The cells holding a comment, in the collection's order (row by row, left to right).
  virtual std::vector<xl::Range> Comments() = 0;
  // Hyperlinks.Add(Anchor, Address, SubAddress): replaces the cell's hyperlink, if any.
  // Error 1004 for a locked cell of a sheet whose contents are protected.
  virtual void AddHyperlink(const xl::Range& anchor, TextView address, TextView subAddress = {},
                            TextView textToDisplay = {}) = 0;
  // Paste(Destination): the clipboard's text, split into rows at line breaks and into
  // columns by the remembered TextToColumns delimiters (with Tab off, a line's Tabs stay
  // in its cell). A field longer than a cell holds goes on in the cells below it, and the
  // next line starts below the longest field of its line. The pasted cells become the
  // sheet's selection. Error 1004 on an empty clipboard.
  virtual void Paste(const xl::Range& destination) = 0;

  // -------------------------------------------------------------------------------------
  // Cell primitives. Range calls these; the component calls Range.
  // -------------------------------------------------------------------------------------

  virtual Variant CellValue(long row, long col) = 0;
  // Writes the value to every cell of the area with the application's entry rules.
  virtual void SetValue(const Area& area, const Variant& value) = 0;
  // Range.Value of an area as one array: the area's values row by row into `out`
  // (resized to the area's cells), in one call however many cells there are.
  virtual void ReadValues(const Area& area, std::vector<Variant>& out) = 0;
  // Range.Value = array: `values` (the area's cells, row by row) written with the
  // application's entry rules, in one call. Error 1004 when the sizes differ.
  virtual void WriteValues(const Area& area, std::span<const Variant> values) = 0;
  virtual Text CellFormula(long row, long col) = 0;
  virtual bool CellHasFormula(long row, long col) = 0;
  virtual void ClearContents(std::span<const Area> areas) = 0;
  virtual void ClearFormats(std::span<const Area> areas) = 0;
  virtual CellPos End(long row, long col, long direction) = 0;
  // Find over the given range; FindNext continues with the remembered settings.
  virtual std::optional<CellPos> Find(std::span<const Area> within, const FindArgs& args) = 0;
  virtual std::optional<CellPos> FindNext(std::span<const Area> within, std::optional<CellPos> after) = 0;
  virtual void Sort(const Area& block, const SortArgs& args) = 0;
  // The merged area holding the cell, or nullopt when it is not merged.
  virtual std::optional<Area> MergedAreaAt(long row, long col) = 0;
  virtual void Merge(const Area& area) = 0;
  virtual void UnMerge(const Area& area) = 0;
  // Every merged area of the sheet, in no particular order.
  virtual std::vector<Area> MergedAreas() = 0;
  // The selection and active cell of this sheet.
  virtual void Select(std::span<const Area> areas) = 0;
  // Activates a block: within the selection its first cell becomes the active cell;
  // outside it, the block becomes the selection with its first cell active.
  virtual void Activate(const Area& area) = 0;
  virtual std::vector<Area> SelectionAreas() = 0;
  virtual CellPos ActiveCellPos() = 0;
  // A format over an area: the common value, or Null when the cells differ.
  virtual Variant GetFormat(const Area& area, FormatKey key, long index = 0) = 0;
  virtual void SetFormat(const Area& area, FormatKey key, const Variant& value, long index = 0) = 0;
  // Hidden state over a band of rows or columns: True, False, or Null when mixed.
  virtual Variant RowsHidden(long row1, long row2) = 0;
  virtual void SetRowsHidden(long row1, long row2, bool hidden) = 0;
  virtual Variant ColumnsHidden(long col1, long col2) = 0;
  virtual void SetColumnsHidden(long col1, long col2, bool hidden) = 0;
  // Column widths in characters and row heights in points: Null when they differ.
  virtual Variant ColumnWidth(long col1, long col2) = 0;
  virtual void SetColumnWidth(long col1, long col2, double width) = 0;
  virtual Variant RowHeight(long row1, long row2) = 0;
  virtual void SetRowHeight(long row1, long row2, double height) = 0;
  // Fits the columns (rows) of the area to the cells of the area.
  virtual void AutoFitColumns(const Area& area) = 0;
  virtual void AutoFitRows(const Area& area) = 0;
  virtual std::optional<CommentData> CellComment(long row, long col) = 0;
  // Replaces (or with nullopt removes) a cell's comment.
  virtual void SetCellComment(long row, long col, std::optional<CommentData> comment) = 0;
  virtual void ClearComments(std::span<const Area> areas) = 0;
  virtual std::vector<Hyperlink> CellHyperlinks(const Area& area) = 0;
  virtual void AutoFill(const Area& source, const Area& destination) = 0;
  virtual void DataSeries(const Area& area, const DataSeriesArgs& args) = 0;
  // Toggles the AutoFilter on the area (or the sheet's filter off when one is on).
  virtual void AutoFilter(const Area& area) = 0;
  virtual std::optional<Area> AutoFilterArea() = 0;
  // Entire columns: Insert shifts the columns at and right of col1 right; Delete left.
  virtual void InsertColumns(long col1, long col2) = 0;
  virtual void DeleteColumns(long col1, long col2) = 0;
  virtual void TextToColumns(const Area& area, const TextToColumnsArgs& args) = 0;
  // Cell positions in points (column widths and row heights added up).
  virtual double CellLeft(long col) = 0;
  virtual double CellTop(long row) = 0;
  // The width of a column in points (0 when hidden).
  virtual double CellWidth(long col) = 0;
};

// Application.WorksheetFunction.
class WorksheetFunction {
 public:
  virtual ~WorksheetFunction() = default;
  // LOOKUP(value, lookupVector, resultVector), approximate match: the result for the
  // largest element not greater than value in the order Sort uses. Error 1004 "Unable to
  // get the Lookup property of the WorksheetFunction class" when value is below all.
  virtual Variant Lookup(const Variant& value, std::span<const Variant> lookupVector,
                         std::span<const Variant> resultVector) = 0;
  // COUNTA: the number of cells that are not empty (an empty text counts).
  virtual double CountA(const Range& range) = 0;
  // PROPER: the first letter of each word upper case, the other letters lower case.
  virtual Text Proper(TextView text) = 0;
};

// A host macro runner: the qualified name ("Book.xla!Macro") and the arguments, which the
// macro may change in place (by-reference arguments).
using MacroRunner = std::function<Variant(TextView qualifiedMacro, std::span<Variant> args)>;

class Application {
 public:
  virtual ~Application() = default;

  virtual WorkbookCollection& Workbooks() = 0;
  virtual Workbook* ActiveWorkbook() = 0;
  virtual Worksheet* ActiveSheet() = 0;
  virtual Window* ActiveWindow() = 0;
  virtual std::optional<Range> ActiveCell() = 0;
  virtual std::optional<Range> Selection() = 0;
  virtual WindowCollection& Windows() = 0;
  virtual xl::WorksheetFunction& WorksheetFunction() = 0;

  // ThisWorkbook.Name: the host add-in's workbook, the prefix of every Run.
  virtual Text ThisWorkbookName() const = 0;
  // Runs a host macro; Error 1004 when the macro cannot be run.
  virtual Variant Run(TextView macro, std::span<Variant> args) = 0;

  virtual bool ScreenUpdating() const = 0;
  virtual void SetScreenUpdating(bool on) = 0;
  virtual long Cursor() const = 0;
  virtual void SetCursor(long cursor) = 0;
  // The status bar text, or False while the application shows its own.
  virtual Variant StatusBar() const = 0;
  virtual void SetStatusBar(const Variant& textOrFalse) = 0;
  virtual bool DisplayStatusBar() const = 0;
  virtual void SetDisplayStatusBar(bool on) = 0;
  virtual bool DisplayAlerts() const = 0;
  virtual void SetDisplayAlerts(bool on) = 0;
  virtual long DisplayCommentIndicator() const = 0;
  virtual void SetDisplayCommentIndicator(long indicator) = 0;
  virtual Text Version() const = 0;
  virtual double UsableHeight() const = 0;
  virtual double UsableWidth() const = 0;

  virtual double InchesToPoints(double inches) const = 0;
  // Nothing when the ranges do not overlap (or lie on different sheets).
  virtual std::optional<Range> Intersect(const Range& a, const Range& b) = 0;
  virtual Range Union(const Range& a, const Range& b) = 0;
  // Activates the range's sheet (and workbook) and selects the range.
  virtual void GoTo(const Range& reference) = 0;
};

}  // namespace quillary::xl

#include "platform/excel/range.h"  // IWYU pragma: export
