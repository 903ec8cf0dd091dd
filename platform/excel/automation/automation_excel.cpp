#include "platform/excel/automation/automation_excel.h"

#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/runtime/vba.h"

namespace quillary::xl::automation {

namespace {

using quillary::automation::Arg;
using quillary::automation::Dispatch;

// A member of the platform's interface that this backend does not reach yet.
[[noreturn]] void NotAutomated(const char* member) {
  Raise(err::kNoSuchMember, std::string(member) + " is not available through the automation backend yet");
}

Text TextOf(const Variant& v) { return vba::CStr(v); }
bool BoolOf(const Variant& v) { return vba::CBool(v); }
double DoubleOf(const Variant& v) { return vba::CDbl(v); }
long LongOf(const Variant& v) { return static_cast<long>(vba::CLng(vba::CDbl(v))); }
Arg TextArg(TextView t) { return Arg(Variant(Text(t))); }
Arg LongArg(long n) { return Arg(Variant(n)); }

// The longest reference the application's Range takes, and the most ranges its Union
// takes in one call.
constexpr std::size_t kReferenceLimit = 255;
constexpr std::size_t kUnionArgs = 30;

// The comma-separated parts of a reference ("A1,B2:C3", "nameA, nameB"), blanks around
// them dropped; a comma inside a quoted sheet name ('My, list'!A1) is no separator.
std::vector<Text> ReferenceParts(TextView reference) {
  std::vector<Text> parts;
  bool quoted = false;
  std::size_t start = 0;
  auto add = [&](std::size_t end) {
    std::size_t from = start, to = end;
    while (from < to && reference[from] == u' ') ++from;
    while (to > from && reference[to - 1] == u' ') --to;
    parts.emplace_back(reference.substr(from, to - from));
  };
  for (std::size_t i = 0; i < reference.size(); ++i) {
    if (reference[i] == u'\'') quoted = !quoted;
    if (reference[i] == u',' && !quoted) {
      add(i);
      start = i + 1;
    }
  }
  add(reference.size());
  return parts;
}

class AutomationApplication;
class AutomationWorkbook;
class AutomationWorksheet;

// Wrappers made once per object of the application, told apart by identity.
template <class Wrapper>
class WrapperSet {
 public:
  template <class Make>
  Wrapper& For(const Dispatch& object, Make&& make) {
    if (object.IsNothing()) Raise(err::kObjectNotSet, "Object variable or With block variable not set");
    const void* id = object.Identity();
    auto found = items_.find(id);
    if (found == items_.end()) found = items_.emplace(id, make(object)).first;
    return *found->second;
  }

 private:
  std::map<const void*, std::unique_ptr<Wrapper>> items_;
};

class AutomationName final : public DefinedName {
 public:
  AutomationName(AutomationApplication& app, Dispatch name) : app_(app), d_(std::move(name)) {}
  Text Name() const override { return TextOf(d_.Value(u"Name")); }
  Text RefersTo() const override { return TextOf(d_.Value(u"RefersTo")); }
  Text RefersToR1C1() const override { return TextOf(d_.Value(u"RefersToR1C1")); }
  Range RefersToRange() const override;
  bool Visible() const override { return BoolOf(d_.Value(u"Visible")); }
  void SetVisible(bool visible) override { d_.Put(u"Visible", Variant(visible)); }
  void Delete() override { d_.Call(u"Delete"); }

 private:
  AutomationApplication& app_;
  Dispatch d_;
};

class AutomationNames final : public NameCollection {
 public:
  AutomationNames(AutomationApplication& app, Dispatch owner) : app_(app), owner_(std::move(owner)) {}
  long Count() const override { return LongOf(Names().Value(u"Count")); }
  DefinedName& Item(long index) override { return Wrap(Names().Object(u"Item", {LongArg(index)})); }
  DefinedName& Item(TextView name) override { return Wrap(Names().Object(u"Item", {TextArg(name)})); }
  DefinedName& Add(TextView name, const Range& refersTo, bool visible) override;
  DefinedName& AddR1C1(TextView name, TextView refersToR1C1, bool visible) override {
    return Wrap(Names().Object(
        u"Add", {TextArg(name), Arg::Missing(), Arg(Variant(visible)), Arg::Missing(), Arg::Missing(), Arg::Missing(),
                 Arg::Missing(), Arg::Missing(), Arg::Missing(), TextArg(refersToR1C1)}));
  }

 private:
  Dispatch Names() const { return owner_.Object(u"Names"); }
  DefinedName& Wrap(const Dispatch& name) {
    return names_.For(name, [&](const Dispatch& d) { return std::make_unique<AutomationName>(app_, d); });
  }

  AutomationApplication& app_;
  Dispatch owner_;
  WrapperSet<AutomationName> names_;
};

class AutomationSheets final : public SheetCollection {
 public:
  AutomationSheets(AutomationApplication& app, Dispatch book) : app_(app), book_(std::move(book)) {}
  long Count() const override { return LongOf(Sheets().Value(u"Count")); }
  Worksheet& Item(long index) override;
  Worksheet& Item(TextView name) override;
  Worksheet& Add(const SheetAddArgs& args) override;

