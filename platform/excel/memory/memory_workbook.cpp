// Workbooks, their sheets collection, names and windows.
#include <algorithm>

#include "platform/excel/memory/internal/objects.h"
#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"

namespace quillary::xl::memory {

namespace {

Text Decimal(long n) {
  std::string s = std::to_string(n);
  return Text(s.begin(), s.end());
}

void CheckDefinedName(TextView name) {
  if (!IsValidName(name)) Raise(err::kApplication, "The name that you entered is not valid.");
}

MemoryWorksheet& AsMemory(Worksheet& sheet) {
  auto* m = dynamic_cast<MemoryWorksheet*>(&sheet);
  if (!m) Raise(err::kApplication, "The range belongs to another application");
  return *m;
}

}  // namespace

// ----- names -----

MemoryName::MemoryName(MemoryNames& owner, Text name, MemoryWorksheet* sheet, std::vector<Area> areas, bool visible)
    : owner_(owner), name_(std::move(name)), sheet_(sheet), areas_(std::move(areas)), visible_(visible) {}

Text MemoryName::RefersTo() const {
  if (!sheet_) return u"=#REF!";
  Text out = u"=";
  for (std::size_t i = 0; i < areas_.size(); ++i) {
    if (i) out += u',';
    out += SheetPrefix(sheet_->Name()) + AreaAddress(areas_[i], sheet_->RowsCount(), sheet_->ColumnsCount());
  }
  return out;
}

Text MemoryName::RefersToR1C1() const {
  if (!sheet_) return u"=#REF!";
  Text out = u"=";
  for (std::size_t i = 0; i < areas_.size(); ++i) {
    if (i) out += u',';
    out += SheetPrefix(sheet_->Name()) + AreaAddressR1C1(areas_[i], sheet_->RowsCount(), sheet_->ColumnsCount());
  }
  return out;
}

xl::Range MemoryName::RefersToRange() const {
  if (!sheet_) Raise(err::kApplication, "The name refers to a deleted sheet");
  return xl::Range(*sheet_, areas_);
}

void MemoryName::Delete() { owner_.Remove(*this); }

void MemoryName::Redefine(MemoryWorksheet* sheet, std::vector<Area> areas, bool visible) {
  sheet_ = sheet;
  areas_ = std::move(areas);
  visible_ = visible;
}

DefinedName& MemoryNames::Item(long index) {
  if (index < 1 || index > Count()) Raise(err::kApplication, "Application-defined or object-defined error");
  return *names_[static_cast<std::size_t>(index - 1)];
}

DefinedName& MemoryNames::Item(TextView name) {
  MemoryName* n = Lookup(name);
  if (!n) Raise(err::kApplication, "Application-defined or object-defined error");
  return *n;
}

MemoryName* MemoryNames::Lookup(TextView name) {
  for (auto& n : names_) {
    if (text_order::EqualNoCase(n->Name(), name)) return n.get();
  }
  return nullptr;
}

DefinedName& MemoryNames::Define(TextView name, MemoryWorksheet* sheet, std::vector<Area> areas, bool visible) {
  book_.App().CheckFailure("Names.Add");
  CheckDefinedName(name);
  if (MemoryName* existing = Lookup(name)) {
    existing->Redefine(sheet, std::move(areas), visible);
    return *existing;
  }
  names_.push_back(std::make_unique<MemoryName>(*this, Text(name), sheet, std::move(areas), visible));
  return *names_.back();
}

DefinedName& MemoryNames::Add(TextView name, const xl::Range& refersTo, bool visible) {
  MemoryWorksheet& sheet = AsMemory(refersTo.Parent());
  if (&sheet.Book() != &book_) Raise(err::kApplication, "The range belongs to another workbook");
  auto list = refersTo.AreaList();
  return Define(name, &sheet, std::vector<Area>(list.begin(), list.end()), visible);
}

DefinedName& MemoryNames::AddR1C1(TextView name, TextView refersToR1C1, bool visible) {
  MemoryWorksheet* sheet = sheet_ ? sheet_ : &book_.ActiveMemorySheet();
  auto ref = ParseR1C1(refersToR1C1, book_.RowsCount(), book_.ColumnsCount());
  if (!ref) Raise(err::kApplication, "The reference that you entered is not valid.");
  if (ref->sheet) {
    sheet = book_.FindSheet(*ref->sheet);
    if (!sheet) Raise(err::kApplication, "The reference that you entered is not valid.");
  }
  return Define(name, sheet, std::move(ref->areas), visible);
}

void MemoryNames::Remove(MemoryName& name) {
  auto it = std::find_if(names_.begin(), names_.end(), [&](const auto& p) { return p.get() == &name; });
  if (it == names_.end()) return;
  deleted_.push_back(std::move(*it));
  names_.erase(it);
}

void MemoryNames::SheetDeleted(MemoryWorksheet& sheet) {
  for (auto& n : names_) {
    if (n->Target() == &sheet) n->DropTarget();
  }
}

// ----- sheets collection -----

long MemorySheets::Count() const { return static_cast<long>(book_.SheetList().size()); }

Worksheet& MemorySheets::Item(long index) {
  auto& list = book_.SheetList();
  if (index < 1 || index > static_cast<long>(list.size())) Raise(err::kSubscript, "Subscript out of range");
  return *list[static_cast<std::size_t>(index - 1)];
}

Worksheet& MemorySheets::Item(TextView name) {
  MemoryWorksheet* s = book_.FindSheet(name);
  if (!s) Raise(err::kSubscript, "Subscript out of range");
  return *s;
}

Worksheet& MemorySheets::Add(const SheetAddArgs& args) {
  book_.App().CheckFailure("Worksheets.Add");
  if (book_.ProtectStructure()) Raise(err::kApplication, "Method 'Add' of object 'Sheets' failed");
  if (args.Count < 1) Raise(err::kApplication, "Method 'Add' of object 'Sheets' failed");
  auto& list = book_.SheetList();
  std::size_t pos;
  if (args.Before) {
    pos = static_cast<std::size_t>(book_.SheetIndex(AsMemory(*args.Before)) - 1);
  } else if (args.After) {
    pos = static_cast<std::size_t>(book_.SheetIndex(AsMemory(*args.After)));
  } else {
    pos = static_cast<std::size_t>(book_.SheetIndex(book_.ActiveMemorySheet()) - 1);
  }
  MemoryWorksheet* first = nullptr;
  for (long i = 0; i < args.Count; ++i) {
    auto sheet = std::make_unique<MemoryWorksheet>(book_, book_.NextSheetName());
    MemoryWorksheet* p = sheet.get();
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(pos + static_cast<std::size_t>(i)), std::move(sheet));
    if (!first) first = p;
  }
  book_.SetActiveSheet(*first);
  return *first;
}

