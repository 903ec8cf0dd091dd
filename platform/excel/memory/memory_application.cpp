// The application object and its worksheet functions.
#include <algorithm>

#include "platform/excel/memory/internal/objects.h"
#include "platform/runtime/chars.h"
#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"

namespace quillary::xl::memory {

Variant EnteredValue(TextView typed) {
  const internal::Typed t = internal::ReadTyped(typed, false);
  switch (t.kind) {
    case internal::CellKind::Empty: return Variant();
    case internal::CellKind::Number: return t.number;
    case internal::CellKind::Text: return Text(t.text);
    case internal::CellKind::Boolean: return t.boolean;
    case internal::CellKind::Error: return t.error;
    case internal::CellKind::Formula: return internal::EvaluateFormula(t.text);
  }
  return Variant();
}

std::unique_ptr<MemoryApplication> CreateApplication(ApplicationOptions options) {
  return std::make_unique<MemoryApplicationImpl>(std::move(options));
}

MemoryApplicationImpl::MemoryApplicationImpl(ApplicationOptions options)
    : options_(std::move(options)), workbooks_(*this), windows_(*this, nullptr) {}

MemoryApplicationImpl::~MemoryApplicationImpl() = default;

MemoryWorkbook& MemoryApplicationImpl::AddWorkbook(GridSize grid) {
  std::string n = "Book" + std::to_string(++bookCounter_);
  books_.push_back(std::make_unique<MemoryWorkbook>(*this, Text(n.begin(), n.end()), grid));
  MemoryWorkbook& book = *books_.back();
  book.AddWindow();
  return book;
}

void MemoryApplicationImpl::BookClosed(MemoryWorkbook& book) {
  auto it = std::find_if(books_.begin(), books_.end(), [&](const auto& p) { return p.get() == &book; });
  if (it == books_.end()) return;
  closedBooks_.push_back(std::move(*it));
  books_.erase(it);
}

Window* MemoryApplicationImpl::ActiveWindow() { return windowOrder_.empty() ? nullptr : windowOrder_.front(); }

Workbook* MemoryApplicationImpl::ActiveWorkbook() {
  return windowOrder_.empty() ? nullptr : &windowOrder_.front()->Book();
}

Worksheet* MemoryApplicationImpl::ActiveSheet() {
  return windowOrder_.empty() ? nullptr : &windowOrder_.front()->Book().ActiveMemorySheet();
}

std::optional<xl::Range> MemoryApplicationImpl::ActiveCell() {
  if (windowOrder_.empty()) return std::nullopt;
  return windowOrder_.front()->ActiveCell();
}

std::optional<xl::Range> MemoryApplicationImpl::Selection() {
  if (windowOrder_.empty()) return std::nullopt;
  return windowOrder_.front()->RangeSelection();
}

Variant MemoryApplicationImpl::Run(TextView macro, std::span<Variant> args) {
  CheckFailure("Application.Run");
  if (!options_.runner) {
    Raise(err::kApplication, "Cannot run the macro '" + ToUtf8(macro) + "'. The macro may not be available.");
  }
  return options_.runner(macro, args);
}

void MemoryApplicationImpl::SetStatusBar(const Variant& textOrFalse) {
  if (textOrFalse.IsBoolean() && !textOrFalse.AsBool()) {
    statusBar_ = false;
  } else {
    statusBar_ = vba::CStr(textOrFalse);
  }
}

std::optional<xl::Range> MemoryApplicationImpl::Intersect(const xl::Range& a, const xl::Range& b) {
  if (&a.Parent() != &b.Parent()) return std::nullopt;
  std::vector<Area> out;
  for (const Area& x : a.AreaList()) {
    for (const Area& y : b.AreaList()) {
      if (!x.Overlaps(y)) continue;
      out.push_back(
          {std::max(x.row1, y.row1), std::max(x.col1, y.col1), std::min(x.row2, y.row2), std::min(x.col2, y.col2)});
    }
  }
  if (out.empty()) return std::nullopt;
  return xl::Range(a.Parent(), std::move(out));
}

xl::Range MemoryApplicationImpl::Union(const xl::Range& a, const xl::Range& b) {
  if (&a.Parent() != &b.Parent()) Raise(err::kApplication, "Method 'Union' of object '_Application' failed");
  std::vector<Area> out(a.AreaList().begin(), a.AreaList().end());
  out.insert(out.end(), b.AreaList().begin(), b.AreaList().end());
  return xl::Range(a.Parent(), std::move(out));
}

void MemoryApplicationImpl::GoTo(const xl::Range& reference) {
  Worksheet& sheet = reference.Parent();
  sheet.Parent().Activate();
  sheet.Activate();
  reference.Select();
}

void MemoryApplicationImpl::InjectFailure(std::string member, long number, std::string description, int afterCalls,
                                          int times) {
  failures_[std::move(member)] = Failure{number, std::move(description), afterCalls, times};
}

void MemoryApplicationImpl::CheckFailure(std::string_view member) {
  auto it = failures_.find(member);
  if (it == failures_.end()) return;
  Failure& f = it->second;
  if (f.skip > 0) {
    --f.skip;
    return;
  }
  if (f.times == 0) return;
  if (f.times > 0) --f.times;
  Raise(f.number, f.description);
}

// ----- worksheet functions -----

Variant MemoryWorksheetFunction::Lookup(const Variant& value, std::span<const Variant> lookupVector,
                                        std::span<const Variant> resultVector) {
  // The application's approximate LOOKUP: a binary search over a vector in ascending
  // order for the last element not greater than the value. Elements that cannot be
  // compared with the value - error values, blanks, values of another type - are passed
  // over: a probe that lands on one moves to the nearest comparable element after it
  // (before it when there is none after), within the part still searched.
  const auto comparable = [&](std::size_t i) {
    const Variant& v = lookupVector[i];
    return v.Type() == value.Type() && !v.IsError() && !v.IsEmpty() && !v.IsNull();
  };
  std::ptrdiff_t lo = 0, hi = static_cast<std::ptrdiff_t>(lookupVector.size()) - 1, found = -1;
  while (lo <= hi) {
    const std::ptrdiff_t mid = lo + (hi - lo) / 2;
    std::ptrdiff_t probe = mid;
    while (probe <= hi && !comparable(static_cast<std::size_t>(probe))) ++probe;
    if (probe > hi) {
      probe = mid - 1;
      while (probe >= lo && !comparable(static_cast<std::size_t>(probe))) --probe;
      if (probe < lo) break;
      // Nothing comparable lies after the probe within the part searched.
      hi = mid - 1;
    }
    if (text_order::CompareValues(lookupVector[static_cast<std::size_t>(probe)], value, false) <= 0) {
      found = probe;
      lo = probe + 1;
    } else {
      hi = probe - 1;
    }
  }
  if (found < 0 || static_cast<std::size_t>(found) >= resultVector.size()) {
    Raise(err::kApplication, "Unable to get the Lookup property of the WorksheetFunction class");
  }
  return resultVector[static_cast<std::size_t>(found)];
}

double MemoryWorksheetFunction::CountA(const xl::Range& range) {
  auto* sheet = dynamic_cast<MemoryWorksheet*>(&range.Parent());
  if (!sheet) Raise(err::kApplication, "Unable to get the CountA property of the WorksheetFunction class");
  std::int64_t n = 0;
  for (const Area& a : range.AreaList()) n += sheet->CountFilled(a);
  return static_cast<double>(n);
}

Text MemoryWorksheetFunction::Proper(TextView text) {
  // A letter after a letter is lower case, any other upper case; a letter without the
  // other case (ß, a ligature) stays as it is and is a letter all the same.
  Text out(text);
  bool afterLetter = false;
  for (char16_t& c : out) {
    const bool letter = chars::IsLetter(c);
    if (letter) c = afterLetter ? text_order::FoldChar(c) : text_order::UpperChar(c);
    afterLetter = letter;
  }
  return out;
}

}  // namespace quillary::xl::memory