 private:
  Dispatch Sheets() const { return book_.Object(u"Worksheets"); }
  AutomationApplication& app_;
  Dispatch book_;
};

class AutomationWindow final : public Window {
 public:
  AutomationWindow(AutomationApplication& app, Dispatch window) : app_(app), d_(std::move(window)) {}
  Workbook& Parent() override;
  Text Caption() const override { return TextOf(d_.Value(u"Caption")); }
  void SetCaption(TextView caption) override { d_.Put(u"Caption", TextArg(caption)); }
  long Index() const override { return LongOf(d_.Value(u"Index")); }
  Range RangeSelection() override;
  Range ActiveCell() override;
  long WindowState() const override { return LongOf(d_.Value(u"WindowState")); }
  void SetWindowState(long state) override { d_.Put(u"WindowState", LongArg(state)); }
  double Top() const override { return DoubleOf(d_.Value(u"Top")); }
  void SetTop(double v) override { d_.Put(u"Top", Arg(Variant(v))); }
  double Left() const override { return DoubleOf(d_.Value(u"Left")); }
  void SetLeft(double v) override { d_.Put(u"Left", Arg(Variant(v))); }
  double Height() const override { return DoubleOf(d_.Value(u"Height")); }
  void SetHeight(double v) override { d_.Put(u"Height", Arg(Variant(v))); }
  double Width() const override { return DoubleOf(d_.Value(u"Width")); }
  void SetWidth(double v) override { d_.Put(u"Width", Arg(Variant(v))); }
  bool FreezePanes() const override { return BoolOf(d_.Value(u"FreezePanes")); }
  void SetFreezePanes(bool freeze) override { d_.Put(u"FreezePanes", Arg(Variant(freeze))); }
  void Activate() override { d_.Call(u"Activate"); }
  Window& NewWindow() override;
  void Close() override { d_.Call(u"Close"); }

 private:
  AutomationApplication& app_;
  Dispatch d_;
};

class AutomationWindows final : public WindowCollection {
 public:
  AutomationWindows(AutomationApplication& app, Dispatch owner) : app_(app), owner_(std::move(owner)) {}
  long Count() const override { return LongOf(Windows().Value(u"Count")); }
  Window& Item(long index) override;
  Window& Item(TextView caption) override;
  void Arrange(long arrangeStyle, bool activeWorkbook) override {
    Windows().Call(u"Arrange", {LongArg(arrangeStyle), Arg(Variant(activeWorkbook))});
  }
  void CompareSideBySideWith(TextView caption) override {
    Windows().Call(u"CompareSideBySideWith", {TextArg(caption)});
  }
  bool SyncScrollingSideBySide() const override { return BoolOf(Windows().Value(u"SyncScrollingSideBySide")); }
  void SetSyncScrollingSideBySide(bool on) override { Windows().Put(u"SyncScrollingSideBySide", Arg(Variant(on))); }
  void BreakSideBySide() override { Windows().Call(u"BreakSideBySide"); }

 private:
  Dispatch Windows() const { return owner_.Object(u"Windows"); }
  AutomationApplication& app_;
  Dispatch owner_;
};

class AutomationWorkbook final : public Workbook {
 public:
  AutomationWorkbook(AutomationApplication& app, Dispatch book)
      : app_(app), d_(std::move(book)), sheets_(app, d_), names_(app, d_), windows_(app, d_) {}
  Application& Parent() override;
  Text Name() const override { return TextOf(d_.Value(u"Name")); }
  SheetCollection& Worksheets() override { return sheets_; }
  SheetCollection& Sheets() override { return sheets_; }
  Worksheet& ActiveSheet() override;
  NameCollection& Names() override { return names_; }
  WindowCollection& Windows() override { return windows_; }
  bool ProtectStructure() const override { return BoolOf(d_.Value(u"ProtectStructure")); }
  bool ProtectWindows() const override { return BoolOf(d_.Value(u"ProtectWindows")); }
  void Protect(bool structure, bool windows) override {
    d_.Call(u"Protect", {Arg::Missing(), Arg(Variant(structure)), Arg(Variant(windows))});
  }
  void Unprotect() override { d_.Call(u"Unprotect"); }
  void Activate() override { d_.Call(u"Activate"); }
  long RowsCount() const override {
    return LongOf(d_.Object(u"Worksheets").Object(u"Item", {LongArg(1)}).Object(u"Rows").Value(u"Count"));
  }
  long ColumnsCount() const override {
    return LongOf(d_.Object(u"Worksheets").Object(u"Item", {LongArg(1)}).Object(u"Columns").Value(u"Count"));
  }

  AutomationWorksheet& SheetFor(const Dispatch& sheet);
  const Dispatch& Object() const { return d_; }

 private:
  AutomationApplication& app_;
  Dispatch d_;
  AutomationSheets sheets_;
  AutomationNames names_;
  AutomationWindows windows_;
  WrapperSet<AutomationWorksheet> sheetWrappers_;
};

class AutomationWorkbooks final : public WorkbookCollection {
 public:
  explicit AutomationWorkbooks(AutomationApplication& app) : app_(app) {}
  long Count() const override;
  Workbook& Item(long index) override;
  Workbook& Item(TextView name) override;
  Workbook& Add() override;

 private:
  AutomationApplication& app_;
};

class AutomationFunctions final : public WorksheetFunction {
 public:
  explicit AutomationFunctions(AutomationApplication& app) : app_(app) {}
  Variant Lookup(const Variant& value, std::span<const Variant> lookupVector,
                 std::span<const Variant> resultVector) override;
  double CountA(const Range& range) override;
  Text Proper(TextView text) override;

 private:
  AutomationApplication& app_;
};

class AutomationWorksheet final : public Worksheet {
 public:
  AutomationWorksheet(AutomationApplication& app, AutomationWorkbook& book, Dispatch sheet)
      : app_(app), book_(book), d_(std::move(sheet)), names_(app, d_) {}

  Workbook& Parent() override { return book_; }
  Text Name() const override { return TextOf(d_.Value(u"Name")); }
  void SetName(TextView name) override { d_.Put(u"Name", TextArg(name)); }
  long Index() const override { return LongOf(d_.Value(u"Index")); }
  long Visible() const override { return LongOf(d_.Value(u"Visible")); }
  void SetVisible(long visible) override { d_.Put(u"Visible", LongArg(visible)); }
  void Activate() override { d_.Call(u"Activate"); }
  void Select() override { d_.Call(u"Select"); }
  void Delete() override { d_.Call(u"Delete"); }
  NameCollection& Names() override { return names_; }
  long RowsCount() const override {
    if (rows_ == 0) rows_ = LongOf(d_.Object(u"Rows").Value(u"Count"));
    return rows_;
  }
  long ColumnsCount() const override {
    if (columns_ == 0) columns_ = LongOf(d_.Object(u"Columns").Value(u"Count"));
    return columns_;
  }