// ----- workbook -----

MemoryWorkbook::MemoryWorkbook(MemoryApplicationImpl& app, Text name, GridSize grid)
    : app_(app),
      name_(std::move(name)),
      grid_(grid),
      sheetsCollection_(*this),
      names_(*this, nullptr),
      windowsCollection_(app, this) {
  sheets_.push_back(std::make_unique<MemoryWorksheet>(*this, NextSheetName()));
  active_ = sheets_.front().get();
}

MemoryWorkbook::~MemoryWorkbook() = default;

Application& MemoryWorkbook::Parent() { return app_; }

long MemoryWorkbook::RowsCount() const { return grid_ == GridSize::Large ? kLargeGridRows : kSmallGridRows; }
long MemoryWorkbook::ColumnsCount() const { return grid_ == GridSize::Large ? kLargeGridColumns : kSmallGridColumns; }

Worksheet& MemoryWorkbook::ActiveSheet() { return *active_; }
MemoryWorksheet& MemoryWorkbook::ActiveMemorySheet() { return *active_; }

void MemoryWorkbook::SetActiveSheet(MemoryWorksheet& sheet) { active_ = &sheet; }

void MemoryWorkbook::Protect(bool structure, bool windows) {
  protectStructure_ = structure;
  protectWindows_ = windows;
}

