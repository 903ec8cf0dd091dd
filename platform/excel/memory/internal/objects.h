// The objects of the in-memory application: its names, worksheets, windows, workbooks
// and the application itself, the concrete classes behind the public face in
// platform/excel/memory/memory.h (whose opening comment tells how they behave). Only
// this folder includes this header.
#pragma once

#include <any>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/excel/excel.h"
#include "platform/excel/memory/formats.h"
#include "platform/excel/memory/internal/cells.h"
#include "platform/excel/memory/internal/merge_index.h"
#include "platform/excel/memory/memory.h"
#include "platform/excel/range.h"

namespace quillary::xl::memory {

using internal::Column;

class MemoryApplicationImpl;
class MemoryWorkbook;
class MemoryWorksheet;

// ---------------------------------------------------------------------------------------

class MemoryName final : public DefinedName {
 public:
  MemoryName(class MemoryNames& owner, Text name, MemoryWorksheet* sheet, std::vector<Area> areas, bool visible);
  Text Name() const override { return name_; }
  Text RefersTo() const override;
  Text RefersToR1C1() const override;
  xl::Range RefersToRange() const override;
  bool Visible() const override { return visible_; }
  void SetVisible(bool visible) override { visible_ = visible; }
  void Delete() override;

  MemoryWorksheet* Target() const { return sheet_; }
  const std::vector<Area>& Areas() const { return areas_; }
  void Redefine(MemoryWorksheet* sheet, std::vector<Area> areas, bool visible);
  void DropTarget() { sheet_ = nullptr; }

 private:
  class MemoryNames& owner_;
  Text name_;
  MemoryWorksheet* sheet_;  // null once its sheet is deleted (#REF!)
  std::vector<Area> areas_;
  bool visible_;
};

// A Names collection: of a sheet (sheet-level names) or of a workbook.
class MemoryNames final : public NameCollection {
 public:
  MemoryNames(MemoryWorkbook& book, MemoryWorksheet* sheet) : book_(book), sheet_(sheet) {}
  long Count() const override { return static_cast<long>(names_.size()); }
  DefinedName& Item(long index) override;
  DefinedName& Item(TextView name) override;
  DefinedName& Add(TextView name, const xl::Range& refersTo, bool visible = true) override;
  DefinedName& AddR1C1(TextView name, TextView refersToR1C1, bool visible = true) override;

  MemoryName* Lookup(TextView name);
  void Remove(MemoryName& name);
  // A sheet is deleted: its names go, the names referring to it lose their target.
  void SheetDeleted(MemoryWorksheet& sheet);

 private:
  DefinedName& Define(TextView name, MemoryWorksheet* sheet, std::vector<Area> areas, bool visible);
  MemoryWorkbook& book_;
  MemoryWorksheet* sheet_;
  std::vector<std::unique_ptr<MemoryName>> names_;
  std::vector<std::unique_ptr<MemoryName>> deleted_;
};

// ---------------------------------------------------------------------------------------

class MemoryWorksheet final : public FileSheet {
 public:
  MemoryWorksheet(MemoryWorkbook& book, Text name);
  ~MemoryWorksheet() override;

  Workbook& Parent() override;
  Text Name() const override { return name_; }
  void SetName(TextView name) override;
  long Index() const override;
  long Visible() const override { return visible_; }
  void SetVisible(long visible) override;
  void Activate() override;
  void Select() override;
  void Delete() override;
  NameCollection& Names() override { return names_; }
  long RowsCount() const override { return rows_; }
  long ColumnsCount() const override { return cols_; }
  xl::Range Range(TextView reference) override;
  xl::Range Range(const xl::Range& cell1, const xl::Range& cell2) override;
  xl::Range Range(TextView cell1, TextView cell2) override;
  xl::Range Cells(long row, long col) override;
  xl::Range Rows(long row) override;
  xl::Range Columns(long col) override;
  xl::Range UsedRange() override;
  bool ProtectContents() const override { return protected_; }
  void Protect(const xl::Protection& options = {}) override;
  void Unprotect() override;
  xl::Protection Protection() const override { return protection_; }
  xl::PageSetup GetPageSetup() override { return pageSetup_; }
  void SetPageSetup(const xl::PageSetup& page) override { pageSetup_ = page; }
  std::vector<xl::Range> Comments() override;
  void AddHyperlink(const xl::Range& anchor, TextView address, TextView subAddress = {},
                    TextView textToDisplay = {}) override;
  void Paste(const xl::Range& destination) override;