  xl::Range Range(TextView reference) override;
  // The rectangle spanning the first areas of both, as the application makes it.
  xl::Range Range(const xl::Range& cell1, const xl::Range& cell2) override {
    if (&cell1.Parent() != this || &cell2.Parent() != this) {
      Raise(err::kApplication, "Method 'Range' of object '_Worksheet' failed");
    }
    const Area& a = cell1.FirstArea();
    const Area& b = cell2.FirstArea();
    return xl::Range(*this, Area{std::min(a.row1, b.row1), std::min(a.col1, b.col1), std::max(a.row2, b.row2),
                                 std::max(a.col2, b.col2)});
  }
  xl::Range Range(TextView cell1, TextView cell2) override { return Range(Text(cell1) + u":" + Text(cell2)); }
  xl::Range Cells(long row, long col) override {
    if (row < 1 || col < 1 || row > RowsCount() || col > ColumnsCount()) {
      Raise(err::kApplication, "Application-defined or object-defined error");
    }
    return xl::Range(*this, Area{row, col, row, col});
  }
  xl::Range Rows(long row) override { return Cells(row, 1).EntireRow(); }
  xl::Range Columns(long col) override { return Cells(1, col).EntireColumn(); }
  xl::Range UsedRange() override;

  bool ProtectContents() const override { return BoolOf(d_.Value(u"ProtectContents")); }
  void Protect(const xl::Protection& options) override {
    d_.Call(u"Protect", {Arg::Missing(), Arg::Missing(), Arg::Missing(), Arg::Missing(), Arg::Missing(),
                         Arg(Variant(options.AllowFormattingCells))});
  }
  void Unprotect() override { d_.Call(u"Unprotect"); }
  xl::Protection Protection() const override {
    return xl::Protection{BoolOf(d_.Object(u"Protection").Value(u"AllowFormattingCells"))};
  }
  xl::PageSetup GetPageSetup() override;
  void SetPageSetup(const xl::PageSetup& page) override;
  std::vector<xl::Range> Comments() override;
  void AddHyperlink(const xl::Range& anchor, TextView address, TextView subAddress, TextView textToDisplay) override {
    d_.Object(u"Hyperlinks")
        .Call(u"Add", {Arg(Object(anchor.AreaList())), TextArg(address), TextArg(subAddress), Arg::Missing(),
                       textToDisplay.empty() ? Arg::Missing() : TextArg(textToDisplay)});
  }
  void Paste(const xl::Range& destination) override { d_.Call(u"Paste", {Arg(Object(destination.AreaList()))}); }

  Variant CellValue(long row, long col) override { return Cell(row, col).Value(u"Value"); }
  void SetValue(const Area& area, const Variant& value) override { Object(area).Put(u"Value", value); }
  void ReadValues(const Area& area, std::vector<Variant>& out) override { Object(area).Values(u"Value", out); }
  void WriteValues(const Area& area, std::span<const Variant> values) override {
    Object(area).PutValues(u"Value", area.Rows(), area.Columns(), values);
  }
  Text CellFormula(long row, long col) override { return TextOf(Cell(row, col).Value(u"Formula")); }
  bool CellHasFormula(long row, long col) override { return BoolOf(Cell(row, col).Value(u"HasFormula")); }
  void ClearContents(std::span<const Area> areas) override { Object(areas).Call(u"ClearContents"); }
  void ClearFormats(std::span<const Area> areas) override { Object(areas).Call(u"ClearFormats"); }
  CellPos End(long row, long col, long direction) override {
    const Dispatch end = Cell(row, col).Object(u"End", {LongArg(direction)});
    return PositionOf(end);
  }
  std::optional<CellPos> Find(std::span<const Area> within, const FindArgs& args) override;
  std::optional<CellPos> FindNext(std::span<const Area> within, std::optional<CellPos> after) override;
  void Sort(const Area& block, const SortArgs& args) override;
  std::optional<Area> MergedAreaAt(long row, long col) override {
    const Dispatch cell = Cell(row, col);
    if (!BoolOf(cell.Value(u"MergeCells"))) return std::nullopt;
    return AreasOf(cell.Object(u"MergeArea")).front();
  }
  void Merge(const Area& area) override { Object(area).Call(u"Merge"); }
  void UnMerge(const Area& area) override { Object(area).Call(u"UnMerge"); }
  std::vector<Area> MergedAreas() override;
  void Select(std::span<const Area> areas) override { Object(areas).Call(u"Select"); }
  void Activate(const Area& area) override { Object(area).Call(u"Activate"); }
  std::vector<Area> SelectionAreas() override;
  CellPos ActiveCellPos() override;
  Variant GetFormat(const Area& area, FormatKey key, long index) override;
  void SetFormat(const Area& area, FormatKey key, const Variant& value, long index) override;
  Variant RowsHidden(long row1, long row2) override { return Rows(row1, row2).Value(u"Hidden"); }
  void SetRowsHidden(long row1, long row2, bool hidden) override { Rows(row1, row2).Put(u"Hidden", Variant(hidden)); }
  Variant ColumnsHidden(long col1, long col2) override { return Columns(col1, col2).Value(u"Hidden"); }
  void SetColumnsHidden(long col1, long col2, bool hidden) override {
    Columns(col1, col2).Put(u"Hidden", Variant(hidden));
  }
  Variant ColumnWidth(long col1, long col2) override { return Columns(col1, col2).Value(u"ColumnWidth"); }
  void SetColumnWidth(long col1, long col2, double width) override {
    Columns(col1, col2).Put(u"ColumnWidth", Variant(width));
  }
  Variant RowHeight(long row1, long row2) override { return Rows(row1, row2).Value(u"RowHeight"); }
  void SetRowHeight(long row1, long row2, double height) override {
    Rows(row1, row2).Put(u"RowHeight", Variant(height));
  }
  void AutoFitColumns(const Area& area) override { Object(area).Object(u"Columns").Call(u"AutoFit"); }
  void AutoFitRows(const Area& area) override { Object(area).Object(u"Rows").Call(u"AutoFit"); }
  std::optional<CommentData> CellComment(long row, long col) override;
  void SetCellComment(long row, long col, std::optional<CommentData> comment) override;
  void ClearComments(std::span<const Area> areas) override { Object(areas).Call(u"ClearComments"); }
  std::vector<Hyperlink> CellHyperlinks(const Area& area) override;
  void AutoFill(const Area& source, const Area& destination) override {
    Object(source).Call(u"AutoFill", {Arg(Object(destination)), LongArg(xlFillDefault)});
  }
  void DataSeries(const Area& area, const DataSeriesArgs& args) override {
    Object(area).Call(u"DataSeries",
                      {LongArg(args.Rowcol), LongArg(args.Type), LongArg(args.Date), Arg(Variant(args.Step)),
                       args.Stop ? Arg(Variant(*args.Stop)) : Arg::Missing(), Arg(Variant(args.Trend))});
  }
  void AutoFilter(const Area& area) override { Object(area).Call(u"AutoFilter"); }
  std::optional<Area> AutoFilterArea() override {
    if (!BoolOf(d_.Value(u"AutoFilterMode"))) return std::nullopt;
    return AreasOf(d_.Object(u"AutoFilter").Object(u"Range")).front();
  }
  void InsertColumns(long col1, long col2) override { Columns(col1, col2).Call(u"Insert"); }
  void DeleteColumns(long col1, long col2) override { Columns(col1, col2).Call(u"Delete"); }
  void TextToColumns(const Area& area, const TextToColumnsArgs& args) override;
  double CellLeft(long col) override { return DoubleOf(Cell(1, col).Value(u"Left")); }
  double CellTop(long row) override { return DoubleOf(Cell(row, 1).Value(u"Top")); }
  double CellWidth(long col) override { return DoubleOf(Cell(1, col).Value(u"Width")); }

