#include "cli/script.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <ostream>
#include <sstream>

#include "cli/controls.h"
#include "cli/nearest.h"
#include "cli/session.h"
#include "host/routines.h"
#include "platform/excel/memory/memory.h"
#include "platform/excel/range.h"
#include "platform/runtime/error.h"
#include "platform/runtime/text_order.h"
#include "platform/runtime/vba.h"
#include "workbook/cell_notes.h"
#include "workbook/failure.h"
#include "workbook/words.h"
#include "workbook/workbook_io.h"

namespace quillary::cli {

namespace {

using Args = std::span<const std::string>;
using addin::Reply;

struct Context {
  Session& session;
  std::ostream& out;
  std::ostream& err;
  std::string_view program;  // "quillary", "quillary get", ...
  std::string_view where;    // "line N: ", or "" for a command built from arguments
  bool continueOnError = false;
};

// One command: its name (one or two words), the form of its arguments, how many it
// takes (max -1: any number), whether it calls into the component (then
// "on-error continue" applies to its errors), its description, what it does, and what
// of its arguments can be checked before any command runs (null: nothing beyond their
// count). A check raises Failure; `run` may count on it having passed.
struct Spec {
  std::string_view name;
  std::string_view form;
  int min;
  int max;
  bool component;
  std::string_view help;
  void (*run)(Context&, Args);
  void (*check)(Args) = nullptr;
};

// ----- ranges and sheets -----

xl::Worksheet& SheetByName(xl::Workbook& book, const Text& name) {
  if (xl::Worksheet* sheet = FindSheet(book, name)) return *sheet;
  throw workbook::Failure(NoSuchSheet(name, book, "the workbook"));
}

// "A1:B4", "A1,C3:D5", a defined name, each optionally after "Sheet!" or "'My sheet'!";
// without a sheet, on the active sheet.
xl::Range ResolveRange(xl::Workbook& book, const std::string& word) {
  const RangeWord range = SplitRangeWord(word);
  xl::Worksheet& sheet = range.sheet ? SheetByName(book, *range.sheet) : book.ActiveSheet();
  try {
    return sheet.Range(range.reference);
  } catch (const Error&) {
    throw workbook::Failure(NotARange(word, sheet));
  }
}

// The escapes that keep a text on one line: backslash, tab, line feed and carriage
// return written as \\, \t, \n and \r. The print commands write texts so; `set` and
// `comment` read their texts so.
constexpr std::pair<char, char> kEscapes[] = {{'\\', '\\'}, {'\t', 't'}, {'\n', 'n'}, {'\r', 'r'}};

}  // namespace

std::string Escaped(const Text& text) {
  std::string out;
  for (const char c : ToUtf8(text)) {
    const auto* e = std::find_if(std::begin(kEscapes), std::end(kEscapes), [c](const auto& p) { return p.first == c; });
    if (e == std::end(kEscapes)) {
      out += c;
    } else {
      out += '\\';
      out += e->second;
    }
  }
  return out;
}

namespace {

Text Unescaped(const std::string& word) {
  std::string out;
  for (std::size_t i = 0; i < word.size(); ++i) {
    if (word[i] != '\\') {
      out += word[i];
      continue;
    }
    const char next = i + 1 < word.size() ? word[i + 1] : '\0';
    const auto* e =
        std::find_if(std::begin(kEscapes), std::end(kEscapes), [next](const auto& p) { return p.second == next; });
    if (e == std::end(kEscapes))
      throw workbook::Failure(workbook::Quoted(word) + ": a backslash begins \\n, \\r, \\t or \\\\");
    out += e->first;
    ++i;
  }
  return FromUtf8(out);
}

// A cell value as `print cells` shows it: texts escaped.
std::string CellText(const Variant& v) {
  if (v.IsEmpty()) return "";
  if (v.IsBoolean()) return v.AsBool() ? "TRUE" : "FALSE";
  if (v.IsError()) return ToUtf8(CellErrorText(v.AsError()));
  if (v.IsNumber()) return ToUtf8(vba::NumberText(v.AsNumber()));
  return Escaped(v.AsText());
}

// Entire rows and columns are cut at the sheet's used range.
xl::Area Printable(xl::Worksheet& sheet, xl::Area a) {
  const xl::Area used = sheet.UsedRange().FirstArea();
  if (a.row1 == 1 && a.row2 == sheet.RowsCount()) a.row2 = std::max(used.row2, 1L);
  if (a.col1 == 1 && a.col2 == sheet.ColumnsCount()) a.col2 = std::max(used.col2, 1L);
  return a;
}

std::string VisibilityText(long visible) {
  switch (visible) {
    case xl::xlSheetVisible: return "-1 (visible)";
    case xl::xlSheetHidden: return "0 (hidden)";
    case xl::xlSheetVeryHidden: return "2 (very hidden)";
    default: return std::to_string(visible);
  }
}

// A multi-line text, its continuation lines indented (empty ones stay empty).
std::string Indented(const Text& text) {
  std::string out;
  const std::string utf8 = ToUtf8(text);
  for (std::size_t i = 0; i < utf8.size(); ++i) {
    if (utf8[i] == '\r' && i + 1 < utf8.size() && utf8[i + 1] == '\n') continue;
    if (utf8[i] != '\r' && utf8[i] != '\n') {
      if (!out.empty() && out.back() == '\n') out += "  ";
      out += utf8[i];
    } else {
      out += '\n';
    }
  }
  return out;
}

// ----- the commands -----

void Load(Context& c, Args a) {
  std::vector<std::filesystem::path> paths(a.begin(), a.end());
  c.session.Load(paths);
}

xl::memory::GridSize GridOf(Args a) {
  if (!a.empty() && a[0] != "small" && a[0] != "large")
    throw workbook::Failure("new takes 'small' or 'large', not " + workbook::Quoted(a[0]));
  return !a.empty() && a[0] == "small" ? xl::memory::GridSize::Small : xl::memory::GridSize::Large;
}

void New(Context& c, Args a) { c.session.New(GridOf(a)); }

void Save(Context& c, Args a) { c.session.Save(a.empty() ? std::nullopt : std::optional<std::filesystem::path>(a[0])); }

void Sheet(Context& c, Args a) { SheetByName(c.session.Book(), FromUtf8(a[0])).Activate(); }

void Select(Context& c, Args a) { ResolveRange(c.session.Book(), a[0]).Select(); }

// "1,048,576".
std::string Grouped(long long n) { return ToUtf8(vba::Format(static_cast<double>(n), u"#,##0")); }

// An address for a message: "Sheet1!A1:B4", without the "$" signs.
std::string PlainAddress(const xl::Range& range) {
  std::string address = ToUtf8(xl::SheetPrefix(range.Parent().Name()) + range.Address());
  std::erase(address, '$');
  return address;
}

// The range of a command that writes `value` into each of its cells. The value is
// stored in every cell, so a whole sheet would not fit in memory: over
// kCellCommandLimit cells is refused (clearing is not).
xl::Range FilledRange(Context& c, const std::string& command, const std::string& word, const Variant& value) {
  const xl::Range range = ResolveRange(c.session.Book(), word);
  if (value.IsText() && value.AsText().empty()) return range;
  long long cells = 0;
  for (const xl::Area& area : range.AreaList()) {
    cells += static_cast<long long>(area.row2 - area.row1 + 1) * (area.col2 - area.col1 + 1);
  }
  if (cells > kCellCommandLimit) {
    throw workbook::Failure(command + " " + word + " would fill " + Grouped(cells) + " cells; " + command +
                            " fills at most " + Grouped(kCellCommandLimit) + " at once (cell \"\" clears any area)");
  }
  return range;
}

// Says so when a cell cannot hold all of the text typed into `range`.
void NoteCutText(Context& c, const xl::Range& range, TextView typed) {
  const std::string note = workbook::CutTextNote(PlainAddress(range), workbook::EnteredText(typed));
  if (!note.empty()) c.err << c.program << ": " << c.where << "note: " << note << "\n";
}

void Cell(Context& c, Args a) {
  const Variant value = workbook::FieldValue(FromUtf8(a[1]));
  const xl::Range range = FilledRange(c, "cell", a[0], value);
  range.SetValue(value);
  if (value.IsText()) NoteCutText(c, range, value.AsText());
  const Text& typed = value.IsText() ? value.AsText() : Text();
  if (typed.size() > 1 && typed.front() == u'=') {
    const Variant reads = xl::memory::EnteredValue(typed);
    if (reads.IsError() && reads.AsError() == CellError::Name) {
      c.err << c.program << ": " << c.where << "note: " << PlainAddress(range)
            << ": the stand-in does not calculate formulas; " << a[1] << " is kept as it was typed and reads #NAME?\n";
    }
  }
}

void ListAdd(Context& c, Args a) {
  forms::MemoryControl& list = FindControl(c.session.Forms(), a[0]);
  for (std::size_t i = 1; i < a.size(); ++i) list.AddItem(FromUtf8(a[i]));
}

void ListSelect(Context& c, Args a) {
  forms::MemoryControl& list = FindControl(c.session.Forms(), a[0]);
  for (std::size_t i = 1; i < a.size(); ++i) {
    bool found = false;
    for (long row = 0; row < list.ListCount(); ++row) {
      if (list.List(row) == Variant(FromUtf8(a[i]))) {
        list.SetSelected(row, true);
        found = true;
      }
    }
    if (!found) throw workbook::Failure("the list " + a[0] + " has no row " + workbook::Quoted(a[i]));
  }
}

void TypeText(Context& c, Args a) {
  Text typed = u"'";
  typed += Unescaped(a[1]);
  const xl::Range range = FilledRange(c, "cell text", a[0], typed);
  range.SetValue(typed);
  NoteCutText(c, range, typed);
}

void Set(Context& c, Args a) { SetProperty(FindControlProperty(c.session.Forms(), a[0]), ToUtf8(Unescaped(a[1]))); }

// The sheet named by the first word, or the active sheet.
xl::Worksheet& SheetOrActive(Context& c, Args a) {
  return a.empty() ? c.session.Book().ActiveSheet() : SheetByName(c.session.Book(), FromUtf8(a[0]));
}

// What protect workbook protects: {structure, windows}.
std::pair<bool, bool> WorkbookProtection(Args a) {
  bool structure = a.empty(), windows = false;
  for (const std::string& w : a) {
    if (w == "structure") {
      structure = true;
    } else if (w == "windows") {
      windows = true;
    } else {
      throw workbook::Failure("protect workbook takes 'structure' and 'windows', not " + workbook::Quoted(w));
    }
  }
  return {structure, windows};
}

void ProtectWorkbook(Context& c, Args a) {
  const auto [structure, windows] = WorkbookProtection(a);
  c.session.Book().Protect(structure, windows);
}

// The sheet words of protect sheet, without a trailing allow-formatting.
Args ProtectedSheet(Args a) {
  const Args sheet = !a.empty() && a.back() == "allow-formatting" ? a.first(a.size() - 1) : a;
  if (sheet.size() > 1) throw workbook::Failure("usage: protect sheet [SHEET] [allow-formatting]");
  return sheet;
}

void ProtectSheet(Context& c, Args a) {
  const Args sheet = ProtectedSheet(a);
  SheetOrActive(c, sheet).Protect({.AllowFormattingCells = sheet.size() < a.size()});
}

void Merge(Context& c, Args a) {
  const xl::Range range = ResolveRange(c.session.Book(), a[0]);
  for (const xl::Area& area : range.AreaList()) xl::Range(range.Parent(), area).Merge();
}

template <bool rows, bool hidden>
void Hide(Context& c, Args a) {
  const xl::Range range = ResolveRange(c.session.Book(), a[0]);
  for (const xl::Area& area : range.AreaList()) {
    const xl::Range part(range.Parent(), area);
    (rows ? part.EntireRow() : part.EntireColumn()).SetHidden(hidden);
  }
}

// Whether comment shows the comment ("visible" after the text).
bool CommentVisible(Args a) {
  if (a.size() > 2 && a[2] != "visible")
    throw workbook::Failure("comment takes 'visible' after the text, not " + workbook::Quoted(a[2]));
  return a.size() > 2;
}

void AddComment(Context& c, Args a) {
  const xl::Range cell = ResolveRange(c.session.Book(), a[0]);
  const xl::Comment comment = cell.AddComment(Unescaped(a[1]));
  if (CommentVisible(a)) comment.SetVisible(true);
}

long VisibilityOf(const std::string& word) {
  if (word == "-1") return xl::xlSheetVisible;
  if (word == "0") return xl::xlSheetHidden;
  if (word == "2") return xl::xlSheetVeryHidden;
  throw workbook::Failure("visibility takes -1 (visible), 0 (hidden) or 2 (very hidden), not " +
                          workbook::Quoted(word));
}

void Visibility(Context& c, Args a) { SheetByName(c.session.Book(), FromUtf8(a[0])).SetVisible(VisibilityOf(a[1])); }

// The count and the operation word ("" for each) of clipboard fail.
std::pair<int, std::string> ClipboardFailure(Args a) {
  int count = -1;
  const auto [end, ec] = std::from_chars(a[0].data(), a[0].data() + a[0].size(), count);
  if (ec != std::errc() || end != a[0].data() + a[0].size() || count < 0) {
    throw workbook::Failure("clipboard fail takes a count, not " + workbook::Quoted(a[0]));
  }
  const std::string op = a.size() > 1 ? a[1] : "";
  if (op != "" && op != "clear" && op != "set" && op != "get") {
    throw workbook::Failure("clipboard fail takes 'clear', 'set' or 'get', not " + workbook::Quoted(op));
  }
  return {count, op};
}

void ClipboardFail(Context& c, Args a) {
  using Op = sys::MemoryClipboard::Operation;
  const auto [count, op] = ClipboardFailure(a);
  if (op == "" || op == "clear") c.session.FailClipboard(count, Op::Clear);
  if (op == "" || op == "set") c.session.FailClipboard(count, Op::SetText);
  if (op == "" || op == "get") c.session.FailClipboard(count, Op::GetText);
}

// The names of the requests the component answers to.
std::vector<std::string> RequestNames() {
  std::vector<std::string> names;
  for (const host::RoutineName& r : host::RequestRoutines()) names.push_back(ToUtf8(r.name));
  return names;
}

// A name the component does not know runs nothing, as the component is made; the host
// says so, for a name mistyped.
void Call(Context& c, Args a) {
  const Text routine = FromUtf8(a[0]);
  if (host::FindRoutine(host::RequestRoutines(), routine) == nullptr) {
    const std::vector<std::string> names = RequestNames();
    const std::optional<std::string> meant = NearestName(a[0], names);
    c.err << c.program << ": " << c.where << "note: the component knows no routine '" << a[0] << "': it runs nothing"
          << (meant ? " (did you mean " + *meant + "?)" : " (ROUTINES in --help lists the names)") << "\n";
  }
  c.session.Call(routine, FromUtf8(a.size() > 1 ? a[1] : "Null"));
}

void Event(Context& c, Args a) { c.session.Event(FromUtf8(a[0])); }

void QueryEvents(Context& c, Args a) {
  std::vector<Text> names;
  for (const std::string& w : a) names.push_back(FromUtf8(w));
  c.session.QueueQueryEvents(std::move(names));
}

template <Reply kind>
void Answer(Context& c, Args a) {
  for (const std::string& w : a) c.session.Answers().Queue(kind, AnswerCaption(kind, w));
}

// Writes a text as UTF-8 a piece at a time, so that a long text needs no copy of its
// own; a piece never ends between the two halves of a surrogate pair.
void WriteUtf8(std::ostream& out, TextView text) {
  constexpr std::size_t kPiece = std::size_t{1} << 16;
  while (!text.empty()) {
    std::size_t n = std::min(kPiece, text.size());
    if (n < text.size() && text[n - 1] >= 0xD800 && text[n - 1] <= 0xDBFF) --n;
    out << ToUtf8(text.substr(0, n));
    text.remove_prefix(n);
  }
}

void PrintWindow(Context& c, Args) {
  c.session.ViewActiveWindowText([&](TextView text) { WriteUtf8(c.out, text); });
  c.out << "\n";
}

void PrintStatus(Context& c, Args) {
  const Variant status = c.session.App().StatusBar();
  c.out << (status.IsText() ? ToUtf8(status.AsText()) : ToUtf8(vba::CStr(status))) << "\n";
}

void PrintCells(Context& c, Args a) {
  const xl::Range range = ResolveRange(c.session.Book(), a[0]);
  xl::Worksheet& sheet = range.Parent();
  for (const xl::Area& area : range.AreaList()) {
    const xl::Area shown = Printable(sheet, area);
    for (long r = shown.row1; r <= shown.row2; ++r) {
      std::string line;
      for (long col = shown.col1; col <= shown.col2; ++col) {
        if (col > shown.col1) line += '\t';
        line += CellText(sheet.CellValue(r, col));
      }
      c.out << line << "\n";
    }
  }
}

void PrintSheets(Context& c, Args) {
  xl::Workbook& book = c.session.Book();
  const Text active = book.ActiveSheet().Name();
  for (long i = 1; i <= book.Sheets().Count(); ++i) {
    xl::Worksheet& sheet = book.Sheets().Item(i);
    c.out << ToUtf8(sheet.Name()) << "\t" << VisibilityText(sheet.Visible())
          << (sheet.Name() == active ? "\tactive" : "") << "\n";
  }
}

void PrintNames(Context& c, Args) {
  xl::Workbook& book = c.session.Book();
  for (long i = 1; i <= book.Sheets().Count(); ++i) {
    xl::Worksheet& sheet = book.Sheets().Item(i);
    for (long k = 1; k <= sheet.Names().Count(); ++k) {
      const xl::DefinedName& n = sheet.Names().Item(k);
      c.out << ToUtf8(xl::SheetPrefix(sheet.Name()) + n.Name()) << "\t" << ToUtf8(n.RefersTo()) << "\n";
    }
  }
  for (long k = 1; k <= book.Names().Count(); ++k) {
    const xl::DefinedName& n = book.Names().Item(k);
    c.out << ToUtf8(n.Name()) << "\t" << ToUtf8(n.RefersTo()) << "\n";
  }
}

void PrintCount(Context& c, Args) {
  const auto& count = c.session.Host().CommandBarCount();
  c.out << (count ? ToUtf8(*count) : "") << "\n";
}

void PrintMessages(Context& c, Args) {
  for (const addin::Message& m : c.session.Host().Messages()) c.out << m.style << ": " << Indented(m.prompt) << "\n";
}

std::string CellName(long row, long col) { return ToUtf8(xl::ColumnLetters(col)) + std::to_string(row); }

std::string Hex(long n) {
  char digits[16];
  const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, n, 16);
  std::string out = "&H" + std::string(digits, ec == std::errc() ? end : digits);
  std::transform(out.begin() + 2, out.end(), out.begin() + 2,
                 [](char ch) { return static_cast<char>(std::toupper(static_cast<unsigned char>(ch))); });
  return out;
}

// The name of a constant, or its number.
std::string ConstantName(long value, std::initializer_list<std::pair<long, const char*>> names) {
  for (const auto& [v, name] : names) {
    if (v == value) return name;
  }
  return std::to_string(value);
}

// The formats of one cell that differ from those of a new cell, as words.
std::string FormatWords(xl::Worksheet& sheet, long row, long col) {
  using xl::FormatKey;
  const xl::Area cell{row, col, row, col};
  const auto number = [&](FormatKey key, long index = 0) {
    const Variant v = sheet.GetFormat(cell, key, index);
    return v.IsNumber() ? static_cast<long>(v.AsNumber()) : 0L;
  };
  const auto flag = [&](FormatKey key) { return vba::EqualsTrue(sheet.GetFormat(cell, key)); };
  std::vector<std::string> words;
  if (const Variant f = sheet.GetFormat(cell, FormatKey::NumberFormat); !(f.IsText() && f.AsText() == u"General")) {
    words.push_back("format=" + workbook::QuoteWord(ToUtf8(vba::CStr(f))));
  }
  if (flag(FormatKey::FontBold)) words.push_back("bold");
  if (const long u = number(FormatKey::FontUnderline); u != xl::xlUnderlineStyleNone) {
    words.push_back(u == xl::xlUnderlineStyleSingle ? "underline" : "underline=" + std::to_string(u));
  }
  if (const long i = number(FormatKey::FontColorIndex); i != xl::xlColorIndexAutomatic) {
    words.push_back("font-color=" + std::to_string(i));
  }
  if (const long color = number(FormatKey::InteriorColor); color != 0xFFFFFF) words.push_back("interior=" + Hex(color));
  if (const long p = number(FormatKey::InteriorPattern); p != xl::xlNone) {
    words.push_back("pattern=" + ConstantName(p, {{xl::xlSolid, "solid"}, {xl::xlPatternGray16, "gray16"}}));
  }
  if (const long h = number(FormatKey::HorizontalAlignment); h != xl::xlGeneral) {
    words.push_back("align=" +
                    ConstantName(h, {{xl::xlLeft, "left"}, {xl::xlCenter, "center"}, {xl::xlRight, "right"}}));
  }
  if (const long v = number(FormatKey::VerticalAlignment); v != xl::xlBottom) {
    words.push_back("valign=" + ConstantName(v, {{xl::xlTop, "top"}, {xl::xlCenter, "center"}}));
  }
  if (flag(FormatKey::WrapText)) words.push_back("wrap");
  if (!flag(FormatKey::Locked)) words.push_back("unlocked");
  static constexpr std::pair<long, const char*> kEdges[] = {{xl::xlEdgeLeft, "left"},
                                                            {xl::xlEdgeTop, "top"},
                                                            {xl::xlEdgeBottom, "bottom"},
                                                            {xl::xlEdgeRight, "right"},
                                                            {xl::xlDiagonalDown, "diagonal-down"},
                                                            {xl::xlDiagonalUp, "diagonal-up"}};
  for (const auto& [edge, name] : kEdges) {
    if (number(FormatKey::BorderLineStyle, edge) == xl::xlLineStyleNone) continue;
    words.push_back(
        std::string("border-") + name + "=" +
        ConstantName(
            number(FormatKey::BorderWeight, edge),
            {{xl::xlHairline, "hairline"}, {xl::xlThin, "thin"}, {xl::xlMedium, "medium"}, {xl::xlThick, "thick"}}));
  }
  std::string line;
  for (const std::string& w : words) line += (line.empty() ? "" : " ") + w;
  return line;
}

// Calls f(sheet, row, col) for each cell of the range named by `word`, row by row, area by
// area; entire rows or columns end at the used range.
template <class F>
void ForEachShownCell(Context& c, const std::string& word, F&& f) {
  const xl::Range range = ResolveRange(c.session.Book(), word);
  for (const xl::Area& area : range.AreaList()) {
    const xl::Area shown = Printable(range.Parent(), area);
    for (long r = shown.row1; r <= shown.row2; ++r) {
      for (long col = shown.col1; col <= shown.col2; ++col) f(range.Parent(), r, col);
    }
  }
}

void PrintFormats(Context& c, Args a) {
  ForEachShownCell(c, a[0], [&](xl::Worksheet& sheet, long r, long col) {
    const std::string words = FormatWords(sheet, r, col);
    if (!words.empty()) c.out << CellName(r, col) << "\t" << words << "\n";
  });
}

void PrintComments(Context& c, Args a) {
  xl::Worksheet& sheet = SheetOrActive(c, a);
  for (const xl::Range& cell : sheet.Comments()) {
    const xl::Comment comment = *cell.Comment();
    c.out << CellName(cell.Row(), cell.Column()) << "\t" << (comment.Visible() ? "visible" : "hidden") << "\t"
          << Escaped(comment.Text()) << "\n";
  }
}

void PrintHyperlinks(Context& c, Args a) {
  ForEachShownCell(c, a[0], [&](xl::Worksheet& sheet, long r, long col) {
    for (const xl::Hyperlink& link : sheet.CellHyperlinks({r, col, r, col})) {
      c.out << CellName(r, col) << "\t" << Escaped(link.Address) << "\t" << Escaped(link.SubAddress) << "\n";
    }
  });
}

void PrintWidths(Context& c, Args a) {
  const xl::Range range = ResolveRange(c.session.Book(), a[0]);
  for (const xl::Area& area : range.AreaList()) {
    for (long col = area.col1; col <= area.col2; ++col) {
      c.out << ToUtf8(xl::ColumnLetters(col)) << "\t" << ToUtf8(vba::CStr(range.Parent().ColumnWidth(col, col)))
            << "\n";
    }
  }
}

void PrintMerges(Context& c, Args a) {
  xl::Worksheet& sheet = SheetOrActive(c, a);
  std::vector<xl::Area> areas = sheet.MergedAreas();
  std::sort(areas.begin(), areas.end(),
            [](const xl::Area& x, const xl::Area& y) { return std::pair(x.row1, x.col1) < std::pair(y.row1, y.col1); });
  for (const xl::Area& area : areas) {
    c.out << ToUtf8(xl::AreaAddress(area, sheet.RowsCount(), sheet.ColumnsCount())) << "\n";
  }
}

void PrintSelection(Context& c, Args) {
  xl::Application& app = c.session.App();
  c.session.Book();  // workbook::Failure when no workbook is open
  c.out << ToUtf8(app.ActiveSheet()->Name()) << "\t" << ToUtf8(app.Selection()->Address()) << "\t"
        << ToUtf8(app.ActiveCell()->Address()) << "\n";
}

void PrintClipboard(Context& c, Args) { c.out << Escaped(c.session.ClipboardText()) << "\n"; }

void PrintControl(Context& c, Args a) {
  c.out << Escaped(FromUtf8(GetProperty(FindControlProperty(c.session.Forms(), a[0])))) << "\n";
}

// ----- checks before any command runs -----

void CheckRange(Args a) { CheckRangeWord(a[0]); }

void CheckNew(Args a) { GridOf(a); }

void CheckCellText(Args a) {
  CheckRangeWord(a[0]);
  Unescaped(a[1]);
}

// A control's property and value are tried on the host's forms as they start: every
// control is there with its kind, and what a control takes does not depend on its state.
void CheckSet(Args a) {
  forms::HostFormSet scratch(host::ctl::kAll);
  SetProperty(FindControlProperty(scratch, a[0]), ToUtf8(Unescaped(a[1])));
}

void CheckPrintControl(Args a) {
  forms::HostFormSet scratch(host::ctl::kAll);
  FindControlProperty(scratch, a[0]);
}

void CheckList(Args a) {
  forms::HostFormSet scratch(host::ctl::kAll);
  const forms::ControlKind kind = FindControl(scratch, a[0]).Kind();
  if (kind != forms::ControlKind::ListBox && kind != forms::ControlKind::ComboBox) {
    throw workbook::Failure(a[0] + " is no list box");
  }
}

void CheckProtectWorkbook(Args a) { WorkbookProtection(a); }

void CheckProtectSheet(Args a) { ProtectedSheet(a); }

void CheckComment(Args a) {
  CheckRangeWord(a[0]);
  Unescaped(a[1]);
  CommentVisible(a);
}

void CheckVisibility(Args a) { VisibilityOf(a[1]); }

void CheckClipboardFail(Args a) { ClipboardFailure(a); }

template <Reply kind>
void CheckAnswer(Args a) {
  for (const std::string& w : a) AnswerCaption(kind, w);
}

const std::vector<Spec>& Specs() {
  static const std::vector<Spec> kSpecs{
      {"load", "PATH...", 1, -1, false,
       "Opens a workbook in place of the open one: a workbook folder, a folder of CSV files, CSV files, or an xlsx "
       "workbook (a path ending in .xlsx).",
       &Load},
      {"new", "[small]", 0, 1, false,
       "Opens a new workbook with one empty sheet; 'small' gives 65,536 x 256 cells instead of 1,048,576 x 16,384.",
       &New, &CheckNew},
      {"save", "[PATH]", 0, 1, false,
       "Saves the workbook as a workbook folder, or as an xlsx workbook when PATH ends in .xlsx; without PATH, to the "
       "folder or file it was loaded from or last saved to.",
       &Save},
      {"sheet", "NAME", 1, 1, false, "Activates a sheet.", &Sheet},
      {"select", "RANGE", 1, 1, false,
       "Selects cells: A1 references, areas separated by commas, a defined name; 'Sheet!RANGE' on another sheet.",
       &Select, &CheckRange},
      {"cell", "RANGE VALUE", 2, 2, false,
       "Types VALUE into every cell of RANGE, as a user types it: numbers become numbers, TRUE/FALSE booleans, "
       "#N/A and the other error texts error values, '=...' formulas; a leading ' keeps the rest as text; \"\" "
       "clears. The stand-in calculates only literal formulas (=\"text\", =12, =TRUE): any other formula is kept "
       "as typed and reads #NAME?, and a note on standard error says so. At most 10,000,000 cells at once (a "
       "whole sheet is refused); \"\" clears any area.",
       &Cell, &CheckRange},
      {"cell text", "RANGE TEXT", 2, 2, false,
       "Writes TEXT into every cell of RANGE as a text, as typed after a ' (nothing read as a number or formula); "
       "TEXT takes the escapes of set. At most 10,000,000 cells at once, as for cell.",
       &TypeText, &CheckCellText},
      {"set", "FORM.CONTROL.PROPERTY VALUE", 2, 2, false,
       "Sets a property of a host form's control (Value, Text, Caption, Enabled, Visible, Locked, Default, "
       "BackColor, ForeColor, Left, Width, TextAlign, SelStart, SelLength). FORM: MainUserForm, MailBoxForm, "
       "BigMsgForm, CompDupUserForm, QueryUserForm, QueryEndUserForm, LastWordFirstFilterForm, WrapTextFirmForm, "
       "ParseForm, ToolsForm (any case, 'vba' prefix allowed). VALUE: True/False for switches, a number or &Hhex "
       "for colours and sizes; for Value, True, False or Null, else the text. In VALUE, \\r, \\n and \\t stand "
       "for a carriage return, a line feed and a tab, \\\\ for a backslash (\"a\\r\\nb\": two lines).",
       &Set, &CheckSet},
      {"list add", "FORM.CONTROL ITEM...", 2, -1, false,
       "Adds rows to a list box of a host form (as the host fills LastWordFirstFilterForm.RemoveStringsList).",
       &ListAdd, &CheckList},
      {"list select", "FORM.CONTROL ITEM...", 2, -1, false,
       "Selects the rows of a list box that hold the ITEMs, as the user picks them.", &ListSelect, &CheckList},
      {"protect workbook", "[structure] [windows]", 0, 2, false,
       "Protects the workbook's structure (sheets cannot be added, deleted or renamed) and/or its windows; "
       "without a word, the structure.",
       &ProtectWorkbook, &CheckProtectWorkbook},
      {"unprotect workbook", "", 0, 0, false, "Removes the workbook's protection.",
       [](Context& c, Args) { c.session.Book().Unprotect(); }},
      {"protect sheet", "[SHEET] [allow-formatting]", 0, 2, false,
       "Protects a sheet's contents (the active sheet without SHEET): locked cells refuse values and comments; "
       "formats too unless allow-formatting is given.",
       &ProtectSheet, &CheckProtectSheet},
      {"unprotect sheet", "[SHEET]", 0, 1, false, "Removes a sheet's protection (the active sheet without SHEET).",
       [](Context& c, Args a) { SheetOrActive(c, a).Unprotect(); }},
      {"merge", "RANGE", 1, 1, false,
       "Merges the cells of each area of RANGE; a merged area keeps the value of its upper-left cell.", &Merge,
       &CheckRange},
      {"hide rows", "RANGE", 1, 1, false, "Hides the entire rows of RANGE (e.g. 3:4 or A3:B4).", &Hide<true, true>,
       &CheckRange},
      {"hide columns", "RANGE", 1, 1, false, "Hides the entire columns of RANGE (e.g. B:C or B1:C1).",
       &Hide<false, true>, &CheckRange},
      {"unhide rows", "RANGE", 1, 1, false, "Shows the entire rows of RANGE again.", &Hide<true, false>, &CheckRange},
      {"unhide columns", "RANGE", 1, 1, false, "Shows the entire columns of RANGE again.", &Hide<false, false>,
       &CheckRange},
      {"comment", "CELL TEXT [visible]", 2, 3, false,
       "Adds a comment to a cell that has none, hidden unless 'visible' is given; TEXT takes the escapes of set.",
       &AddComment, &CheckComment},
      {"visibility", "SHEET -1|0|2", 2, 2, false, "Makes a sheet visible (-1), hidden (0) or very hidden (2).",
       &Visibility, &CheckVisibility},
      {"clipboard fail", "COUNT [clear|set|get]", 1, 2, false,
       "Makes the next COUNT calls of the clipboard's clear, set-text or get-text (without a word: of each) fail, "
       "as while another program holds the clipboard.",
       &ClipboardFail, &CheckClipboardFail},
      {"call", "ROUTINE [MODE]", 1, 2, true,
       "Sends one request to the component (QuillaryDLL): GotoRoutine ROUTINE with vbaMode MODE (default Null). "
       "ROUTINES below lists the names the component knows; it runs nothing for any other name, and returns at once "
       "when no workbook is open.",
       &Call},
      {"event", "NAME", 1, 1, true,
       "Sends one Query form event to the component (QuillaryQueryFormDLL); ROUTINES below lists the events.", &Event},
      {"query-events", "NAME...", 1, -1, false,
       "Queues Query form events, sent in order while the Query form is next shown by a request.", &QueryEvents},
      {"answer message", "VALUE...", 1, -1, false,
       "Queues answers to message boxes: OK, Cancel, Yes, No (or the codes 1, 2, 6, 7).", &Answer<Reply::Message>,
       &CheckAnswer<Reply::Message>},
      {"answer break", "VALUE...", 1, -1, false,
       "Queues answers to the break-key poll: 6 stops the running loop, NoBreak goes on.", &Answer<Reply::BreakKey>,
       &CheckAnswer<Reply::BreakKey>},
      {"answer bigmsg", "VALUE...", 1, -1, false,
       "Queues answers to the big message form: OK, Option, Option2, Cancel (or 1, 2, 3, 0).", &Answer<Reply::BigMsg>,
       &CheckAnswer<Reply::BigMsg>},
      {"answer compare", "VALUE...", 1, -1, false,
       "Queues answers to the compare dialog: UseNew, UseCollected, Cancel (or 1, 2, 0).", &Answer<Reply::Compare>,
       &CheckAnswer<Reply::Compare>},
      {"answer queryend", "VALUE...", 1, -1, false,
       "Queues answers to the Query's end-of-pass dialog: Repeat (the same name again) or Different (the next "
       "duplicated name), or 1, 2.",
       &Answer<Reply::QueryEnd>, &CheckAnswer<Reply::QueryEnd>},
      {"on-error continue", "", 0, 0, false,
       "From here on, an error of the component in call or event is reported and the script goes on.",
       [](Context& c, Args) { c.continueOnError = true; }},
      {"on-error stop", "", 0, 0, false, "From here on, an error of the component ends the script (the default).",
       [](Context& c, Args) { c.continueOnError = false; }},
      {"print window", "", 0, 0, false, "Prints the Active Window's text.", &PrintWindow},
      {"print status", "", 0, 0, false, "Prints the status bar (False while the application shows its own).",
       &PrintStatus},
      {"print cells", "RANGE", 1, 1, false,
       "Prints cell values, one row per line, cells separated by tabs (texts with \\\\, \\t, \\n, \\r escaped); "
       "any sheet by name, very hidden ones too; entire rows or columns end at the used range.",
       &PrintCells, &CheckRange},
      {"print sheets", "", 0, 0, false, "Prints each sheet's name, visibility (-1, 0, 2) and the active mark.",
       &PrintSheets},
      {"print names", "", 0, 0, false, "Prints the defined names (sheet-level as Sheet!name) and what they refer to.",
       &PrintNames},
      {"print count", "", 0, 0, false, "Prints the command-bar count text.", &PrintCount},
      {"print messages", "", 0, 0, false, "Prints every message shown so far: its style, then its text.",
       &PrintMessages},
      {"print control", "FORM.CONTROL.PROPERTY", 1, 1, false,
       "Prints a property of a host form's control (texts escaped as cells are).", &PrintControl, &CheckPrintControl},
      {"print formats", "RANGE", 1, 1, false,
       "Prints, for each cell of RANGE whose formats differ from a new cell's, its name and those formats: "
       "format=NUMBERFORMAT, bold, underline, font-color=INDEX, interior=&HBBGGRR, pattern=, align=, valign=, wrap, "
       "unlocked, border-EDGE=WEIGHT. Entire rows or columns end at the used range.",
       &PrintFormats, &CheckRange},
      {"print comments", "[SHEET]", 0, 1, false,
       "Prints each comment of a sheet (the active sheet without SHEET): its cell, visible or hidden, its text "
       "(escaped as cells are).",
       &PrintComments},
      {"print hyperlinks", "RANGE", 1, 1, false,
       "Prints each hyperlink of the cells of RANGE: its cell, its address and its sub-address (escaped as cells "
       "are). Entire rows or columns end at the used range.",
       &PrintHyperlinks, &CheckRange},
      {"print widths", "RANGE", 1, 1, false, "Prints the width of each column of RANGE, in characters.", &PrintWidths,
       &CheckRange},
      {"print merges", "[SHEET]", 0, 1, false, "Prints the merged areas of a sheet (the active sheet without SHEET).",
       &PrintMerges},
      {"print selection", "", 0, 0, false, "Prints the active sheet's name, its selection and its active cell.",
       &PrintSelection},
      {"print clipboard", "", 0, 0, false, "Prints the clipboard's text (escaped as cells are).", &PrintClipboard},
  };
  return kSpecs;
}

// ----- parsing -----

std::vector<std::string> NameWords(const Spec& spec) { return workbook::SplitWords(spec.name); }

// The command table entry the words begin with; the longest name wins.
std::size_t FindSpec(const std::vector<std::string>& words) {
  const auto& specs = Specs();
  std::optional<std::size_t> best;
  std::size_t bestLength = 0;
  std::vector<std::string> seconds;
  for (std::size_t i = 0; i < specs.size(); ++i) {
    const auto name = NameWords(specs[i]);
    if (name[0] == words[0] && name.size() > 1) seconds.push_back(name[1]);
    if (name.size() <= words.size() && std::equal(name.begin(), name.end(), words.begin()) &&
        name.size() > bestLength) {
      best = i;
      bestLength = name.size();
    }
  }
  if (best) return *best;
  if (seconds.empty()) throw workbook::Failure("unknown command " + workbook::Quoted(words[0]));
  std::string list;
  for (const std::string& s : seconds) list += (list.empty() ? "" : ", ") + s;
  const std::string what =
      words.size() > 1 ? workbook::Quoted(words[0] + " " + words[1]) + " is unknown" : workbook::Quoted(words[0]);
  throw workbook::Failure(what + ": " + words[0] + " takes one of: " + list);
}

// Replaces ${N} and ${N:-default} (N from 1 to 9) in one word; any other "$" is a
// character of the word (absolute references such as $A$1 keep theirs).
std::string Substitute(const std::string& word, Args args) {
  std::string out;
  std::size_t pos = 0;
  for (auto open = word.find("${"); open != std::string::npos; open = word.find("${", pos)) {
    out += word.substr(pos, open - pos);
    const auto close = word.find('}', open);
    const std::string inner = close == std::string::npos ? "" : word.substr(open + 2, close - open - 2);
    const bool number = !inner.empty() && inner[0] >= '1' && inner[0] <= '9';
    if (!number || (inner.size() > 1 && inner.substr(1, 2) != ":-")) {
      throw workbook::Failure("expected ${N} or ${N:-default} in " + workbook::Quoted(word));
    }
    const auto n = static_cast<std::size_t>(inner[0] - '0');
    if (n <= args.size()) {
      out += args[n - 1];
    } else if (inner.size() > 1) {
      out += inner.substr(3);
    } else {
      throw workbook::Failure("the script has no argument ${" + inner + "}");
    }
    pos = close + 1;
  }
  return out + word.substr(pos);
}

Command ParseLine(std::vector<std::string> words, long line) {
  const std::size_t index = FindSpec(words);
  const Spec& spec = Specs()[index];
  const auto given = static_cast<int>(words.size() - NameWords(spec).size());
  if (given < spec.min || (spec.max >= 0 && given > spec.max)) {
    throw workbook::Failure("usage: " + std::string(spec.name) + (spec.form.empty() ? "" : " ") +
                            std::string(spec.form));
  }
  if (spec.check != nullptr) spec.check(Args(words).subspan(words.size() - static_cast<std::size_t>(given)));
  return {line, std::move(words), index};
}

}  // namespace