  Variant CellValue(long row, long col) override;
  void SetValue(const Area& area, const Variant& value) override;
  void ReadValues(const Area& area, std::vector<Variant>& out) override;
  void WriteValues(const Area& area, std::span<const Variant> values) override;
  Text CellFormula(long row, long col) override;
  bool CellHasFormula(long row, long col) override;
  void ClearContents(std::span<const Area> areas) override;
  void ClearFormats(std::span<const Area> areas) override;
  CellPos End(long row, long col, long direction) override;
  std::optional<CellPos> Find(std::span<const Area> within, const FindArgs& args) override;
  std::optional<CellPos> FindNext(std::span<const Area> within, std::optional<CellPos> after) override;
  void Sort(const Area& block, const SortArgs& args) override;
  std::optional<Area> MergedAreaAt(long row, long col) override;
  void Merge(const Area& area) override;
  void UnMerge(const Area& area) override;
  std::vector<Area> MergedAreas() override { return merges_.All(); }
  void Select(std::span<const Area> areas) override;
  void Activate(const Area& area) override;
  std::vector<Area> SelectionAreas() override { return selection_; }
  CellPos ActiveCellPos() override { return active_; }
  Variant GetFormat(const Area& area, FormatKey key, long index = 0) override;
  void SetFormat(const Area& area, FormatKey key, const Variant& value, long index = 0) override;
  Variant RowsHidden(long row1, long row2) override;
  void SetRowsHidden(long row1, long row2, bool hidden) override;
  Variant ColumnsHidden(long col1, long col2) override;
  void SetColumnsHidden(long col1, long col2, bool hidden) override;
  Variant ColumnWidth(long col1, long col2) override;
  void SetColumnWidth(long col1, long col2, double width) override;
  Variant RowHeight(long row1, long row2) override;
  void SetRowHeight(long row1, long row2, double height) override;
  void AutoFitColumns(const Area& area) override;
  void AutoFitRows(const Area& area) override;
  std::optional<CommentData> CellComment(long row, long col) override;
  void SetCellComment(long row, long col, std::optional<CommentData> comment) override;
  void ClearComments(std::span<const Area> areas) override;
  std::vector<Hyperlink> CellHyperlinks(const Area& area) override;
  void AutoFill(const Area& source, const Area& destination) override;
  void DataSeries(const Area& area, const DataSeriesArgs& args) override;
  void AutoFilter(const Area& area) override;
  std::optional<Area> AutoFilterArea() override { return filter_; }
  void InsertColumns(long col1, long col2) override;
  void DeleteColumns(long col1, long col2) override;
  bool ColumnsMoved() const override { return columnsMoved_; }
  std::uint64_t CellChanges() const override { return cellChanges_; }
  void TextToColumns(const Area& area, const TextToColumnsArgs& args) override;
  double CellLeft(long col) override;
  double CellTop(long row) override;
  double CellWidth(long col) override;

  // ----- for the memory backend and tests -----
  MemoryWorkbook& Book() { return book_; }
  MemoryNames& SheetNames() { return names_; }
  bool Deleted() const { return deleted_; }
  void MarkDeleted() { deleted_ = true; }
  // Non-empty cells of an area (CountA), without visiting the empty ones.
  std::int64_t CountFilled(const Area& area);
  // Bytes the text storage of column `col` holds (live and not yet reclaimed).
  std::size_t HeldTextBytes(long col) const;
  // ----- FileSheet -----
  void EnterTexts(long row1, long col, std::span<const TextView> typed) override;
  void StoreCells(long row1, long col, std::span<const FileCell> cells) override;
  bool CellHasCachedValue(long row, long col) override;
  long StoredColumns() const override { return static_cast<long>(columns_.size()); }
  std::optional<long> NextFilledRow(long col, long row) const override;
  void VisitFormats(const std::function<void(const Area&, const CellFormat&)>& visit) const override;
  void PutFormat(const Area& area, const CellFormat& f) override;
  std::vector<std::pair<long, long>> HiddenRowBands() const override;
  const std::map<long, double>& RowHeights() const override { return rowHeight_; }
  std::vector<std::pair<CellPos, Hyperlink>> HyperlinkCells() const override;