  // The application's Range object of these areas, and the areas of one.
  Dispatch Object(std::span<const Area> areas) const {
    std::vector<Text> parts;
    parts.reserve(areas.size());
    for (const Area& a : areas) parts.push_back(AreaAddress(a, RowsCount(), ColumnsCount()));
    return RangeOfParts(parts);
  }
  Dispatch Object(const Area& area) const {
    return d_.Object(u"Range", {TextArg(AreaAddress(area, RowsCount(), ColumnsCount()))});
  }
  std::vector<Area> AreasOf(const Dispatch& range) const;
  xl::Range RangeOf(const Dispatch& range) { return xl::Range(*this, AreasOf(range)); }
  const Dispatch& Sheet() const { return d_; }

 private:
  // The Range object of a reference given in parts (addresses or names, to be joined
  // with commas): the application refuses a reference longer than 255 characters, so a
  // longer one is made of pieces each within the limit, joined by Union.
  Dispatch RangeOfParts(std::span<const Text> parts) const;
  Dispatch Cell(long row, long col) const { return d_.Object(u"Cells", {LongArg(row), LongArg(col)}); }
  // Entire rows and columns: their addresses ("$3:$5", "$B:$D") name them whole.
  Dispatch Rows(long row1, long row2) const { return Object(Area{row1, 1, row2, ColumnsCount()}); }
  Dispatch Columns(long col1, long col2) const { return Object(Area{1, col1, RowsCount(), col2}); }
  // The position of a cell (the first cell of a range), from its address in one call.
  CellPos PositionOf(const Dispatch& cell) const {
    const Area first = AreasOf(cell).front();
    return CellPos{first.row1, first.col1};
  }

  AutomationApplication& app_;
  AutomationWorkbook& book_;
  Dispatch d_;
  AutomationNames names_;
  mutable long rows_ = 0;
  mutable long columns_ = 0;
};

class AutomationApplication final : public Application {
 public:
  explicit AutomationApplication(Dispatch app)
      : d_(std::move(app)), books_(*this), windows_(*this, d_), functions_(*this) {}