void MemoryWorkbook::Unprotect() {
  protectStructure_ = false;
  protectWindows_ = false;
}

void MemoryWorkbook::Activate() {
  if (windows_.empty()) return;
  auto& order = app_.WindowOrder();
  MemoryWindow* w = windows_.front().get();
  for (MemoryWindow* x : order) {
    if (&x->Book() == this) {
      w = x;
      break;
    }
  }
  w->Activate();
}

MemoryWorksheet* MemoryWorkbook::FindSheet(TextView name) {
  for (auto& s : sheets_) {
    if (text_order::EqualNoCase(s->Name(), name)) return s.get();
  }
  return nullptr;
}

long MemoryWorkbook::SheetIndex(const MemoryWorksheet& sheet) const {
  for (std::size_t i = 0; i < sheets_.size(); ++i) {
    if (sheets_[i].get() == &sheet) return static_cast<long>(i + 1);
  }
  Raise(err::kApplication, "The sheet is not in this workbook");
}

Text MemoryWorkbook::NextSheetName() {
  while (true) {
    Text name = u"Sheet" + Decimal(++sheetCounter_);
    if (!FindSheet(name)) return name;
  }
}

void MemoryWorkbook::DeleteSheet(MemoryWorksheet& sheet) {
  app_.CheckFailure("Worksheet.Delete");
  if (protectStructure_) Raise(err::kApplication, "Delete method of Worksheet class failed");
  long visible = 0;
  for (auto& s : sheets_) {
    if (s.get() != &sheet && s->Visible() == xlSheetVisible) ++visible;
  }
  if (visible == 0) Raise(err::kApplication, "Delete method of Worksheet class failed");
  const long index = SheetIndex(sheet);
  auto it = sheets_.begin() + (index - 1);
  std::unique_ptr<MemoryWorksheet> owned = std::move(*it);
  sheets_.erase(it);
  names_.SheetDeleted(sheet);
  for (auto& s : sheets_) s->SheetNames().SheetDeleted(sheet);
  owned->MarkDeleted();
  if (active_ == &sheet) {
    // The next visible sheet to the right, else to the left.
    active_ = nullptr;
    for (std::size_t i = static_cast<std::size_t>(index - 1); i < sheets_.size() && !active_; ++i) {
      if (sheets_[i]->Visible() == xlSheetVisible) active_ = sheets_[i].get();
    }
    for (std::size_t i = std::min<std::size_t>(static_cast<std::size_t>(index - 1), sheets_.size());
         i-- > 0 && !active_;) {
      if (sheets_[i]->Visible() == xlSheetVisible) active_ = sheets_[i].get();
    }
  }
  deletedSheets_.push_back(std::move(owned));
}

MemoryWindow& MemoryWorkbook::AddWindow() {
  windows_.push_back(std::make_unique<MemoryWindow>(*this));
  MemoryWindow* w = windows_.back().get();
  auto& order = app_.WindowOrder();
  order.push_back(w);
  std::rotate(order.begin(), order.end() - 1, order.end());
  return *w;
}

void MemoryWorkbook::CloseWindow(MemoryWindow& window) {
  auto& order = app_.WindowOrder();
  order.erase(std::remove(order.begin(), order.end(), &window), order.end());
  auto it = std::find_if(windows_.begin(), windows_.end(), [&](const auto& p) { return p.get() == &window; });
  if (it == windows_.end()) return;
  closedWindows_.push_back(std::move(*it));
  windows_.erase(it);
  if (windows_.empty()) {
    closed_ = true;
    app_.BookClosed(*this);
  }
}

// ----- windows -----

Workbook& MemoryWindow::Parent() { return book_; }