RangeWord SplitRangeWord(const std::string& word) {
  const Text text = FromUtf8(word);
  const auto bang = text.rfind(u'!');
  if (bang == Text::npos) return {std::nullopt, text};
  Text name = text.substr(0, bang);
  // A name in quotes may hold any character, a quote doubled; without quotes, a comma or
  // "!" in it means that an area after the first names a sheet.
  bool quoted = name.size() >= 2 && name.front() == u'\'' && name.back() == u'\'';
  for (std::size_t p = 1; quoted && p + 1 < name.size(); ++p) {
    if (name[p] == u'\'') quoted = name[++p] == u'\'' && p + 1 < name.size();
  }
  if (quoted) {
    name = name.substr(1, name.size() - 2);
    for (auto p = name.find(u"''"); p != Text::npos; p = name.find(u"''", p + 1)) name.erase(p, 1);
  } else if (name.find_first_of(u",!") != Text::npos) {
    throw workbook::Failure(
        workbook::Quoted(word) +
        " names a sheet after its first area, but a selection lies on one sheet: name the sheet once, "
        "before the first area (Sheet!A2:A5,C2:C5)");
  }
  return {std::move(name), text.substr(bang + 1)};
}

void CheckRangeWord(const std::string& word) {
  const RangeWord range = SplitRangeWord(word);
  const TextView reference = range.reference;
  bool ok = (!range.sheet || !range.sheet->empty()) && !reference.empty();
  if (ok && !xl::ParseA1(reference, xl::kLargeGridRows, xl::kLargeGridColumns)) {
    // A list of references and defined names, as the sheet resolves it.
    for (std::size_t start = 0; ok && start <= reference.size();) {
      std::size_t comma = reference.find(u',', start);
      if (comma == TextView::npos) comma = reference.size();
      TextView part = reference.substr(start, comma - start);
      while (!part.empty() && part.front() == u' ') part.remove_prefix(1);
      while (!part.empty() && part.back() == u' ') part.remove_suffix(1);
      ok = xl::ParseA1(part, xl::kLargeGridRows, xl::kLargeGridColumns) || xl::IsValidName(part);
      start = comma + 1;
    }
  }
  if (!ok) throw workbook::Failure(workbook::Quoted(word) + " is not a range");
}