 private:
  friend class MemoryWorkbook;
  void Live() const;
  Column* Col(long col) const;
  Column& EnsureCol(long col);
  // Paste of the clipboard's text.
  void PasteText(const xl::Range& destination, TextView text);
  // The column that `count` entries down from (row1, col) go to, once the sheet allows
  // them; nullptr for no entries.
  Column* EntryColumn(long row1, long col, std::size_t count);
  void CheckCell(long row, long col) const;
  void CheckArea(const Area& a) const;
  void CheckWritable(const Area& a, const char* member);
  void CheckFormattable(const char* member);
  std::vector<Area> WidenToMerges(std::vector<Area> areas) const;
  Variant FormatOver(const Area& area, FormatKey key, long edge);
  void FormatCells(const Area& area, FormatKey key, long edge, const Variant& value);
  // Every cell of the area takes the format `change` maps its format to.
  template <class Change>
  void Reformat(const Area& area, Change&& change);
  void EnterCell(long row, long col, const Variant& value);
  // Clears the non-empty cells of the areas.
  void ClearCells(std::span<const Area> areas);
  std::optional<CellPos> Search(std::span<const Area> within, const FindSettings& s, std::optional<CellPos> after);
  void ShiftColumns(long from, long by);
  xl::Range Resolve(TextView reference);

  MemoryWorkbook& book_;
  Text name_;
  long visible_ = xlSheetVisible;
  bool deleted_ = false;
  bool columnsMoved_ = false;      // columns were inserted or deleted
  std::uint64_t cellChanges_ = 0;  // CellChanges: its columns count their changes in it
  long rows_, cols_;
  std::vector<std::unique_ptr<Column>> columns_;
  std::uint32_t sheetFormat_ = 0;
  std::vector<std::uint8_t> rowHidden_;
  std::map<long, double> rowHeight_;
  internal::MergeIndex merges_;
  std::vector<Area> selection_;
  CellPos active_{1, 1};
  std::map<std::pair<long, long>, CommentData> comments_;  // (row, col)
  std::map<std::pair<long, long>, std::vector<Hyperlink>> links_;
  MemoryNames names_;
  bool protected_ = false;
  xl::Protection protection_;
  xl::PageSetup pageSetup_;
  std::optional<Area> filter_;
  std::optional<Area> formatBox_;  // bounding box of the cells given formats
};

// ---------------------------------------------------------------------------------------

class MemoryWindow final : public Window {
 public:
  MemoryWindow(MemoryWorkbook& book) : book_(book) {}
  Workbook& Parent() override;
  Text Caption() const override;
  void SetCaption(TextView caption) override { caption_ = Text(caption); }
  long Index() const override;
  xl::Range RangeSelection() override;
  xl::Range ActiveCell() override;
  long WindowState() const override { return state_; }
  void SetWindowState(long state) override { state_ = state; }
  double Top() const override { return top_; }
  void SetTop(double v) override { top_ = v; }
  double Left() const override { return left_; }
  void SetLeft(double v) override { left_ = v; }
  double Height() const override { return height_; }
  void SetHeight(double v) override { height_ = v; }
  double Width() const override { return width_; }
  void SetWidth(double v) override { width_ = v; }
  bool FreezePanes() const override { return freeze_; }
  void SetFreezePanes(bool freeze) override { freeze_ = freeze; }
  void Activate() override;
  Window& NewWindow() override;
  void Close() override;

  MemoryWorkbook& Book() { return book_; }

 private:
  MemoryWorkbook& book_;
  std::optional<Text> caption_;
  long state_ = xlNormal;
  double top_ = 0, left_ = 0, height_ = 400, width_ = 600;
  bool freeze_ = false;
};

// Application.Windows (all windows) or Workbook.Windows (a workbook's).
class MemoryWindows final : public WindowCollection {
 public:
  MemoryWindows(MemoryApplicationImpl& app, MemoryWorkbook* book) : app_(app), book_(book) {}
  long Count() const override;
  Window& Item(long index) override;
  Window& Item(TextView caption) override;
  void Arrange(long arrangeStyle, bool activeWorkbook = false) override;
  void CompareSideBySideWith(TextView caption) override;
  bool SyncScrollingSideBySide() const override;
  void SetSyncScrollingSideBySide(bool on) override;
  void BreakSideBySide() override;

 private:
  std::vector<MemoryWindow*> List() const;
  MemoryApplicationImpl& app_;
  MemoryWorkbook* book_;
};

class MemorySheets final : public SheetCollection {
 public:
  explicit MemorySheets(MemoryWorkbook& book) : book_(book) {}
  long Count() const override;
  Worksheet& Item(long index) override;
  Worksheet& Item(TextView name) override;
  Worksheet& Add(const SheetAddArgs& args = {}) override;