Text MemoryWindow::Caption() const {
  if (caption_) return *caption_;
  auto& list = book_.WindowList();
  if (list.size() <= 1) return book_.Name();
  for (std::size_t i = 0; i < list.size(); ++i) {
    if (list[i].get() == this) return book_.Name() + u":" + Decimal(static_cast<long>(i + 1));
  }
  return book_.Name();
}

long MemoryWindow::Index() const {
  auto& order = book_.App().WindowOrder();
  for (std::size_t i = 0; i < order.size(); ++i) {
    if (order[i] == this) return static_cast<long>(i + 1);
  }
  Raise(err::kApplication, "The window is closed");
}

xl::Range MemoryWindow::RangeSelection() {
  MemoryWorksheet& sheet = book_.ActiveMemorySheet();
  return xl::Range(sheet, sheet.SelectionAreas());
}

xl::Range MemoryWindow::ActiveCell() {
  MemoryWorksheet& sheet = book_.ActiveMemorySheet();
  CellPos p = sheet.ActiveCellPos();
  return xl::Range(sheet, Area{p.row, p.col, p.row, p.col});
}

void MemoryWindow::Activate() {
  auto& order = book_.App().WindowOrder();
  auto it = std::find(order.begin(), order.end(), this);
  if (it != order.end()) std::rotate(order.begin(), it, it + 1);
}

Window& MemoryWindow::NewWindow() {
  if (book_.ProtectWindows()) Raise(err::kApplication, "NewWindow method of Window class failed");
  return book_.AddWindow();
}

void MemoryWindow::Close() { book_.CloseWindow(*this); }

std::vector<MemoryWindow*> MemoryWindows::List() const {
  std::vector<MemoryWindow*> out;
  for (MemoryWindow* w : app_.WindowOrder()) {
    if (!book_ || &w->Book() == book_) out.push_back(w);
  }
  return out;
}

long MemoryWindows::Count() const { return static_cast<long>(List().size()); }

Window& MemoryWindows::Item(long index) {
  auto list = List();
  if (index < 1 || index > static_cast<long>(list.size())) Raise(err::kSubscript, "Subscript out of range");
  return *list[static_cast<std::size_t>(index - 1)];
}

Window& MemoryWindows::Item(TextView caption) {
  for (MemoryWindow* w : List()) {
    if (text_order::EqualNoCase(w->Caption(), caption)) return *w;
  }
  Raise(err::kSubscript, "Subscript out of range");
}

void MemoryWindows::Arrange(long arrangeStyle, bool) { app_.RecordArrange(arrangeStyle); }

void MemoryWindows::CompareSideBySideWith(TextView caption) {
  bool found = false;
  for (MemoryWindow* w : app_.WindowOrder()) {
    if (text_order::EqualNoCase(w->Caption(), caption) && w != app_.WindowOrder().front()) found = true;
  }
  if (!found) Raise(err::kApplication, "CompareSideBySideWith method of Windows class failed");
  app_.RecordSideBySide(caption);
}

bool MemoryWindows::SyncScrollingSideBySide() const { return app_.SyncScrolling(); }
void MemoryWindows::SetSyncScrollingSideBySide(bool on) { app_.SyncScrolling() = on; }
void MemoryWindows::BreakSideBySide() {
  app_.RecordSideBySide(u"");
  app_.SyncScrolling() = false;
}

// ----- workbooks collection -----

long MemoryWorkbooks::Count() const { return static_cast<long>(app_.BookList().size()); }

Workbook& MemoryWorkbooks::Item(long index) {
  auto& list = app_.BookList();
  if (index < 1 || index > static_cast<long>(list.size())) Raise(err::kSubscript, "Subscript out of range");
  return *list[static_cast<std::size_t>(index - 1)];
}

Workbook& MemoryWorkbooks::Item(TextView name) {
  for (auto& b : app_.BookList()) {
    if (text_order::EqualNoCase(b->Name(), name)) return *b;
  }
  Raise(err::kSubscript, "Subscript out of range");
}

Workbook& MemoryWorkbooks::Add() { return app_.AddWorkbook(app_.DefaultGrid()); }

}  // namespace quillary::xl::memory