std::string NotARange(const std::string& word, xl::Worksheet& sheet) {
  return workbook::Quoted(word) + " is neither a range nor a defined name of the sheet " + ToUtf8(sheet.Name());
}

xl::Worksheet* FindSheet(xl::Workbook& book, const Text& name) {
  for (long i = 1; i <= book.Sheets().Count(); ++i) {
    xl::Worksheet& sheet = book.Sheets().Item(i);
    if (text_order::EqualNoCase(sheet.Name(), name)) return &sheet;
  }
  return nullptr;
}

std::string NoSuchSheet(const Text& name, xl::Workbook& book, std::string_view where) {
  std::string list;
  for (long i = 1; i <= book.Sheets().Count(); ++i) {
    list += (list.empty() ? "" : ", ") + ToUtf8(book.Sheets().Item(i).Name());
  }
  return "no sheet " + workbook::Quoted(ToUtf8(name)) + " in " + std::string(where) + " (its sheets: " + list + ")";
}

Command MakeCommand(std::vector<std::string> words) {
  if (words.empty()) throw workbook::Failure("no command");
  return ParseLine(std::move(words), 0);
}

std::vector<Command> ParseScript(std::string_view text, std::span<const std::string> args) {
  std::vector<Command> commands;
  long line = 0;
  // A byte order mark that an editor put at the start of the file is no part of it.
  constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
  std::size_t start = text.starts_with(kByteOrderMark) ? kByteOrderMark.size() : 0;
  while (start < text.size()) {
    ++line;
    auto end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    if (text.substr(start, end - start).starts_with(kScriptEnd)) break;
    try {
      auto words = workbook::SplitWords(text.substr(start, end - start));
      for (std::string& w : words) w = Substitute(w, args);
      if (!words.empty()) commands.push_back(ParseLine(std::move(words), line));
    } catch (const workbook::Failure& f) {
      throw workbook::Failure("line " + std::to_string(line) + ": " + f.what());
    }
    start = end + 1;
  }
  return commands;
}

