// Fuzzes the xlsx reader: the input is an xlsx file itself when it begins with "PK",
// else the parts of one, separated by NUL bytes in this order: the workbook part, the
// first sheet's part, the shared strings, the styles, the first sheet's comments.
// A workbook that loads is changed as a run changes one (a cell tagged and made bold,
// a sheet added), which makes the save write into the package it came from (its sheet,
// styles, workbook part and relationships: a reader of that outside input too), saved
// as xlsx and loaded again, and the two must agree on the sheets, their cells' values
// and formulas, merged areas and defined names.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/runtime/error.h"
#include "workbook/failure.h"
#include "workbook/xlsx.h"
#include "workbook/xlsx_zip.h"

namespace {

using namespace quillary;
namespace fs = std::filesystem;

std::string Zip(const std::string& input) {
  std::vector<std::string> parts(5);
  std::size_t at = 0;
  for (std::size_t i = 0; i < parts.size() && at <= input.size(); ++i) {
    const std::size_t end = std::min(input.find('\0', at), input.size());
    parts[i] = input.substr(at, end - at);
    at = end + 1;
  }
  const std::string rels =
      R"(<Relationships><Relationship Id="rId1" Type="x/worksheet" Target="worksheets/sheet1.xml"/>)"
      R"(<Relationship Id="rId2" Type="x/sharedStrings" Target="sharedStrings.xml"/>)"
      R"(<Relationship Id="rId3" Type="x/styles" Target="styles.xml"/></Relationships>)";
  const std::string sheetRels =
      R"(<Relationships><Relationship Id="rId1" Type="x/comments" Target="../comments1.xml"/></Relationships>)";
  std::vector<std::pair<std::string, std::string>> files{{"xl/workbook.xml", parts[0]},
                                                         {"xl/_rels/workbook.xml.rels", rels},
                                                         {"xl/worksheets/sheet1.xml", parts[1]},
                                                         {"xl/sharedStrings.xml", parts[2]},
                                                         {"xl/styles.xml", parts[3]}};
  if (!parts[4].empty()) {
    files.emplace_back("xl/worksheets/_rels/sheet1.xml.rels", sheetRels);
    files.emplace_back("xl/comments1.xml", parts[4]);
  }
  return workbook::xlsx::MakeZip(files);
}

[[noreturn]] void Differ(const std::string& what) {
  std::fprintf(stderr, "the workbook read back differs: %s\n", what.c_str());
  std::abort();
}

void ExpectSame(xl::Workbook& a, xl::Workbook& b) {
  if (a.Sheets().Count() != b.Sheets().Count()) Differ("sheet count");
  for (long i = 1; i <= a.Sheets().Count(); ++i) {
    auto& sa = dynamic_cast<xl::memory::FileSheet&>(a.Sheets().Item(i));
    auto& sb = dynamic_cast<xl::memory::FileSheet&>(b.Sheets().Item(i));
    const std::string where = ToUtf8(sa.Name());
    if (sa.Name() != sb.Name() || sa.Visible() != sb.Visible()) Differ("sheet " + where);
    for (long c = 1; c <= std::max(sa.StoredColumns(), sb.StoredColumns()); ++c) {
      std::optional<long> ra = sa.NextFilledRow(c, 0), rb = sb.NextFilledRow(c, 0);
      while (ra || rb) {
        if (ra != rb) Differ(where + ": the filled rows of column " + std::to_string(c));
        if (!(sa.CellValue(*ra, c) == sb.CellValue(*ra, c))) Differ(where + ": a value");
        if (sa.CellFormula(*ra, c) != sb.CellFormula(*ra, c)) Differ(where + ": a formula");
        ra = sa.NextFilledRow(c, *ra);
        rb = sb.NextFilledRow(c, *rb);
      }
    }
    auto ma = sa.MergedAreas(), mb = sb.MergedAreas();
    const auto order = [](const xl::Area& x, const xl::Area& y) {
      return std::tie(x.row1, x.col1, x.row2, x.col2) < std::tie(y.row1, y.col1, y.row2, y.col2);
    };
    std::sort(ma.begin(), ma.end(), order);
    std::sort(mb.begin(), mb.end(), order);
    if (ma != mb) Differ(where + ": merged areas");
  }
  if (a.Names().Count() != b.Names().Count()) Differ("name count");
  for (long i = 1; i <= a.Names().Count(); ++i) {
    xl::DefinedName& n = a.Names().Item(i);
    xl::DefinedName& m = b.Names().Item(n.Name());
    if (n.RefersTo() != m.RefersTo() || n.Visible() != m.Visible()) Differ("name " + ToUtf8(n.Name()));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string input(reinterpret_cast<const char*>(data), size);
  const std::string file = input.rfind("PK", 0) == 0 ? input : Zip(input);
  auto app = xl::memory::CreateApplication();
  workbook::Notes notes;
  xl::Workbook* first = nullptr;
  try {
    first = &workbook::LoadXlsxData(*app, file, "fuzz.xlsx", notes);
  } catch (const workbook::Failure&) {
    return 0;
  }
  try {
    xl::Worksheet& sheet = first->Sheets().Item(1);
    sheet.Cells(1, 1).SetValue(u"tag");
    sheet.Cells(1, 1).Font().SetBold(true);
    first->Sheets().Add({.After = &sheet}).Cells(2, 2).SetValue(2.5);
  } catch (const Error&) {
    // a protected sheet or workbook refuses the change: saved as loaded
  }
  static const fs::path saved = fs::temp_directory_path() / ("quillary-fuzz-" + std::to_string(::getpid()) + ".xlsx");
  try {
    workbook::SaveXlsx(*first, saved, notes);
  } catch (const workbook::Failure&) {
    return 0;  // what the file format cannot hold is refused with a message
  }
  auto again = xl::memory::CreateApplication();
  xl::Workbook* second = nullptr;
  try {
    second = &workbook::LoadXlsx(*again, saved, notes);
  } catch (const workbook::Failure& f) {
    Differ(std::string("the saved workbook does not load: ") + f.what());
  }
  ExpectSame(*first, *second);
  return 0;
}