 private:
  MemoryWorkbook& book_;
};

class MemoryWorkbook final : public FileBook {
 public:
  MemoryWorkbook(MemoryApplicationImpl& app, Text name, GridSize grid);
  ~MemoryWorkbook() override;
  Application& Parent() override;
  Text Name() const override { return name_; }
  SheetCollection& Worksheets() override { return sheetsCollection_; }
  SheetCollection& Sheets() override { return sheetsCollection_; }
  Worksheet& ActiveSheet() override;
  NameCollection& Names() override { return names_; }
  WindowCollection& Windows() override { return windowsCollection_; }
  bool ProtectStructure() const override { return protectStructure_; }
  bool ProtectWindows() const override { return protectWindows_; }
  void Protect(bool structure, bool windows) override;
  void Unprotect() override;
  void Activate() override;
  long RowsCount() const override;
  long ColumnsCount() const override;

  // ----- for the memory backend -----
  MemoryApplicationImpl& App() { return app_; }
  FormatTable& Formats() { return formats_; }
  MemoryNames& BookNames() { return names_; }
  std::vector<std::unique_ptr<MemoryWorksheet>>& SheetList() { return sheets_; }
  std::vector<std::unique_ptr<MemoryWindow>>& WindowList() { return windows_; }
  MemoryWorksheet* FindSheet(TextView name);
  MemoryWorksheet& ActiveMemorySheet();
  void SetActiveSheet(MemoryWorksheet& sheet);
  long SheetIndex(const MemoryWorksheet& sheet) const;
  void DeleteSheet(MemoryWorksheet& sheet);
  Text NextSheetName();
  MemoryWindow& AddWindow();
  void CloseWindow(MemoryWindow& window);
  bool Closed() const override { return closed_; }
  // ----- FileBook -----
  bool Date1904() const override { return date1904_; }
  void SetDate1904(bool on) override { date1904_ = on; }
  std::any& Origin() override { return origin_; }
  std::any& Source() override { return source_; }

 private:
  MemoryApplicationImpl& app_;
  Text name_;
  GridSize grid_;
  FormatTable formats_;
  std::vector<std::unique_ptr<MemoryWorksheet>> sheets_;
  std::vector<std::unique_ptr<MemoryWorksheet>> deletedSheets_;
  MemoryWorksheet* active_ = nullptr;
  long sheetCounter_ = 0;
  MemorySheets sheetsCollection_;
  MemoryNames names_;
  std::vector<std::unique_ptr<MemoryWindow>> windows_;
  std::vector<std::unique_ptr<MemoryWindow>> closedWindows_;
  MemoryWindows windowsCollection_;
  bool protectStructure_ = false;
  bool protectWindows_ = false;
  bool closed_ = false;
  bool date1904_ = false;
  std::any origin_;
  std::any source_;
};

class MemoryWorkbooks final : public WorkbookCollection {
 public:
  explicit MemoryWorkbooks(MemoryApplicationImpl& app) : app_(app) {}
  long Count() const override;
  Workbook& Item(long index) override;
  Workbook& Item(TextView name) override;
  Workbook& Add() override;

 private:
  MemoryApplicationImpl& app_;
};

class MemoryWorksheetFunction final : public WorksheetFunction {
 public:
  Variant Lookup(const Variant& value, std::span<const Variant> lookupVector,
                 std::span<const Variant> resultVector) override;
  double CountA(const xl::Range& range) override;
  Text Proper(TextView text) override;
};

// ---------------------------------------------------------------------------------------

class MemoryApplicationImpl final : public MemoryApplication {
 public:
  explicit MemoryApplicationImpl(ApplicationOptions options);
  ~MemoryApplicationImpl() override;