int RunScript(std::span<const Command> commands, Session& session, std::ostream& out, std::ostream& err,
              std::string_view program) {
  Context context{session, out, err, program, ""};
  for (const Command& command : commands) {
    const Spec& spec = Specs()[command.spec];
    const Args args = Args(command.words).subspan(NameWords(spec).size());
    const std::string where = command.line > 0 ? "line " + std::to_string(command.line) + ": " : "";
    context.where = where;
    // A run stopped at a question ends here, whatever the component made of the stop.
    const auto stopped = [&] {
      std::optional<std::string> why = session.Answers().TakeStop();
      out.flush();
      if (why) err << program << ": " << where << *why << "\n";
      return why.has_value();
    };
    try {
      spec.run(context, args);
      if (spec.component && stopped()) return 1;
    } catch (const Error& e) {
      out.flush();
      if (stopped()) return 1;
      err << program << ": " << where << "error " << e.Number() << " in " << e.Source() << ": " << e.Description()
          << "\n";
      if (spec.component && context.continueOnError) continue;
      return 1;
    } catch (const std::exception& e) {
      out.flush();
      err << program << ": " << where << e.what() << "\n";
      return 1;
    }
  }
  out.flush();
  return 0;
}

std::string CommandHelp() {
  constexpr std::size_t kWidth = 88;
  const std::string indent = "      ";
  std::string help;
  for (const Spec& spec : Specs()) {
    help += "  " + std::string(spec.name) + (spec.form.empty() ? "" : " ") + std::string(spec.form) + "\n";
    std::string line = indent;
    std::istringstream words{std::string(spec.help)};
    for (std::string word; words >> word;) {
      if (line.size() > indent.size() && line.size() + word.size() >= kWidth) {
        help += line + "\n";
        line = indent;
      }
      line += (line.size() > indent.size() ? " " : "") + word;
    }
    help += line + "\n";
  }
  return help;
}

}  // namespace quillary::cli