  WorkbookCollection& Workbooks() override { return books_; }
  Workbook* ActiveWorkbook() override {
    const Dispatch book = d_.Object(u"ActiveWorkbook");
    return book.IsNothing() ? nullptr : &WorkbookFor(book);
  }
  Worksheet* ActiveSheet() override {
    const Dispatch sheet = d_.Object(u"ActiveSheet");
    return sheet.IsNothing() ? nullptr : &SheetFor(sheet);
  }
  Window* ActiveWindow() override {
    const Dispatch window = d_.Object(u"ActiveWindow");
    return window.IsNothing() ? nullptr : &WindowFor(window);
  }
  std::optional<Range> ActiveCell() override { return RangeOrNothing(d_.Object(u"ActiveCell")); }
  std::optional<Range> Selection() override {
    const Dispatch selection = d_.Object(u"Selection");
    if (selection.IsNothing() || !selection.Has(u"Address")) return std::nullopt;
    return RangeFrom(selection);
  }
  WindowCollection& Windows() override { return windows_; }
  xl::WorksheetFunction& WorksheetFunction() override { return functions_; }
  Text ThisWorkbookName() const override { return TextOf(d_.Object(u"ThisWorkbook").Value(u"Name")); }
  Variant Run(TextView macro, std::span<Variant> args) override {
    std::vector<Variant> all;
    all.reserve(args.size() + 1);
    all.emplace_back(Text(macro));
    all.insert(all.end(), args.begin(), args.end());
    Variant result = d_.CallByRef(u"Run", all);
    std::copy(all.begin() + 1, all.end(), args.begin());
    return result;
  }
  bool ScreenUpdating() const override { return BoolOf(d_.Value(u"ScreenUpdating")); }
  void SetScreenUpdating(bool on) override { d_.Put(u"ScreenUpdating", Arg(Variant(on))); }
  long Cursor() const override { return LongOf(d_.Value(u"Cursor")); }
  void SetCursor(long cursor) override { d_.Put(u"Cursor", LongArg(cursor)); }
  Variant StatusBar() const override { return d_.Value(u"StatusBar"); }
  void SetStatusBar(const Variant& textOrFalse) override { d_.Put(u"StatusBar", Arg(textOrFalse)); }
  bool DisplayStatusBar() const override { return BoolOf(d_.Value(u"DisplayStatusBar")); }
  void SetDisplayStatusBar(bool on) override { d_.Put(u"DisplayStatusBar", Arg(Variant(on))); }
  bool DisplayAlerts() const override { return BoolOf(d_.Value(u"DisplayAlerts")); }
  void SetDisplayAlerts(bool on) override { d_.Put(u"DisplayAlerts", Arg(Variant(on))); }
  long DisplayCommentIndicator() const override { return LongOf(d_.Value(u"DisplayCommentIndicator")); }
  void SetDisplayCommentIndicator(long indicator) override { d_.Put(u"DisplayCommentIndicator", LongArg(indicator)); }
  Text Version() const override { return TextOf(d_.Value(u"Version")); }
  double UsableHeight() const override { return DoubleOf(d_.Value(u"UsableHeight")); }
  double UsableWidth() const override { return DoubleOf(d_.Value(u"UsableWidth")); }
  double InchesToPoints(double inches) const override {
    return DoubleOf(d_.Value(u"InchesToPoints", {Arg(Variant(inches))}));
  }
  std::optional<Range> Intersect(const Range& a, const Range& b) override {
    return RangeOrNothing(d_.Object(u"Intersect", {Arg(ObjectOf(a)), Arg(ObjectOf(b))}));
  }
  Range Union(const Range& a, const Range& b) override {
    return RangeFrom(d_.Object(u"Union", {Arg(ObjectOf(a)), Arg(ObjectOf(b))}));
  }
  // The union of Range objects in their order, 30 (the most Union takes) at a time.
  Dispatch UnionOf(std::span<const Dispatch> ranges) const {
    Dispatch out = ranges.front();
    for (std::size_t next = 1; next < ranges.size();) {
      std::vector<Arg> args{Arg(out)};
      for (; next < ranges.size() && args.size() < kUnionArgs; ++next) args.emplace_back(ranges[next]);
      out = d_.Object(u"Union", args);
    }
    return out;
  }
  void GoTo(const Range& reference) override { d_.Call(u"Goto", {Arg(ObjectOf(reference))}); }

  const Dispatch& Object() const { return d_; }

  AutomationWorkbook& WorkbookFor(const Dispatch& book) {
    return bookWrappers_.For(book, [&](const Dispatch& d) { return std::make_unique<AutomationWorkbook>(*this, d); });
  }
  AutomationWorksheet& SheetFor(const Dispatch& sheet) { return WorkbookFor(sheet.Object(u"Parent")).SheetFor(sheet); }
  Window& WindowFor(const Dispatch& window) {
    return windowWrappers_.For(window, [&](const Dispatch& d) { return std::make_unique<AutomationWindow>(*this, d); });
  }
  Range RangeFrom(const Dispatch& range) { return SheetFor(range.Object(u"Worksheet")).RangeOf(range); }
  std::optional<Range> RangeOrNothing(const Dispatch& range) {
    if (range.IsNothing()) return std::nullopt;
    return RangeFrom(range);
  }
  static Dispatch ObjectOf(const Range& range) {
    return static_cast<AutomationWorksheet&>(range.Parent()).Object(range.AreaList());
  }

 private:
  Dispatch d_;
  AutomationWorkbooks books_;
  AutomationWindows windows_;
  AutomationFunctions functions_;
  WrapperSet<AutomationWorkbook> bookWrappers_;
  WrapperSet<AutomationWindow> windowWrappers_;