  WorkbookCollection& Workbooks() override { return workbooks_; }
  Workbook* ActiveWorkbook() override;
  Worksheet* ActiveSheet() override;
  Window* ActiveWindow() override;
  std::optional<xl::Range> ActiveCell() override;
  std::optional<xl::Range> Selection() override;
  WindowCollection& Windows() override { return windows_; }
  xl::WorksheetFunction& WorksheetFunction() override { return function_; }
  Text ThisWorkbookName() const override { return options_.thisWorkbookName; }
  Variant Run(TextView macro, std::span<Variant> args) override;
  bool ScreenUpdating() const override { return screenUpdating_; }
  void SetScreenUpdating(bool on) override { screenUpdating_ = on; }
  long Cursor() const override { return cursor_; }
  void SetCursor(long cursor) override { cursor_ = cursor; }
  Variant StatusBar() const override { return statusBar_; }
  void SetStatusBar(const Variant& textOrFalse) override;
  bool DisplayStatusBar() const override { return displayStatusBar_; }
  void SetDisplayStatusBar(bool on) override { displayStatusBar_ = on; }
  bool DisplayAlerts() const override { return displayAlerts_; }
  void SetDisplayAlerts(bool on) override { displayAlerts_ = on; }
  long DisplayCommentIndicator() const override { return commentIndicator_; }
  void SetDisplayCommentIndicator(long indicator) override { commentIndicator_ = indicator; }
  Text Version() const override { return version_; }
  double UsableHeight() const override { return usableHeight_; }
  double UsableWidth() const override { return usableWidth_; }
  double InchesToPoints(double inches) const override { return inches * 72.0; }
  std::optional<xl::Range> Intersect(const xl::Range& a, const xl::Range& b) override;
  xl::Range Union(const xl::Range& a, const xl::Range& b) override;
  void GoTo(const xl::Range& reference) override;

  // ----- MemoryApplication -----
  void SetMacroRunner(MacroRunner runner) override { options_.runner = std::move(runner); }
  void SetClipboardReader(std::function<Text()> reader) override {
    clipboard_ = [reader = std::move(reader)](const ClipboardUse& use) {
      const Text text = reader();
      use(text);
    };
  }
  void SetClipboardViewer(ClipboardViewer viewer) override { clipboard_ = std::move(viewer); }
  void SetVersion(TextView version) override { version_ = Text(version); }
  MemoryWorkbook& AddWorkbook(GridSize grid) override;
  const FindSettings& RememberedFind() const override { return find_; }
  const TextToColumnsSettings& RememberedTextToColumns() const override { return textToColumns_; }
  void SetRememberedTextToColumns(const TextToColumnsSettings& settings) override { textToColumns_ = settings; }
  long ArrangeStyle() const override { return arrangeStyle_; }
  const Text& SideBySideWith() const override { return sideBySide_; }
  void InjectFailure(std::string member, long number, std::string description, int afterCalls = 0,
                     int times = 1) override;
  void ClearFailures() override { failures_.clear(); }

  // ----- for the memory backend and its tests -----
  void SetUsableSize(double height, double width) {
    usableHeight_ = height;
    usableWidth_ = width;
  }
  GridSize DefaultGrid() const { return options_.grid; }
  // Raises the injected failure of the member when one is due.
  void CheckFailure(std::string_view member);

  // ----- for the memory backend -----
  FindSettings& FindState() { return find_; }
  TextToColumnsSettings& TextToColumnsState() { return textToColumns_; }
  const ClipboardViewer& Clipboard() const { return clipboard_; }
  std::vector<MemoryWindow*>& WindowOrder() { return windowOrder_; }
  std::vector<std::unique_ptr<MemoryWorkbook>>& BookList() { return books_; }
  void BookClosed(MemoryWorkbook& book);
  Text NextBookName();
  bool& SyncScrolling() { return syncScrolling_; }
  void RecordArrange(long style) { arrangeStyle_ = style; }
  void RecordSideBySide(TextView caption) { sideBySide_ = Text(caption); }

 private:
  struct Failure {
    long number;
    std::string description;
    int skip;
    int times;
  };
  ApplicationOptions options_;
  MemoryWorkbooks workbooks_;
  MemoryWindows windows_;
  MemoryWorksheetFunction function_;
  std::vector<std::unique_ptr<MemoryWorkbook>> books_;
  std::vector<std::unique_ptr<MemoryWorkbook>> closedBooks_;
  std::vector<MemoryWindow*> windowOrder_;  // the active window first
  long bookCounter_ = 0;
  FindSettings find_;
  TextToColumnsSettings textToColumns_;
  ClipboardViewer clipboard_;
  bool screenUpdating_ = true;
  long cursor_ = xlDefault;
  Variant statusBar_ = false;
  bool displayStatusBar_ = true;
  bool displayAlerts_ = true;
  long commentIndicator_ = xlCommentIndicatorOnly;
  Text version_ = u"16.0";
  double usableHeight_ = 600, usableWidth_ = 1000;
  long arrangeStyle_ = 0;
  Text sideBySide_;
  bool syncScrolling_ = false;
  std::map<std::string, Failure, std::less<>> failures_;
};

}  // namespace quillary::xl::memory