  friend class AutomationWorkbooks;
};

// ---------------------------------------------------------------------------------------

Range AutomationName::RefersToRange() const { return app_.RangeFrom(d_.Object(u"RefersToRange")); }

DefinedName& AutomationNames::Add(TextView name, const Range& refersTo, bool visible) {
  return Wrap(
      Names().Object(u"Add", {TextArg(name), Arg(AutomationApplication::ObjectOf(refersTo)), Arg(Variant(visible))}));
}

Worksheet& AutomationSheets::Item(long index) { return app_.SheetFor(Sheets().Object(u"Item", {LongArg(index)})); }
Worksheet& AutomationSheets::Item(TextView name) { return app_.SheetFor(Sheets().Object(u"Item", {TextArg(name)})); }
Worksheet& AutomationSheets::Add(const SheetAddArgs& args) {
  auto sheetArg = [](Worksheet* sheet) {
    return sheet == nullptr ? Arg::Missing() : Arg(static_cast<AutomationWorksheet*>(sheet)->Sheet());
  };
  return app_.SheetFor(Sheets().Object(u"Add", {sheetArg(args.Before), sheetArg(args.After), LongArg(args.Count)}));
}

Workbook& AutomationWindow::Parent() { return app_.WorkbookFor(d_.Object(u"Parent")); }
Range AutomationWindow::RangeSelection() { return app_.RangeFrom(d_.Object(u"RangeSelection")); }
Range AutomationWindow::ActiveCell() { return app_.RangeFrom(d_.Object(u"ActiveCell")); }
Window& AutomationWindow::NewWindow() { return app_.WindowFor(d_.Object(u"NewWindow")); }

Window& AutomationWindows::Item(long index) { return app_.WindowFor(Windows().Object(u"Item", {LongArg(index)})); }
Window& AutomationWindows::Item(TextView caption) {
  return app_.WindowFor(Windows().Object(u"Item", {TextArg(caption)}));
}

Application& AutomationWorkbook::Parent() { return app_; }
Worksheet& AutomationWorkbook::ActiveSheet() { return SheetFor(d_.Object(u"ActiveSheet")); }
AutomationWorksheet& AutomationWorkbook::SheetFor(const Dispatch& sheet) {
  return sheetWrappers_.For(sheet,
                            [&](const Dispatch& d) { return std::make_unique<AutomationWorksheet>(app_, *this, d); });
}

long AutomationWorkbooks::Count() const { return LongOf(app_.Object().Object(u"Workbooks").Value(u"Count")); }
Workbook& AutomationWorkbooks::Item(long index) {
  return app_.WorkbookFor(app_.Object().Object(u"Workbooks").Object(u"Item", {LongArg(index)}));
}
Workbook& AutomationWorkbooks::Item(TextView name) {
  return app_.WorkbookFor(app_.Object().Object(u"Workbooks").Object(u"Item", {TextArg(name)}));
}
Workbook& AutomationWorkbooks::Add() { return app_.WorkbookFor(app_.Object().Object(u"Workbooks").Object(u"Add")); }

double AutomationFunctions::CountA(const Range& range) {
  return DoubleOf(
      app_.Object().Object(u"WorksheetFunction").Value(u"CountA", {Arg(AutomationApplication::ObjectOf(range))}));
}
Variant AutomationFunctions::Lookup(const Variant& value, std::span<const Variant> lookupVector,
                                    std::span<const Variant> resultVector) {
  return app_.Object()
      .Object(u"WorksheetFunction")
      .Value(u"Lookup", {Arg(value), Arg::Column(lookupVector), Arg::Column(resultVector)});
}
Text AutomationFunctions::Proper(TextView text) {
  return TextOf(app_.Object().Object(u"WorksheetFunction").Value(u"Proper", {TextArg(text)}));
}

xl::Range AutomationWorksheet::Range(TextView reference) {
  if (reference.size() <= kReferenceLimit) return RangeOf(d_.Object(u"Range", {TextArg(reference)}));
  return RangeOf(RangeOfParts(ReferenceParts(reference)));
}

Dispatch AutomationWorksheet::RangeOfParts(std::span<const Text> parts) const {
  std::vector<Dispatch> pieces;
  Text piece;
  for (const Text& part : parts) {
    if (!piece.empty() && piece.size() + 1 + part.size() > kReferenceLimit) {
      pieces.push_back(d_.Object(u"Range", {TextArg(piece)}));
      piece.clear();
    }
    if (!piece.empty()) piece += u',';
    piece += part;
  }
  pieces.push_back(d_.Object(u"Range", {TextArg(piece)}));
  return app_.UnionOf(pieces);
}

// A range's Address is cut when it is longer than 255 characters: the address of a
// range of several areas is read area by area.
std::vector<Area> AutomationWorksheet::AreasOf(const Dispatch& range) const {
  auto parse = [this](const Text& address) {
    std::optional<Reference> parsed = ParseA1(address, RowsCount(), ColumnsCount());
    if (!parsed || parsed->areas.empty()) Raise(err::kApplication, "Unexpected range address " + ToUtf8(address));
    return parsed->areas;
  };
  const Text address = TextOf(range.Value(u"Address"));
  if (address.find(u',') == Text::npos) return parse(address);
  const Dispatch areas = range.Object(u"Areas");
  const long count = LongOf(areas.Value(u"Count"));
  std::vector<Area> out;
  out.reserve(static_cast<std::size_t>(count));
  for (long i = 1; i <= count; ++i) {
    const std::vector<Area> one = parse(TextOf(areas.Object(u"Item", {LongArg(i)}).Value(u"Address")));
    out.insert(out.end(), one.begin(), one.end());
  }
  return out;
}
xl::Range AutomationWorksheet::UsedRange() { return RangeOf(d_.Object(u"UsedRange")); }

// The sheet has no collection of its merged areas. Range.MergeCells of an area is False
// when none of its cells is merged (True when all are, Null when some): the used range
// is searched in parts, and a part whose first cell is merged gives that cell's
// MergeArea, whose cells leave the search. A sheet without merged cells takes one call.
std::vector<Area> AutomationWorksheet::MergedAreas() {
  std::vector<Area> found;
  std::set<std::tuple<long, long, long, long>> seen;
  const xl::Range used = UsedRange();
  std::vector<Area> todo(used.AreaList().begin(), used.AreaList().end());
  while (!todo.empty()) {
    const Area a = todo.back();
    todo.pop_back();
    const Variant merged = Object(a).Value(u"MergeCells");
    if (merged.IsBoolean() && !merged.AsBool()) continue;
    const Dispatch first = a.Cells() == 1 ? Object(a) : Cell(a.row1, a.col1);
    if (a.Cells() == 1 || BoolOf(first.Value(u"MergeCells"))) {
      const Area m = AreasOf(first.Object(u"MergeArea")).front();
      if (!m.Contains(a.row1, a.col1)) {
        Raise(err::kApplication, "The merged area of a cell does not hold the cell");
      }
      if (seen.insert({m.row1, m.col1, m.row2, m.col2}).second) found.push_back(m);
      // What is left of the part: the rows above and below the merged area, and beside it.
      const long top = std::max(a.row1, m.row1), bottom = std::min(a.row2, m.row2);
      if (a.row1 < m.row1) todo.push_back(Area{a.row1, a.col1, m.row1 - 1, a.col2});
      if (a.row2 > m.row2) todo.push_back(Area{m.row2 + 1, a.col1, a.row2, a.col2});
      if (a.col1 < m.col1) todo.push_back(Area{top, a.col1, bottom, m.col1 - 1});
      if (a.col2 > m.col2) todo.push_back(Area{top, m.col2 + 1, bottom, a.col2});
    } else if (a.Cells() > 1) {
      // Halves along the longer side.
      if (a.Rows() >= a.Columns()) {
        const long middle = a.row1 + a.Rows() / 2 - 1;
        todo.push_back(Area{a.row1, a.col1, middle, a.col2});
        todo.push_back(Area{middle + 1, a.col1, a.row2, a.col2});
      } else {
        const long middle = a.col1 + a.Columns() / 2 - 1;
        todo.push_back(Area{a.row1, a.col1, a.row2, middle});
        todo.push_back(Area{a.row1, middle + 1, a.row2, a.col2});
      }
    }
  }
  return found;
}

std::vector<xl::Range> AutomationWorksheet::Comments() {
  const Dispatch comments = d_.Object(u"Comments");
  const long count = LongOf(comments.Value(u"Count"));
  std::vector<xl::Range> out;
  for (long i = 1; i <= count; ++i) out.push_back(RangeOf(comments.Object(u"Item", {LongArg(i)}).Object(u"Parent")));
  return out;
}

std::optional<CellPos> AutomationWorksheet::Find(std::span<const Area> within, const FindArgs& args) {
  auto optionalLong = [](const std::optional<long>& v) { return v ? LongArg(*v) : Arg::Missing(); };
  const Arg after = args.After != nullptr ? Arg(Object(args.After->AreaList())) : Arg::Missing();
  const Dispatch found =
      Object(within).Object(u"Find", {TextArg(args.What), after, optionalLong(args.LookIn), optionalLong(args.LookAt),
                                      optionalLong(args.SearchOrder), LongArg(args.SearchDirection),
                                      args.MatchCase ? Arg(Variant(*args.MatchCase)) : Arg::Missing(),
                                      args.MatchByte ? Arg(Variant(*args.MatchByte)) : Arg::Missing()});
  if (found.IsNothing()) return std::nullopt;
  return PositionOf(found);
}

std::optional<CellPos> AutomationWorksheet::FindNext(std::span<const Area> within, std::optional<CellPos> after) {
  const Arg afterArg = after ? Arg(Cell(after->row, after->col)) : Arg::Missing();
  const Dispatch found = Object(within).Object(u"FindNext", {afterArg});
  if (found.IsNothing()) return std::nullopt;
  return PositionOf(found);
}

void AutomationWorksheet::Sort(const Area& block, const SortArgs& args) {
  auto key = [&](const xl::Range* k) { return k == nullptr ? Arg::Missing() : Arg(Object(k->AreaList())); };
  Object(block).Call(u"Sort", {key(args.Key1), LongArg(args.Order1), key(args.Key2), Arg::Missing(),
                               LongArg(args.Order2), key(args.Key3), LongArg(args.Order3), LongArg(args.Header),
                               Arg::Missing(), Arg(Variant(args.MatchCase)), LongArg(args.Orientation)});
}

std::vector<Area> AutomationWorksheet::SelectionAreas() {
  // The selection of a sheet is its window's while the sheet is active.
  const Dispatch active = app_.Object().Object(u"ActiveSheet");
  if (active.Identity() != d_.Identity()) NotAutomated("Worksheet.SelectionAreas of a sheet that is not active");
  return AreasOf(app_.Object().Object(u"ActiveWindow").Object(u"RangeSelection"));
}

CellPos AutomationWorksheet::ActiveCellPos() {
  const Dispatch active = app_.Object().Object(u"ActiveSheet");
  if (active.Identity() != d_.Identity()) NotAutomated("Worksheet.ActiveCellPos of a sheet that is not active");
  const Dispatch cell = app_.Object().Object(u"ActiveCell");
  return PositionOf(cell);
}

namespace {

// The object and the property of a cell format, on a Range object.
std::pair<Dispatch, const char16_t*> FormatTarget(const Dispatch& range, FormatKey key, long index) {
  auto borders = [&] { return index == 0 ? range.Object(u"Borders") : range.Object(u"Borders", {LongArg(index)}); };
  switch (key) {
    case FormatKey::FontBold: return {range.Object(u"Font"), u"Bold"};
    case FormatKey::FontColorIndex: return {range.Object(u"Font"), u"ColorIndex"};
    case FormatKey::FontUnderline: return {range.Object(u"Font"), u"Underline"};
    case FormatKey::InteriorColor: return {range.Object(u"Interior"), u"Color"};
    case FormatKey::InteriorPattern: return {range.Object(u"Interior"), u"Pattern"};
    case FormatKey::BorderLineStyle: return {borders(), u"LineStyle"};
    case FormatKey::BorderWeight: return {borders(), u"Weight"};
    case FormatKey::HorizontalAlignment: return {range, u"HorizontalAlignment"};
    case FormatKey::VerticalAlignment: return {range, u"VerticalAlignment"};
    case FormatKey::NumberFormat: return {range, u"NumberFormat"};
    case FormatKey::WrapText: return {range, u"WrapText"};
    case FormatKey::Locked: return {range, u"Locked"};
  }
  NotAutomated("Range format");
}

}  // namespace

Variant AutomationWorksheet::GetFormat(const Area& area, FormatKey key, long index) {
  const auto [object, property] = FormatTarget(Object(area), key, index);
  return object.Value(property);
}

void AutomationWorksheet::SetFormat(const Area& area, FormatKey key, const Variant& value, long index) {
  const auto [object, property] = FormatTarget(Object(area), key, index);
  object.Put(property, Arg(value));
}

std::optional<CommentData> AutomationWorksheet::CellComment(long row, long col) {
  const Dispatch comment = Cell(row, col).Object(u"Comment");
  if (comment.IsNothing()) return std::nullopt;
  const Dispatch shape = comment.Object(u"Shape");
  CommentData data;
  data.text = TextOf(comment.Call(u"Text"));
  data.visible = BoolOf(comment.Value(u"Visible"));
  data.autoSize = BoolOf(shape.Object(u"TextFrame").Value(u"AutoSize"));
  data.fillColor = LongOf(shape.Object(u"Fill").Object(u"ForeColor").Value(u"RGB"));
  data.top = DoubleOf(shape.Value(u"Top"));
  data.left = DoubleOf(shape.Value(u"Left"));
  data.width = DoubleOf(shape.Value(u"Width"));
  data.height = DoubleOf(shape.Value(u"Height"));
  return data;
}

void AutomationWorksheet::SetCellComment(long row, long col, std::optional<CommentData> comment) {
  const Dispatch cell = Cell(row, col);
  if (!cell.Object(u"Comment").IsNothing()) cell.Call(u"ClearComments");
  if (!comment) return;
  const Dispatch added = cell.Object(u"AddComment", {TextArg(comment->text)});
  added.Put(u"Visible", Variant(comment->visible));
  const Dispatch shape = added.Object(u"Shape");
  shape.Object(u"TextFrame").Put(u"AutoSize", Variant(comment->autoSize));
  shape.Object(u"Fill").Object(u"ForeColor").Put(u"RGB", Variant(comment->fillColor));
  shape.Put(u"Top", Variant(comment->top));
  shape.Put(u"Left", Variant(comment->left));
  shape.Put(u"Width", Variant(comment->width));
  shape.Put(u"Height", Variant(comment->height));
}

namespace {

// The properties of the PageSetup object, by kind, in the order they are written (Zoom
// before the pages to fit to, which count only with Zoom False).
template <class T>
struct PageField {
  const char16_t* name;
  T xl::PageSetup::*field;
};
constexpr PageField<Text> kPageTexts[] = {{u"PrintArea", &xl::PageSetup::PrintArea},
                                          {u"CenterHeader", &xl::PageSetup::CenterHeader},
                                          {u"LeftHeader", &xl::PageSetup::LeftHeader},
                                          {u"RightHeader", &xl::PageSetup::RightHeader},
                                          {u"CenterFooter", &xl::PageSetup::CenterFooter},
                                          {u"LeftFooter", &xl::PageSetup::LeftFooter},
                                          {u"RightFooter", &xl::PageSetup::RightFooter},
                                          {u"PrintTitleRows", &xl::PageSetup::PrintTitleRows},
                                          {u"PrintTitleColumns", &xl::PageSetup::PrintTitleColumns}};
constexpr PageField<double> kPageNumbers[] = {
    {u"HeaderMargin", &xl::PageSetup::HeaderMargin}, {u"FooterMargin", &xl::PageSetup::FooterMargin},
    {u"TopMargin", &xl::PageSetup::TopMargin},       {u"BottomMargin", &xl::PageSetup::BottomMargin},
    {u"LeftMargin", &xl::PageSetup::LeftMargin},     {u"RightMargin", &xl::PageSetup::RightMargin}};
constexpr PageField<Variant> kPageValues[] = {{u"Zoom", &xl::PageSetup::Zoom},
                                              {u"FitToPagesWide", &xl::PageSetup::FitToPagesWide},
                                              {u"FitToPagesTall", &xl::PageSetup::FitToPagesTall}};
constexpr PageField<bool> kPageFlags[] = {{u"CenterHorizontally", &xl::PageSetup::CenterHorizontally},
                                          {u"CenterVertically", &xl::PageSetup::CenterVertically}};

}  // namespace

xl::PageSetup AutomationWorksheet::GetPageSetup() {
  const Dispatch p = d_.Object(u"PageSetup");
  xl::PageSetup page;
  for (const auto& f : kPageTexts) page.*f.field = TextOf(p.Value(f.name));
  for (const auto& f : kPageNumbers) page.*f.field = DoubleOf(p.Value(f.name));
  for (const auto& f : kPageValues) page.*f.field = p.Value(f.name);
  for (const auto& f : kPageFlags) page.*f.field = BoolOf(p.Value(f.name));
  return page;
}

void AutomationWorksheet::SetPageSetup(const xl::PageSetup& page) {
  const Dispatch p = d_.Object(u"PageSetup");
  for (const auto& f : kPageTexts) p.Put(f.name, TextArg(page.*f.field));
  for (const auto& f : kPageNumbers) p.Put(f.name, Arg(Variant(page.*f.field)));
  for (const auto& f : kPageValues) p.Put(f.name, Arg(page.*f.field));
  for (const auto& f : kPageFlags) p.Put(f.name, Arg(Variant(page.*f.field)));
}

std::vector<Hyperlink> AutomationWorksheet::CellHyperlinks(const Area& area) {
  const Dispatch links = Object(area).Object(u"Hyperlinks");
  const long count = LongOf(links.Value(u"Count"));
  std::vector<Hyperlink> out;
  for (long i = 1; i <= count; ++i) {
    const Dispatch link = links.Object(u"Item", {LongArg(i)});
    out.push_back(Hyperlink{TextOf(link.Value(u"Address")), TextOf(link.Value(u"SubAddress")),
                            TextOf(link.Value(u"TextToDisplay"))});
  }
  return out;
}

void AutomationWorksheet::TextToColumns(const Area& area, const TextToColumnsArgs& args) {
  Object(area).Call(
      u"TextToColumns",
      {Arg::Missing(), LongArg(args.DataType), LongArg(args.TextQualifier), Arg(Variant(args.ConsecutiveDelimiter)),
       Arg(Variant(args.Tab)), Arg(Variant(args.Semicolon)), Arg(Variant(args.Comma)), Arg(Variant(args.Space)),
       Arg(Variant(args.Other)), args.OtherChar.empty() ? Arg::Missing() : TextArg(args.OtherChar),
       args.FieldInfo.empty() ? Arg::Missing() : Arg::Pairs(args.FieldInfo)});
}

}  // namespace

std::unique_ptr<Application> MakeApplication(Dispatch application) {
  return std::make_unique<AutomationApplication>(std::move(application));
}

}  // namespace quillary::xl::automation
