#include "workbook/xlsx.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <set>

#include "workbook/failure.h"
#include "workbook/sheet_layout.h"
#include "workbook/source_stamp.h"
#include "workbook/tests/round_trip.h"
#include "workbook/tests/run_python.h"
#include "workbook/tests/temp_dir.h"
#include "workbook/xlsx_common.h"
#include "workbook/xlsx_zip.h"

namespace quillary::workbook {
namespace {

namespace fs = std::filesystem;
using testing::ReadText;
using testing::TempDir;
using testing::WriteText;

class Xlsx : public ::testing::Test {
 protected:
  xl::memory::FileBook& Load(xl::memory::MemoryApplication& into, const fs::path& file) {
    return dynamic_cast<xl::memory::FileBook&>(LoadXlsx(into, file, notes));
  }
  // The message of the Failure `body` raises ("" when it raises none).
  template <class Body>
  static std::string FailureOf(Body&& body) {
    try {
      body();
    } catch (const Failure& f) {
      return f.what();
    }
    return "";
  }

  std::unique_ptr<xl::memory::MemoryApplication> app = xl::memory::CreateApplication();
  TempDir dir;
  Notes notes;
};

// An xlsx file of the given sheet parts (and workbook part and shared strings), as
// another program writes it.
std::string Workbook(const std::string& workbookXml, const std::vector<std::string>& sheets,
                     const std::string& sharedStrings = "") {
  std::string rels = R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
                     R"(<Relationship Id="rIdS" Type="http://x/sharedStrings" Target="sharedStrings.xml"/>)";
  std::vector<std::pair<std::string, std::string>> parts{
      {"_rels/.rels",
       R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
       R"(<Relationship Id="rId1" Type="http://x/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
      {"xl/workbook.xml", workbookXml},
      {"xl/sharedStrings.xml", sharedStrings.empty() ? "<sst/>" : sharedStrings}};
  for (std::size_t i = 0; i < sheets.size(); ++i) {
    const std::string n = std::to_string(i + 1);
    rels +=
        R"(<Relationship Id="rId)" + n + R"(" Type="http://x/worksheet" Target="worksheets/sheet)" + n + R"(.xml"/>)";
    parts.emplace_back("xl/worksheets/sheet" + n + ".xml", sheets[i]);
  }
  parts.emplace_back("xl/_rels/workbook.xml.rels", rels + "</Relationships>");
  return xlsx::MakeZip(parts);
}

std::string Sheet(const std::string& inside) {
  return R"(<?xml version="1.0" encoding="UTF-8"?><worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="r">)" +
         inside + "</worksheet>";
}

// Everything a workbook holds comes back from an xlsx file, and saved again the
// workbook reads the same.
TEST_F(Xlsx, RoundTripKeepsEverything) {
  xl::memory::FileBook& rich = testing::BuildRichWorkbook(*app);
  rich.Protect(true, true);
  SaveXlsx(rich, dir / "book.xlsx", notes);
  auto reloaded = xl::memory::CreateApplication();
  xl::memory::FileBook& back = Load(*reloaded, dir / "book.xlsx");
  testing::ExpectSameWorkbook(rich, back);
  EXPECT_TRUE(back.ProtectStructure());
  EXPECT_TRUE(back.ProtectWindows());
  SaveXlsx(back, dir / "again.xlsx", notes);
  auto third = xl::memory::CreateApplication();
  testing::ExpectSameWorkbook(rich, Load(*third, dir / "again.xlsx"));
  EXPECT_EQ(notes, Notes{});
}

// What other programs write and this one does not: shared formulas, inline and rich
// texts with phonetic runs, cells without references, escaped characters, the cached
// values of formulas, names of sheets and hidden ones, a print area.
TEST_F(Xlsx, ReadsWhatOtherProgramsWrite) {
  const std::string book =
      R"(<workbook xmlns:r="r"><workbookPr/><workbookProtection lockStructure="1"/>)"
      R"(<bookViews><workbookView activeTab="1"/></bookViews><sheets>)"
      R"(<sheet name="Data" sheetId="1" r:id="rId1"/><sheet name="Two words" sheetId="2" r:id="rId2"/>)"
      R"(<sheet name="Work" sheetId="3" state="veryHidden" r:id="rId3"/></sheets><definedNames>)"
      R"(<definedName name="Items">Data!$A$1:$A$3</definedName>)"
      R"(<definedName name="local" localSheetId="1" hidden="1">'Two words'!$B$2,'Two words'!$C$3</definedName>)"
      R"(<definedName name="_xlnm.Print_Area" localSheetId="0">Data!$A$1:$C$4</definedName>)"
      R"(<definedName name="half">0.5</definedName></definedNames></workbook>)";
  const std::string strings = R"(<sst><si><t>007</t></si><si><r><rPr><b/></rPr><t>bold </t></r><r><t>and plain</t></r>)"
                              R"(<rPh><t>PHONETIC</t></rPh></si><si><t>line_x000D_
break &amp; more</t></si></sst>)";
  const std::string data = Sheet(
      R"(<sheetViews><sheetView><selection activeCell="B2" sqref="A1:A3 B2"/></sheetView></sheetViews><sheetData>)"
      R"(<row r="1"><c r="A1" t="s"><v>0</v></c><c t="s"><v>1</v></c><c><v>1.5E3</v></c></row>)"
      R"(<row r="2"><c r="A2" t="inlineStr"><is><t>inline</t></is></c><c r="B2" t="s"><v>2</v></c></row>)"
      R"(<row r="3"><c r="A3"><f>A1*2</f><v>14</v></c><c r="B3"><f t="shared" ref="B3:B5" si="0">A3+$A$1</f><v>21</v></c>)"
      R"(<c r="C3" t="str"><f>"x"&amp;A2</f><v>xinline</v></c></row>)"
      R"(<row r="4"><c r="B4"><f t="shared" si="0"/><v>1</v></c><c r="C4" t="e"><f>1/0</f><v>#DIV/0!</v></c>)"
      R"(<c r="D4" t="b"><v>0</v></c><c r="E4" t="e"><v>#N/A</v></c></row>)"
      R"(<row r="5"><c r="B5"><f t="shared" si="0"/></c><c r="C5" t="b"><f>TRUE()</f><v>1</v></c></row>)"
      R"(</sheetData>)");
  const std::string two = Sheet(R"(<sheetData><row r="2"><c r="B2"><v>2</v></c></row></sheetData>)");
  const std::string work = Sheet(R"(<sheetData/>)");
  WriteText(dir / "other.xlsx", Workbook(book, {data, two, work}, strings));

  xl::memory::FileBook& b = Load(*app, dir / "other.xlsx");
  xl::Worksheet& s = b.Sheets().Item(u"Data");
  struct Case {
    const char* cell;
    Variant value;
    const char* formula;
  } cases[] = {
      {"A1", Variant(u"007"), "'007"},
      {"B1", Variant(u"bold and plain"), "bold and plain"},
      {"C1", Variant(1500.0), "1500"},
      {"A2", Variant(u"inline"), "inline"},
      {"B2", Variant(u"line\r\nbreak & more"), "line\r\nbreak & more"},
      {"A3", Variant(14.0), "=A1*2"},
      {"B3", Variant(21.0), "=A3+$A$1"},
      {"C3", Variant(u"xinline"), "=\"x\"&A2"},
      {"B4", Variant(1.0), "=A4+$A$1"},
      {"C4", Variant(CellError::Div0), "=1/0"},
      {"D4", Variant(false), "FALSE"},
      {"E4", Variant(CellError::NA), "#N/A"},
      {"B5", Variant(CellError::Name), "=A5+$A$1"},  // no cached value: the stand-in's own
      {"C5", Variant(true), "=TRUE()"},
  };
  // Saved and loaded again, the formulas keep the values the first file held.
  SaveXlsx(b, dir / "saved.xlsx", notes);
  auto again = xl::memory::CreateApplication();
  xl::Worksheet& back = Load(*again, dir / "saved.xlsx").Sheets().Item(u"Data");
  for (xl::Worksheet* sheet : {&s, &back}) {
    for (const Case& c : cases) {
      EXPECT_EQ(sheet->Range(T(c.cell)).Value(), c.value) << c.cell;
      EXPECT_EQ(sheet->Range(T(c.cell)).Formula(), T(c.formula)) << c.cell;
    }
  }
  EXPECT_EQ(b.ActiveSheet().Name(), u"Two words");
  EXPECT_EQ(b.Sheets().Item(u"Work").Visible(), xl::xlSheetVeryHidden);
  EXPECT_TRUE(b.ProtectStructure());
  EXPECT_EQ(b.Names().Item(u"Items").RefersTo(), u"=Data!$A$1:$A$3");
  xl::DefinedName& local = b.Sheets().Item(u"Two words").Names().Item(u"local");
  EXPECT_EQ(local.RefersTo(), u"='Two words'!$B$2,'Two words'!$C$3");
  EXPECT_FALSE(local.Visible());
  EXPECT_EQ(b.Names().Count(), 1);  // "half" is a constant, which the stand-in's names cannot hold
  // ... but the saved file keeps it, as it keeps what else it does not model.
  const auto halfNote = [&](const char* file) {
    return std::string("'").append((dir / file).string()) +
           "': the name 'half' refers to '0.5', not to cells of one sheet: the workbook cannot hold it and leaves it "
           "out";
  };
  EXPECT_EQ(notes, (Notes{halfNote("other.xlsx"), halfNote("saved.xlsx")}));
  EXPECT_EQ(s.GetPageSetup().PrintArea, u"$A$1:$C$4");
  EXPECT_EQ(s.SelectionAreas(), (std::vector<xl::Area>{{1, 1, 3, 1}, {2, 2, 2, 2}}));
  EXPECT_EQ(s.ActiveCellPos(), (xl::CellPos{2, 2}));
}

// Print titles are rows or columns by what they start with: other programs write rows
// without `$` (`1:1`, `10:12`), and a save writes them back as the rows they are.
TEST_F(Xlsx, PrintTitlesAreRowsOrColumnsWithOrWithoutDollars) {
  struct Case {
    const char* titles;  // as the name holds them
    const char16_t* rows;
    const char16_t* columns;
  } cases[] = {
      {"'My S'!1:1", u"1:1", u""},
      {"'My S'!10:12", u"10:12", u""},
      {"'My S'!$2:$3", u"$2:$3", u""},
      {"'My S'!A:B", u"", u"A:B"},
      {"'My S'!$C:$C", u"", u"$C:$C"},
      {"'My S'!$A:$B,'My S'!10:12", u"10:12", u"$A:$B"},
      {"'My S'!1:1,'My S'!AA:AB", u"1:1", u"AA:AB"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.titles);
    const std::string workbookXml =
        std::string(R"(<workbook xmlns:r="r"><sheets><sheet name="My S" sheetId="1" r:id="rId1"/></sheets>)") +
        R"(<definedNames><definedName name="_xlnm.Print_Titles" localSheetId="0">)" + c.titles +
        "</definedName></definedNames></workbook>";
    WriteText(dir / "titles.xlsx",
              Workbook(workbookXml, {Sheet(R"(<sheetData><row r="1"><c r="A1"><v>1</v></c></row></sheetData>)")}));
    auto loaded = xl::memory::CreateApplication();
    xl::memory::FileBook& book = Load(*loaded, dir / "titles.xlsx");
    xl::Worksheet& sheet = book.Sheets().Item(1);
    // Saved with its page set-up changed, so that its names are written anew.
    xl::PageSetup page = sheet.GetPageSetup();
    page.CenterHorizontally = true;
    sheet.SetPageSetup(page);
    SaveXlsx(book, dir / "saved.xlsx", notes);
    auto again = xl::memory::CreateApplication();
    for (xl::Worksheet* s : {&sheet, &Load(*again, dir / "saved.xlsx").Sheets().Item(1)}) {
      EXPECT_EQ(s->GetPageSetup().PrintTitleRows, c.rows);
      EXPECT_EQ(s->GetPageSetup().PrintTitleColumns, c.columns);
    }
  }
}

// A workbook of one sheet "S" whose styles part is `styles`, as another program writes it.
std::string StyledBook(const std::string& styles, const std::string& sheetData,
                       const std::string& sheetPart = "worksheets/sheet1.xml", const std::string& beforeData = "") {
  const std::string wb =
      R"(<workbook xmlns:r="r"><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)";
  return xlsx::MakeZip(
      {{"_rels/.rels",
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://x/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
       {"xl/workbook.xml", wb},
       {"xl/styles.xml", styles},
       {"xl/" + sheetPart, Sheet(beforeData + "<sheetData>" + sheetData + "</sheetData>")},
       {"xl/_rels/workbook.xml.rels",
        R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)"
        R"(<Relationship Id="rId1" Type="http://x/worksheet" Target=")" +
            sheetPart +
            R"("/>)"
            R"(<Relationship Id="rId2" Type="http://x/styles" Target="styles.xml"/></Relationships>)"}});
}

// A styles part of two records: the plain font's, and one whose font adds `fontTag`
// ("<b/>", "<i/>").
std::string TwoStyles(const std::string& fontTag) {
  return R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
         R"(<fonts count="2"><font><sz val="11"/><name val="Calibri"/></font><font>)" +
         fontTag +
         R"(<sz val="11"/><name val="Calibri"/></font></fonts>)"
         R"(<fills count="2"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/>)"
         R"(</fill></fills><borders count="1"><border/></borders>)"
         R"(<cellXfs count="2"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/>)"
         R"(<xf numFmtId="0" fontId="1" fillId="0" borderId="0" applyFont="1"/></cellXfs></styleSheet>)";
}

// Attributes another program writes after a line break or in single quotes are read,
// and a change sets them where they stand: none is written twice.
TEST_F(Xlsx, StyleAttributesAreFoundHoweverTheyAreWritten) {
  const std::string styles =
      R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
      R"(<fonts count="2"><font><sz val="11"/><name val="Calibri"/></font>)"
      R"(<font><u/><sz val="11"/><name val="Calibri"/></font></fonts>)"
      R"(<fills count="3"><fill><patternFill patternType="none"/></fill><fill><patternFill patternType="gray125"/></fill>)"
      R"(<fill><patternFill patternType="solid"><fgColor rgb="FFFF0000"/></patternFill></fill></fills>)"
      R"(<borders count="1"><border/></borders>)"
      "<cellXfs count='2'><xf numFmtId=\"0\" fontId=\"0\" fillId=\"0\" borderId=\"0\"/>"
      "<xf numFmtId = '0'\n\tfontId='1'\r\n fillId=\"2\"\n borderId='0'\n applyFont='1'\tapplyFill=\"1\"/>"
      "</cellXfs></styleSheet>";
  WriteText(dir / "s.xlsx", StyledBook(styles, R"(<row r="1"><c r="A1" s="1"><v>1</v></c></row>)"));
  xl::memory::FileBook& b = Load(*app, dir / "s.xlsx");
  xl::Worksheet& s = b.Sheets().Item(u"S");
  const xl::FormatKey kept[] = {xl::FormatKey::FontUnderline, xl::FormatKey::InteriorColor,
                                xl::FormatKey::InteriorPattern};
  std::vector<Variant> was;
  for (const xl::FormatKey k : kept) was.push_back(s.GetFormat({1, 1, 1, 1}, k));
  // fontId='1' and fillId after a line break are read.
  EXPECT_EQ(was[0], Variant(xl::xlUnderlineStyleSingle));
  EXPECT_EQ(was[1], Variant(255L));
  s.SetFormat({1, 1, 1, 1}, xl::FormatKey::FontBold, true);
  SaveXlsx(b, dir / "s.xlsx", notes);

  const std::string saved = xlsx::ZipArchive(ReadText(dir / "s.xlsx")).Read("xl/styles.xml");
  for (std::size_t at = saved.find("<xf"); at != std::string::npos; at = saved.find("<xf", at + 1)) {
    const std::string tag = saved.substr(at, saved.find('>', at) - at);
    for (const char* name : {"numFmtId=", "fontId=", "fillId=", "borderId=", "applyFont=", "applyFill="}) {
      EXPECT_EQ(tag.find(name, tag.find(name) + 1), std::string::npos) << name << " twice in " << tag;
    }
  }
  auto again = xl::memory::CreateApplication();
  xl::Worksheet& read = Load(*again, dir / "s.xlsx").Sheets().Item(u"S");
  EXPECT_EQ(read.GetFormat({1, 1, 1, 1}, xl::FormatKey::FontBold), Variant(true));
  for (std::size_t i = 0; i < was.size(); ++i) EXPECT_EQ(read.GetFormat({1, 1, 1, 1}, kept[i]), was[i]);
}

// Every text comes back from a saved file as it was: a CR, the two characters XML
// cannot hold at all (U+FFFE, U+FFFF), control characters, and texts that look like
// the file format's own "_xHHHH_" escapes; the parts stay well-formed XML.
TEST_F(Xlsx, TextsComeBackExactly) {
  const std::u16string texts[] = {u"a\rb",    u"line\r\nnext", u"\uFFFE", u"x\uFFFFy",  u"_x0041_",
                                  u"_x005F_", u"__x00e9__",    u"_x41_",  u"end_x0041", u"bell\a\ttab\nline"};
  WriteText(dir / "t.xlsx", StyledBook("<styleSheet/>", R"(<row r="1"><c r="A1"><v>1</v></c></row>)"));
  xl::memory::FileBook& loaded = Load(*app, dir / "t.xlsx");
  auto freshApp = xl::memory::CreateApplication();
  xl::memory::FileBook& fresh = freshApp->AddWorkbook(xl::memory::GridSize::Large);
  for (auto [book, file] : {std::pair<xl::memory::FileBook*, const char*>{&loaded, "t.xlsx"}, {&fresh, "new.xlsx"}}) {
    xl::Worksheet& s = book->Sheets().Item(1);
    for (std::size_t i = 0; i < std::size(texts); ++i) {
      s.Cells(static_cast<long>(i) + 1, 1).SetValue(Variant(Text(texts[i])));  // a shared string
      s.Cells(static_cast<long>(i) + 1, 2).SetFormula(u"=\"" + Text(texts[i]) + u"\"");
    }
    SaveXlsx(*book, dir / file, notes);

    auto again = xl::memory::CreateApplication();
    xl::Worksheet& read = Load(*again, dir / file).Sheets().Item(1);
    for (std::size_t i = 0; i < std::size(texts); ++i) {
      EXPECT_EQ(read.Cells(static_cast<long>(i) + 1, 1).Value(), Variant(Text(texts[i]))) << file << " row " << i + 1;
      EXPECT_EQ(read.Cells(static_cast<long>(i) + 1, 2).Formula(), u"=\"" + Text(texts[i]) + u"\"") << file;
    }
    // A raw CR would read back as a line feed in any XML reader but this one.
    const std::string saved = ReadText(dir / file);
    const xlsx::ZipArchive zip(saved);
    for (const xlsx::ZipEntry& e : zip.Entries()) {
      EXPECT_EQ(zip.Read(e.name).find('\r'), std::string::npos) << file << " " << e.name;
    }
    if (testing::PythonHas("zipfile")) {
      EXPECT_EQ(
          testing::RunPython(dir.Path(), std::string("import zipfile, xml.dom.minidom\nz = zipfile.ZipFile('") + file +
                                             "')\nfor n in z.namelist():\n"
                                             "    if n.endswith('.xml') or n.endswith('.rels'):\n"
                                             "        xml.dom.minidom.parseString(z.read(n))\n"
                                             "print('ok')\n"),
          "ok\n")
          << file;
    }
  }
}

// Texts another program wrote, as inline strings (column A) and as shared strings
// (column B): the "_xHHHH_" escapes are decoded, and what only looks like one is kept;
// the UTF-8 is decoded, a byte of no character becoming U+FFFD.
TEST_F(Xlsx, EscapesAndUtf8OfAFileAreDecoded) {
  const struct {
    std::string xml;
    std::u16string text;
  } cases[] = {
      {"a_x000D_b", u"a\rb"},
      {"_x005F_x000D_", u"_x000D_"},  // the escaped underscore
      {"_x00e9__x00E9_", u"\u00E9\u00E9"},
      {"_x12_", u"_x12_"},
      {"_xZZZZ_", u"_xZZZZ_"},
      {"end_x0041", u"end_x0041"},
      {"__x0041__", u"_A_"},
      {"\xC3\xA9_x0041_\xF0\x9F\x98\x80", u"\u00E9A\U0001F600"},
      {"\xC3(", u"\uFFFD("},                    // a lead byte without its continuation
      {"\xC0\xAF", u"\uFFFD\uFFFD"},            // an overlong "/"
      {"\xED\xA0\x80", u"\uFFFD\uFFFD\uFFFD"},  // a surrogate
      {"cut \xE2\x82", u"cut \uFFFD\uFFFD"},
  };
  std::string rows, strings = "<sst>";
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const std::string r = std::to_string(i + 1);
    rows += "<row r=\"" + r + "\"><c r=\"A" + r + "\" t=\"inlineStr\"><is><t>" + cases[i].xml +
            "</t></is></c><c r=\"B" + r + "\" t=\"s\"><v>" + std::to_string(i) + "</v></c></row>";
    strings += "<si><t>" + cases[i].xml + "</t></si>";
  }
  WriteText(dir / "e.xlsx", Workbook(R"(<workbook xmlns:r="r"><sheets><sheet name="S" sheetId="1" r:id="rId1"/>)"
                                     R"(</sheets></workbook>)",
                                     {Sheet("<sheetData>" + rows + "</sheetData>")}, strings + "</sst>"));
  xl::Worksheet& s = Load(*app, dir / "e.xlsx").Sheets().Item(u"S");
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    const long row = static_cast<long>(i) + 1;
    EXPECT_EQ(s.Cells(row, 1).Value(), Variant(Text(cases[i].text))) << "inline " << cases[i].xml;
    EXPECT_EQ(s.Cells(row, 2).Value(), Variant(Text(cases[i].text))) << "shared " << cases[i].xml;
  }
}

// Part names compare case-insensitively: a new sheet's part differs from an existing
// "Sheet1.xml" by more than case.
TEST_F(Xlsx, ANewPartsNameDiffersFromEveryOtherIgnoringCase) {
  WriteText(dir / "c.xlsx",
            StyledBook("<styleSheet/>", R"(<row r="1"><c r="A1"><v>1</v></c></row>)", "worksheets/Sheet1.xml"));
  xl::memory::FileBook& b = Load(*app, dir / "c.xlsx");
  b.Sheets().Add({.After = &b.Sheets().Item(1)}).Range(u"A1").SetValue(2.0);
  SaveXlsx(b, dir / "c.xlsx", notes);

  std::set<std::string> folded;
  const std::string saved = ReadText(dir / "c.xlsx");
  const xlsx::ZipArchive zip(saved);
  for (const xlsx::ZipEntry& e : zip.Entries()) {
    std::string name = e.name;
    for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    EXPECT_TRUE(folded.insert(name).second) << e.name;
  }
  auto again = xl::memory::CreateApplication();
  xl::memory::FileBook& read = Load(*again, dir / "c.xlsx");
  ASSERT_EQ(read.Sheets().Count(), 2);
  EXPECT_EQ(read.Sheets().Item(1).Range(u"A1").Value(), Variant(1.0));
  EXPECT_EQ(read.Sheets().Item(2).Range(u"A1").Value(), Variant(2.0));
}

// A zip archive whose part `name` states the size `stated` in its entries.
std::string StatingOf(std::string zip, const std::string& name, std::uint64_t stated) {
  std::size_t local = 0;
  const xlsx::ZipArchive archive(zip);
  for (const xlsx::ZipEntry& e : archive.Entries()) {
    if (e.name == name) local = static_cast<std::size_t>(e.localOffset);
  }
  const std::size_t central = zip.rfind(name) - 46;
  for (int i = 0; i < 4; ++i) {
    zip[local + 22 + static_cast<std::size_t>(i)] = static_cast<char>((stated >> (8 * i)) & 0xFF);
    zip[central + 24 + static_cast<std::size_t>(i)] = static_cast<char>((stated >> (8 * i)) & 0xFF);
  }
  return zip;
}

// A zip archive of one part whose entries state the size `stated`.
std::string ArchiveStating(const std::string& name, const std::string& data, std::uint64_t stated) {
  return StatingOf(xlsx::MakeZip({{name, data}}), name, stated);
}

// Lists a style part lacks are made where the part's order puts them.
TEST_F(Xlsx, MissingStyleListsAreMadeInTheirPlace) {
  const std::string styles =
      R"(<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">)"
      R"(<fonts count="1"><font><sz val="11"/><name val="Calibri"/></font></fonts>)"
      R"(<cellXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellXfs>)"
      R"(<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles><dxfs count="0"/>)"
      R"(</styleSheet>)";
  WriteText(dir / "m.xlsx", StyledBook(styles, R"(<row r="1"><c r="A1"><v>1</v></c></row>)"));
  xl::memory::FileBook& b = Load(*app, dir / "m.xlsx");
  xl::Worksheet& s = b.Sheets().Item(u"S");
  const xl::Area a1{1, 1, 1, 1};
  s.SetFormat(a1, xl::FormatKey::InteriorPattern, xl::xlSolid);
  s.SetFormat(a1, xl::FormatKey::InteriorColor, 255L);
  s.SetFormat(a1, xl::FormatKey::BorderLineStyle, xl::xlContinuous, xl::xlEdgeTop);
  s.SetFormat(a1, xl::FormatKey::NumberFormat, Variant(u"0.000"));
  SaveXlsx(b, dir / "m.xlsx", notes);

  const std::string saved = xlsx::ZipArchive(ReadText(dir / "m.xlsx")).Read("xl/styles.xml");
  std::vector<std::size_t> at;
  for (const char* list : {"<numFmts", "<fonts", "<fills", "<borders", "<cellXfs", "<cellStyles", "<dxfs"}) {
    at.push_back(saved.find(list));
    EXPECT_NE(at.back(), std::string::npos) << list;
  }
  EXPECT_TRUE(std::is_sorted(at.begin(), at.end())) << saved;
  auto again = xl::memory::CreateApplication();
  xl::Worksheet& read = Load(*again, dir / "m.xlsx").Sheets().Item(u"S");
  EXPECT_EQ(read.GetFormat(a1, xl::FormatKey::InteriorColor), Variant(255L));
  EXPECT_EQ(read.GetFormat(a1, xl::FormatKey::BorderLineStyle, xl::xlEdgeTop), Variant(xl::xlContinuous));
  EXPECT_EQ(read.GetFormat(a1, xl::FormatKey::NumberFormat), Variant(u"0.000"));
}

// A zip archive of parts "a.xml" and "b.xml" whose central directory points both at
// the data of "a.xml", which deflates to no less than `bytes`.
std::string SharingData(std::size_t bytes) {
  std::string noise(bytes, '\0');
  std::uint32_t x = 1;
  for (char& c : noise) c = static_cast<char>((x = x * 1664525 + 1013904223) >> 24);
  std::string zip = xlsx::MakeZip({{"a.xml", noise}, {"b.xml", "b"}});
  const std::size_t a = zip.rfind("a.xml") - 46, b = zip.rfind("b.xml") - 46;
  for (const std::size_t field : {16, 20, 24, 42}) zip.replace(b + field, 4, zip.substr(a + field, 4));
  return zip;
}

// Files that are not readable workbooks get a clear error, open no workbook and leave
// the file as it was.
TEST_F(Xlsx, BadFilesAreRefused) {
  xl::memory::FileBook& good = app->AddWorkbook(xl::memory::GridSize::Large);
  good.Sheets().Item(1).Range(u"A1").SetValue(u"kept");
  SaveXlsx(good, dir / "good.xlsx", notes);
  const std::string saved = ReadText(dir / "good.xlsx");
  const std::string sheet = Sheet(R"(<sheetData><row r="1"><c r="A1"><v>1</v></c></row></sheetData>)");
  const std::string book = R"(<workbook><sheets><sheet name="S" sheetId="1" id="rId1"/></sheets></workbook>)";
  // Zeros that deflate to a few kilobytes, stated as more than a part may hold.
  const std::string zeros(1 << 20, '0');
  // An OLE compound file, as an encrypted workbook is stored.
  std::string ole("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1", 8);
  ole += std::string(504, '\0') + "E\0n\0c\0r\0y\0p\0t\0i\0o\0n\0I\0n\0f\0o\0";
  // The sheet part's data overwritten in its middle.
  std::string corrupt = saved;
  {
    const xlsx::ZipArchive zip(saved);
    for (const xlsx::ZipEntry& e : zip.Entries()) {
      if (e.name != "xl/worksheets/sheet1.xml") continue;
      const std::size_t at = static_cast<std::size_t>(zip.RawData(e).data() - saved.data());
      for (std::size_t i = 0; i < e.compressedSize / 2; ++i) corrupt[at + e.compressedSize / 4 + i] = 'x';
    }
  }
  struct Case {
    const char* name;
    std::string bytes;
    const char* message;
  } cases[] = {
      {"text.xlsx", "just some text", "not an xlsx workbook (not a zip archive)"},
      {"encrypted.xlsx", ole, "password-protected (encrypted)"},
      {"truncated.xlsx", saved.substr(0, saved.size() / 2), "damaged"},
      {"corrupt.xlsx", corrupt, "the zip archive is damaged: the data of the part 'xl/worksheets/sheet1.xml'"},
      {"bomb.xlsx", ArchiveStating("xl/worksheets/sheet1.xml", zeros, std::uint64_t{3} << 30),
       "would expand to 3221225472 bytes, more than the limit of 1073741824 bytes a part"},
      {"lying.xlsx", ArchiveStating("xl/workbook.xml", zeros, 1000), "expands beyond the size its entry states"},
      {"lying-sheet.xlsx",
       StatingOf(Workbook(book, {Sheet(std::string("<sheetData/>").append(std::string(1 << 20, ' ')))}),
                 "xl/worksheets/sheet1.xml", 1000),
       "the part 'xl/worksheets/sheet1.xml' expands beyond the size its entry states"},
      {"no-book.xlsx", xlsx::MakeZip({{"a.txt", "a"}}), "holds no workbook part"},
      {"twice.xlsx", xlsx::MakeZip({{"xl/workbook.xml", book}, {"a.txt", "a"}, {"XL/Workbook.xml", book}}),
       "the zip archive holds two parts of the same name, 'xl/workbook.xml' and 'XL/Workbook.xml'"},
      {"shared.xlsx", SharingData(1 << 16), "the zip archive is damaged: its parts claim more data than it holds"},
      {"bad-xml.xlsx", Workbook(book, {"<worksheet><sheetData><row>"}),
       "is not well-formed XML: it ends inside the element 'row' (is it cut short?)"},
      {"crossed.xlsx", Workbook(book, {"<worksheet><sheetData></worksheet></sheetData>"}),
       "the element 'worksheet' ends where it did not begin"},
      {"bad-string.xlsx",
       Workbook(book, {Sheet(R"(<sheetData><row r="1"><c r="A1" t="s"><v>9</v></c></row></sheetData>)")}),
       "cell A1: its shared string 9 does not exist"},
      {"off-grid.xlsx", Workbook(book, {Sheet(R"(<sheetData><row r="1048577"><c><v>1</v></c></row></sheetData>)")}),
       "row 1048577 lies outside the sheet"},
  };
  for (const Case& c : cases) {
    WriteText(dir / c.name, c.bytes);
    const long books = app->Workbooks().Count();
    const std::string message = FailureOf([&] { LoadXlsx(*app, dir / c.name, notes); });
    EXPECT_NE(message.find(c.message), std::string::npos) << c.name << ": " << message;
    EXPECT_NE(message.find(c.name), std::string::npos) << c.name << ": " << message;
    EXPECT_EQ(app->Workbooks().Count(), books) << c.name;
    EXPECT_EQ(ReadText(dir / c.name), c.bytes) << c.name;
  }
  EXPECT_EQ(FailureOf([&] { LoadXlsx(*app, dir / "missing.xlsx", notes); }),
            std::string("'").append((dir / "missing.xlsx").string()).append("' does not exist"));
  // The good file still reads.
  EXPECT_EQ(Load(*app, dir / "good.xlsx").Sheets().Item(1).Range(u"A1").Value(), Variant(u"kept"));
}

// XML that would make the parser read beyond the end of a part (a part ending inside a
// tag or a quoted value, right after references, in an empty comment or CDATA section)
// or stop at an assertion (a reference to no character): each is refused, naming the
// part, in each of the parts it was found in.
TEST_F(Xlsx, XmlThatTheParserWouldRunOffIsRefused) {
  const std::string book = R"(<workbook><sheets><sheet name="S" sheetId="1" id="rId1"/></sheets>)";
  const std::string sheet = R"(<worksheet><sheetData><row r="1"><c r="A1" t="s"><v>0</v></c></row></sheetData>)";
  const std::string strings = "<sst><si><t>a</t></si>";
  const char* endings[] = {R"(<w n="&>;A)",   "<w ",        R"(<w n="&amp;)",    "<w>&amp;&#65;",
                           "<w><![CDATA[]]>", "<w><!---->", "<w>&#x110000;</w>", "<!DOCTYPE w>"};
  for (const char* ending : endings) {
    struct Part {
      const char* name;
      std::string file;
    } parts[] = {
        {"xl/workbook.xml", Workbook(book + ending, {sheet + "</worksheet>"}, strings + "</sst>")},
        {"xl/worksheets/sheet1.xml", Workbook(book + "</workbook>", {sheet + ending}, strings + "</sst>")},
        {"xl/sharedStrings.xml", Workbook(book + "</workbook>", {sheet + "</worksheet>"}, strings + ending)},
    };
    for (const Part& part : parts) {
      const std::string message = FailureOf([&] { LoadXlsxData(*app, part.file, "x.xlsx", notes); });
      EXPECT_NE(message.find(std::string("the part '") + part.name + "' is not well-formed XML"), std::string::npos)
          << ending << " in " << part.name << ": " << message;
    }
  }
  // References and comments are read as before.
  const std::string good = Workbook(book + "<!-- a comment & more --></workbook>", {sheet + "</worksheet>"},
                                    "<sst><si><t>a&amp;b&#65;&#x42;&lt;</t><!-- x --></si></sst>");
  EXPECT_EQ(LoadXlsxData(*app, good, "x.xlsx", notes).Sheets().Item(1).Range(u"A1").Value(), Variant(u"a&bAB<"));
}

// A text longer than a cell holds, shared or inline, is cut, and a note names its cell.
TEST_F(Xlsx, TextsCutToWhatACellHoldsAreNamed) {
  const std::string book = R"(<workbook><sheets><sheet name="S" sheetId="1" id="rId1"/></sheets></workbook>)";
  const std::string file = Workbook(
      book,
      {Sheet(R"(<sheetData><row r="1"><c r="A1" t="s"><v>0</v></c><c r="B1" t="inlineStr"><is><t>)" +
             std::string(40000, 'b') +
             R"(</t></is></c></row><row r="2"><c r="A2" t="s"><v>1</v></c></row></sheetData>)")},
      "<sst><si><t>" + std::string(32768, 'a') + "</t></si><si><t>" + std::string(32767, 'c') + "</t></si></sst>");
  xl::Worksheet& sheet = LoadXlsxData(*app, file, "x.xlsx", notes).Sheets().Item(1);
  EXPECT_EQ(sheet.Range(u"B1").Value().AsText().size(), xl::kCellTextLimit);
  EXPECT_EQ(notes, (Notes{"'x.xlsx': S!A1: the text of 32768 characters was cut to the 32767 a cell holds",
                          "'x.xlsx': S!B1: the text of 40000 characters was cut to the 32767 a cell holds"}));
}

// Runs a Python program with openpyxl in `folder`, and gives its standard output; "" when
// it fails.
std::string RunOpenpyxl(const fs::path& folder, const std::string& program) {
  return testing::RunPython(folder, "import datetime, openpyxl\n" + program);
}

bool HaveOpenpyxl() { return testing::PythonHas("openpyxl"); }

// A workbook of the 1904 date system keeps it: its day numbers load as the file holds
// them, dates written as ISO 8601 texts are read against it, and the saved file has it.
TEST_F(Xlsx, TheDateSystemOfTheWorkbookIsKept) {
  if (!HaveOpenpyxl()) GTEST_SKIP() << "no python3-openpyxl";
  ASSERT_EQ(RunOpenpyxl(dir.Path(), R"py(
from openpyxl.utils.datetime import CALENDAR_MAC_1904
wb = openpyxl.Workbook()
wb.epoch = CALENDAR_MAC_1904
wb.active["A1"] = datetime.date(2024, 1, 1)
wb.save("mac.xlsx")
)py"),
            "");
  xl::memory::FileBook& book = Load(*app, dir / "mac.xlsx");
  EXPECT_TRUE(book.Date1904());
  xl::Worksheet& sheet = book.Sheets().Item(1);
  EXPECT_EQ(sheet.CellValue(1, 1), Variant(43830.0));  // 2024-01-01 counted from 1904-01-01
  sheet.Range(u"B1").SetValue(u"added");
  SaveXlsx(book, dir / "mac.xlsx", notes);
  EXPECT_EQ(RunOpenpyxl(dir.Path(), R"py(
wb = openpyxl.load_workbook("mac.xlsx")
print(wb.epoch.year, wb.active["A1"].value.date(), wb.active["B1"].value)
)py"),
            "1904 2024-01-01 added\n");

  // Dates as ISO 8601 texts (t="d"), in each date system; what is no date stays a text.
  struct Case {
    const char* iso;
    bool date1904;
    Variant value;
  } cases[] = {
      {"2024-01-01", false, Variant(45292.0)},       {"2024-01-01T12:00:00Z", true, Variant(43830.5)},
      {"1900-01-01", false, Variant(1.0)},           {"1900-02-28", false, Variant(59.0)},
      {"1900-03-01", false, Variant(61.0)},          {"1904-01-01T06:00:00.000", true, Variant(0.25)},
      {"2024-02-30", false, Variant(u"2024-02-30")}, {"yesterday", true, Variant(u"yesterday")},
  };
  for (const Case& c : cases) {
    const std::string bookXml = std::string(R"(<workbook xmlns:r="r"><workbookPr date1904=")") +
                                (c.date1904 ? "1" : "0") +
                                R"("/><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)";
    const std::string file = Workbook(bookXml, {Sheet(std::string(R"(<sheetData><row r="1"><c r="A1" t="d"><v>)") +
                                                      c.iso + "</v></c></row></sheetData>")});
    auto other = xl::memory::CreateApplication();
    EXPECT_EQ(LoadXlsxData(*other, file, "d.xlsx", notes).Sheets().Item(1).CellValue(1, 1), c.value) << c.iso;
  }
}

// A formula the file holds without a value is saved without one, so that the
// application calculates it; one with a value keeps it.
TEST_F(Xlsx, FormulasWithoutAValueAreSavedWithoutOne) {
  if (!HaveOpenpyxl()) GTEST_SKIP() << "no python3-openpyxl";
  ASSERT_EQ(RunOpenpyxl(dir.Path(), R"py(
wb = openpyxl.Workbook()
ws = wb.active
ws["A1"], ws["A2"], ws["A3"] = 2, 3, "=SUM(A1:A2)"
wb.save("f.xlsx")
)py"),
            "");
  xl::memory::FileBook& book = Load(*app, dir / "f.xlsx");
  xl::Worksheet& sheet = book.Sheets().Item(1);
  EXPECT_EQ(sheet.CellValue(3, 1), Variant(CellError::Name));  // the stand-in calculates no formula
  SaveXlsx(book, dir / "f.xlsx", notes);
  EXPECT_EQ(RunOpenpyxl(dir.Path(), R"py(
print(openpyxl.load_workbook("f.xlsx").active["A3"].value, openpyxl.load_workbook("f.xlsx", data_only=True).active["A3"].value)
)py"),
            "=SUM(A1:A2) None\n");
  // A value the file holds is kept.
  const std::string file =
      Workbook(R"(<workbook xmlns:r="r"><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)",
               {Sheet(R"(<sheetData><row r="1"><c r="A1"><f>B1*2</f><v>14</v></c></row></sheetData>)")});
  auto other = xl::memory::CreateApplication();
  xl::Worksheet& made = LoadXlsxData(*other, file, "v.xlsx", notes).Sheets().Item(1);
  made.Range(u"B1").SetValue(7.0);
  SaveXlsx(made.Parent(), dir / "v.xlsx", notes);
  auto back = xl::memory::CreateApplication();
  auto& sheet2 = dynamic_cast<xl::memory::FileSheet&>(Load(*back, dir / "v.xlsx").Sheets().Item(1));
  EXPECT_EQ(sheet2.CellValue(1, 1), Variant(14.0));
  EXPECT_TRUE(sheet2.CellHasCachedValue(1, 1));
  EXPECT_EQ(sheet2.CellValue(1, 2), Variant(7.0));
}

// A sheet the run changed is written with each row's tag as the file had it: the
// attributes the workbook does not model as they stand (prefixed ones too), and its
// height and hidden state as written unless the run changed them. A sheet the run did
// not change is copied as it stands, with its entry's date; an entry the save writes
// gets a valid fixed date (1980-01-01 00:00).
TEST_F(Xlsx, ASavedRowKeepsItsTagAndAnUnchangedSheetItsBytes) {
  const std::string root =
      R"(<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" xmlns:r="r" )"
      R"(xmlns:x14ac="http://schemas.microsoft.com/office/spreadsheetml/2009/9/ac">)";
  const std::string changed =
      root +
      R"(<dimension ref="A1:B3"/><sheetData>)"
      R"(<row r="1" spans="1:2" ht="15" customHeight="false" hidden="false" x14ac:dyDescent="0.25" outlineLevel="1">)"
      R"(<c r="A1" t="inlineStr"><is><t>a</t></is></c><c r="B1"><v>1</v></c></row>)"
      R"(<row r="2" ht="30" customHeight="1" collapsed="1"><c r="A2"><v>2</v></c></row>)"
      R"(<row r="3" ht="12" hidden="1"><c r="A3"><v>3</v></c></row></sheetData></worksheet>)";
  const std::string untouched =
      root + R"(<dimension ref="A1"/><sheetData><row r="1" spans="1:1"><c r="A1" t="inlineStr"><is><t>kept</t></is>)"
             R"(</c></row></sheetData></worksheet>)";
  const std::string unstamped = Workbook(R"(<workbook xmlns:r="r"><sheets><sheet name="S" sheetId="1" r:id="rId1"/>)"
                                         R"(<sheet name="T" sheetId="2" r:id="rId2"/></sheets></workbook>)",
                                         {changed, untouched});
  // Its entries dated 2025-01-01 12:00.
  std::string file;
  {
    const xlsx::ZipArchive made(unstamped);
    xlsx::ZipWriter w;
    for (xlsx::ZipEntry e : made.Entries()) {
      e.date = (45 << 9) | (1 << 5) | 1;
      e.time = 12 << 11;
      w.Add(e, made.RawData(e));
    }
    file = w.Finish();
  }
  xl::Worksheet& sheet = LoadXlsxData(*app, file, "rows.xlsx", notes).Sheets().Item(u"S");
  sheet.Range(u"B1").SetValue(5.0);
  sheet.Range(u"A2").SetRowHeight(40.0);
  SaveXlsx(sheet.Parent(), dir / "rows.xlsx", notes);
  const std::string bytes = ReadText(dir / "rows.xlsx");
  const xlsx::ZipArchive saved(bytes);
  const std::string s = saved.Read("xl/worksheets/sheet1.xml");
  for (const char* tag : {
           R"(<row r="1" x14ac:dyDescent="0.25" outlineLevel="1" ht="15" customHeight="false" hidden="false">)",
           R"(<row r="2" collapsed="1" ht="40" customHeight="1">)",
           R"(<row r="3" ht="12" hidden="1">)",
       }) {
    EXPECT_NE(s.find(tag), std::string::npos) << tag << " in " << s;
  }
  EXPECT_NE(s.find(R"(<c r="B1"><v>5</v></c>)"), std::string::npos) << s;
  EXPECT_EQ(saved.Read("xl/worksheets/sheet2.xml"), untouched);
  for (const xlsx::ZipEntry& e : saved.Entries()) {
    // Written: the changed sheet and the parts the package lacked (content types, styles).
    const bool copied = e.name != "xl/worksheets/sheet1.xml" && xlsx::ZipArchive(unstamped).Has(e.name);
    EXPECT_EQ(e.date, copied ? (45 << 9) | (1 << 5) | 1 : 0x0021) << e.name;
    EXPECT_EQ(e.time, copied ? 12 << 11 : 0) << e.name;
  }
}

// A save of a workbook loaded from an xlsx file keeps what the file holds beside what
// the workbook models: every part the run did not change byte for byte, and in the
// parts it did change (the sheet, the workbook part, the styles) every element it did
// not. Cells whose format changed get records made from their old ones.
TEST_F(Xlsx, ASaveKeepsWhatTheFileHoldsBesideTheCells) {
  if (!HaveOpenpyxl()) GTEST_SKIP() << "no python3-openpyxl";
  ASSERT_EQ(RunOpenpyxl(dir.Path(), R"py(
from openpyxl.chart import BarChart, Reference
from openpyxl.comments import Comment
from openpyxl.drawing.image import Image
from openpyxl.formatting.rule import CellIsRule
from openpyxl.styles import Font, PatternFill
from openpyxl.styles.colors import Color
from openpyxl.workbook.defined_name import DefinedName
from openpyxl.worksheet.datavalidation import DataValidation
from openpyxl.worksheet.table import Table
import PIL.Image
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Parts"
ws.append(["Ref", "Count"])
for r in range(1, 5):
    ws.append(["R%d" % r, r])
ws.freeze_panes = "A2"
ws.sheet_view.zoomScale = 150
ws.sheet_properties.tabColor = "1072BA"
ws.row_dimensions[3].outlineLevel = 1
ws["A1"].fill = PatternFill("solid", fgColor=Color(theme=4))
ws["A2"].font = Font(italic=True, strike=True, size=14)
ws["A3"].font = Font(italic=True)
ws["B1"].comment = Comment("counted by hand", "me")
dv = DataValidation(type="whole")
dv.add("B2:B5")
ws.add_data_validation(dv)
ws.conditional_formatting.add("B2:B5", CellIsRule(operator="greaterThan", formula=["2"], fill=PatternFill("solid", fgColor="FF0000")))
ws.add_table(Table(displayName="PartsTable", ref="A1:B5"))
chart = BarChart()
chart.add_data(Reference(ws, min_col=2, min_row=1, max_row=5))
ws.add_chart(chart, "E2")
PIL.Image.new("RGB", (4, 4), "red").save("dot.png")
ws.add_image(Image("dot.png"), "E20")
ws.merge_cells("C8:D9")
wb.create_sheet("Hidden").sheet_state = "hidden"
wb.create_sheet("Scrap")["A1"] = "to go"
wb.defined_names.append(DefinedName("Refs", attr_text="Parts!$A$2:$A$5"))
wb.defined_names.append(DefinedName("rate", attr_text="0.25"))
wb.save("rich.xlsx")
)py"),
            "");
  const std::string before = ReadText(dir / "rich.xlsx");
  xl::memory::FileBook& book = Load(*app, dir / "rich.xlsx");
  xl::Worksheet& parts = book.Sheets().Item(u"Parts");
  parts.Range(u"C2:C3").SetValue(u"tag");
  parts.Range(u"A3").Font().SetBold(true);
  book.Sheets().Item(u"Scrap").Delete();
  xl::Worksheet& result = book.Sheets().Add({.After = &parts});
  result.SetName(u"Result");
  result.Range(u"A1").SetValue(u"made");
  SaveXlsx(book, dir / "rich.xlsx", notes);

  EXPECT_EQ(RunOpenpyxl(dir.Path(), R"py(
wb = openpyxl.load_workbook("rich.xlsx")
ws = wb["Parts"]
print(wb.sheetnames, wb["Hidden"].sheet_state, sorted(n.name for n in wb.defined_names.definedName))
print(ws.freeze_panes, ws.sheet_view.zoomScale, ws.sheet_properties.tabColor.rgb, ws.row_dimensions[3].outlineLevel)
print(list(ws.tables), len(ws._charts), len(ws._images), len(ws.data_validations.dataValidation), len(ws.conditional_formatting))
print(ws["A1"].fill.fgColor.theme, ws["A2"].font.i, ws["A2"].font.strike, ws["A2"].font.sz, ws["B1"].comment.text)
print(ws["A3"].font.i, ws["A3"].font.b, ws["A3"].value, ws["C2"].value, ws["C3"].value, ws.merged_cells.ranges)
print(wb["Result"]["A1"].value)
)py"),
            "['Parts', 'Result', 'Hidden'] hidden ['Refs', 'rate']\n"
            "A2 150 001072BA 1\n"
            "['PartsTable'] 1 1 1 1\n"
            "4 True True 14.0 counted by hand\n"
            "True True R2 tag tag [<MergedCellRange C8:D9>]\n"
            "made\n");
  // The parts the run did not change are as they were, byte for byte.
  const std::string after = ReadText(dir / "rich.xlsx");
  const xlsx::ZipArchive was(before), is(after);
  std::vector<std::string> kept, gone;
  for (const xlsx::ZipEntry& e : was.Entries()) {
    if (!is.Has(e.name)) {
      gone.push_back(e.name);
      continue;
    }
    for (const xlsx::ZipEntry& f : is.Entries()) {
      if (f.name == e.name && is.RawData(f) == was.RawData(e)) kept.push_back(e.name);
    }
  }
  for (const char* part : {"xl/theme/theme1.xml", "xl/charts/chart1.xml", "xl/drawings/drawing1.xml",
                           "xl/tables/table1.xml", "xl/media/image1.png", "xl/comments/comment1.xml",
                           "docProps/core.xml", "xl/worksheets/_rels/sheet1.xml.rels"}) {
    EXPECT_NE(std::find(kept.begin(), kept.end(), part), kept.end()) << part;
  }
  EXPECT_EQ(gone, std::vector<std::string>{"xl/worksheets/sheet3.xml"});  // Scrap's part
}

// A font property the run changes replaces only itself in the cell's font: its theme
// or rgb colour, italic, size and name stay.
// Hyperlinks and the page set-up the run changed are written into the package the
// workbook came from: the element of a link the run left as it was stays (its tooltip,
// its relationship), a link that moved or changed gets what it needs, and the
// relationship of one that went goes; each element of the page set-up keeps what the
// workbook does not hold of it (the paper, the orientation, gridlines, the even pages'
// header). The frozen pane, which only the package keeps, shows that nothing was
// written anew.
TEST_F(Xlsx, ChangedHyperlinksAndPageSetUpAreWrittenIntoThePackage) {
  if (!HaveOpenpyxl()) GTEST_SKIP() << "no python3-openpyxl";
  ASSERT_EQ(RunOpenpyxl(dir.Path(), R"py(
from openpyxl.worksheet.hyperlink import Hyperlink
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Links"
for r, v in enumerate(["c", "b", "a"], 1):
    ws.cell(r, 1, v)
ws["A1"].hyperlink = "https://example.com/c"
ws["B1"] = "keep"
ws["B1"].hyperlink = "https://example.com/keep"
ws["B1"].hyperlink.tooltip = "kept"
ws["B2"] = "inside"
ws["B2"].hyperlink = Hyperlink(ref="B2", location="'Links'!A3", display="inside")
ws.freeze_panes = "A2"
ws.page_margins.left = 1.25
ws.page_setup.orientation = "landscape"
ws.page_setup.paperSize = ws.PAPERSIZE_A4
ws.page_setup.scale = 80
ws.print_options.gridLines = True
ws.oddHeader.center.text = "Title"
ws.evenHeader.center.text = "Even"
ws.HeaderFooter.differentOddEven = True
wb.save("links.xlsx")
)py"),
            "");
  xl::memory::FileBook& book = Load(*app, dir / "links.xlsx");
  auto& sheet = dynamic_cast<xl::memory::FileSheet&>(book.Sheets().Item(1));
  const xl::Range key = sheet.Range(u"A1");
  sheet.Range(u"A1:A3").Sort({.Key1 = &key});  // the link of "c" goes with it to A3
  sheet.AddHyperlink(sheet.Range(u"B2"), u"", u"'Links'!A1", u"inside");
  sheet.AddHyperlink(sheet.Range(u"A4"), u"https://example.com/new?a=1&b=2");
  xl::PageSetup page = sheet.GetPageSetup();
  page.LeftMargin = 36;
  page.Zoom = false;
  page.FitToPagesTall = false;
  page.CenterHorizontally = true;
  page.CenterHeader = u"New <title>";
  page.RightFooter = u"Page &P";
  sheet.SetPageSetup(page);
  const SheetLayout saved = ReadLayout(sheet);
  SaveXlsx(book, dir / "links.xlsx", notes);
  EXPECT_TRUE(notes.empty()) << notes.front();

  EXPECT_EQ(RunOpenpyxl(dir.Path(), R"py(
import zipfile
wb = openpyxl.load_workbook("links.xlsx")
ws = wb["Links"]
for c in ("A1", "A3", "A4", "B1", "B2"):
    h = ws[c].hyperlink
    print(c, ws[c].value, None if h is None else (h.target, h.location, h.tooltip, h.display))
print(ws.freeze_panes)
m, s = ws.page_margins, ws.page_setup
print(m.left, m.right, m.top, s.orientation, s.paperSize, s.scale, s.fitToWidth, s.fitToHeight,
      ws.sheet_properties.pageSetUpPr.fitToPage)
print(ws.print_options.gridLines, ws.print_options.horizontalCentered, ws.print_options.verticalCentered)
print(ws.oddHeader.center.text, ws.evenHeader.center.text, ws.oddFooter.right.text)
rels = zipfile.ZipFile("links.xlsx").read("xl/worksheets/_rels/sheet1.xml.rels").decode()
print(sorted(t.split('"')[0] for t in rels.split('Target="')[1:]))
)py"),
            "A1 a None\n"
            "A3 c ('https://example.com/c', None, None, None)\n"
            "A4 https://example.com/new?a=1&b=2 ('https://example.com/new?a=1&b=2', None, None, None)\n"
            "B1 keep ('https://example.com/keep', None, 'kept', None)\n"
            "B2 inside (None, \"'Links'!A1\", None, 'inside')\n"
            "A2\n"
            "0.5 0.75 1.0 landscape 9 None None 0 True\n"
            "True True None\n"
            "New <title> Even Page &P\n"
            "['https://example.com/c', 'https://example.com/keep', 'https://example.com/new?a=1&amp;b=2']\n");

  // Loaded again, the workbook holds what it saved.
  auto again = xl::memory::CreateApplication();
  auto& read = dynamic_cast<xl::memory::FileSheet&>(Load(*again, dir / "links.xlsx").Sheets().Item(1));
  const SheetLayout back = ReadLayout(read);
  ASSERT_EQ(back.hyperlinks.size(), saved.hyperlinks.size());
  for (std::size_t i = 0; i < back.hyperlinks.size(); ++i) {
    EXPECT_EQ(back.hyperlinks[i].cell, saved.hyperlinks[i].cell);
    EXPECT_EQ(back.hyperlinks[i].link.Address, saved.hyperlinks[i].link.Address);
    EXPECT_EQ(back.hyperlinks[i].link.SubAddress, saved.hyperlinks[i].link.SubAddress);
    EXPECT_EQ(back.hyperlinks[i].link.TextToDisplay, saved.hyperlinks[i].link.TextToDisplay);
  }
  const xl::PageSetup& p = back.pageSetup;
  EXPECT_EQ(p.LeftMargin, 36);
  EXPECT_EQ(p.Zoom, Variant(false));
  EXPECT_EQ(p.FitToPagesWide, Variant(1.0));
  EXPECT_EQ(p.FitToPagesTall, Variant(false));
  EXPECT_TRUE(p.CenterHorizontally);
  EXPECT_EQ(p.CenterHeader, u"New <title>");
  EXPECT_EQ(p.RightFooter, u"Page &P");
}

// A link the file holds over an area is the link of each of its cells that holds a value
// (and of its first cell), however large the area. When the run changes one cell's link,
// the rest of the area keeps the old link without overlapping the new one; an area whose
// cells the run left alone stays as written, empty cells and all.
TEST_F(Xlsx, LinksHeldOverAnAreaBelongToEachOfItsCells) {
  if (!HaveOpenpyxl()) GTEST_SKIP() << "no python3-openpyxl";
  ASSERT_EQ(RunOpenpyxl(dir.Path(), R"py(
import re, zipfile
wb = openpyxl.Workbook()
ws = wb.active
for r in range(1, 4):
    ws.cell(r, 1, "a%d" % r)
    ws.cell(r, 3, "c%d" % r)
ws["E2"] = "e2"
ws["XFD1048576"] = "far"
ws["E1"].hyperlink = "https://example.com/e"
ws["A1"].hyperlink = "https://example.com/a"
ws["A1"].hyperlink.tooltip = "tip"
ws["C1"].hyperlink = "https://example.com/c"
wb.save("first.xlsx")
src = zipfile.ZipFile("first.xlsx")
for name, e in (("areas.xlsx", "E1:F9"), ("whole.xlsx", "E1:XFD1048576")):
    with zipfile.ZipFile(name, "w") as z:
        for n in src.namelist():
            data = src.read(n)
            if n == "xl/worksheets/sheet1.xml":
                text = data.decode()
                text = re.sub(r'(<hyperlink [^>]*ref=")A1"', r'\1A1:A3"', text)
                text = re.sub(r'(<hyperlink [^>]*ref=")C1"', r'\1C1:C50"', text)
                text = re.sub(r'(<hyperlink [^>]*ref=")E1"', r'\1' + e + '"', text)
                data = text.encode()
            z.writestr(n, data)
)py"),
            "");
  const auto linkCells = [](xl::memory::FileSheet& sheet) {
    std::vector<std::string> cells;
    for (const auto& [pos, link] : sheet.HyperlinkCells()) {
      cells.push_back(xlsx::CellRef(pos.row, pos.col) + " " + ToUtf8(link.Address));
    }
    return cells;
  };
  const std::vector<std::string> areaCells{
      "A1 https://example.com/a", "C1 https://example.com/c", "E1 https://example.com/e", "A2 https://example.com/a",
      "C2 https://example.com/c", "E2 https://example.com/e", "A3 https://example.com/a", "C3 https://example.com/c"};
  // Over the whole sheet from E1: the cells that hold a value, not the billions between.
  for (const char* name : {"whole.xlsx", "areas.xlsx"}) {
    xl::memory::FileBook& book = Load(*app, dir / name);
    auto& sheet = dynamic_cast<xl::memory::FileSheet&>(book.Sheets().Item(1));
    std::vector<std::string> expected = areaCells;
    if (name == std::string("whole.xlsx")) expected.push_back("XFD1048576 https://example.com/e");
    EXPECT_EQ(linkCells(sheet), expected) << name;
    sheet.AddHyperlink(sheet.Range(u"A2"), u"https://example.com/new");
    SaveXlsx(book, dir / name, notes);
  }
  EXPECT_EQ(RunOpenpyxl(dir.Path(), R"py(
import re, zipfile
for name in ("whole.xlsx", "areas.xlsx"):
    sheet = zipfile.ZipFile(name).read("xl/worksheets/sheet1.xml").decode()
    print(sorted(re.findall(r'<hyperlink [^>]*ref="([^"]*)"', sheet)))
ws = openpyxl.load_workbook("areas.xlsx").active
for c in ("A1", "A2", "A3", "C3", "C4", "C50", "F9"):
    h = ws[c].hyperlink  # openpyxl shows an empty cell's link as its value: not printed
    print(c, ws[c].value if c[0] == "A" or c == "C3" else "-", None if h is None else (h.target, h.tooltip))
)py"),
            "['A1', 'A2', 'A3', 'C1:C50', 'E1:XFD1048576']\n"
            "['A1', 'A2', 'A3', 'C1:C50', 'E1:F9']\n"
            "A1 a1 ('https://example.com/a', 'tip')\n"
            "A2 a2 ('https://example.com/new', 'tip')\n"
            "A3 a3 ('https://example.com/a', 'tip')\n"
            "C3 c3 ('https://example.com/c', None)\n"
            "C4 - ('https://example.com/c', None)\n"
            "C50 - ('https://example.com/c', None)\n"
            "F9 - ('https://example.com/e', None)\n");
}

// Links and the page set-up put on a sheet that had none, and taken off again: the
// elements and relationships come and go whole.
TEST_F(Xlsx, HyperlinksAndPageSetUpComeAndGoWhole) {
  if (!HaveOpenpyxl()) GTEST_SKIP() << "no python3-openpyxl";
  ASSERT_EQ(RunOpenpyxl(dir.Path(), R"py(
wb = openpyxl.Workbook()
wb.active["A1"] = "plain"
wb.save("plain.xlsx")
)py"),
            "");
  {
    xl::memory::FileBook& book = Load(*app, dir / "plain.xlsx");
    auto& sheet = dynamic_cast<xl::memory::FileSheet&>(book.Sheets().Item(1));
    sheet.AddHyperlink(sheet.Range(u"A1"), u"https://example.com/");
    sheet.AddHyperlink(sheet.Range(u"A2"), u"", u"Sheet!A1", u"back");
    xl::PageSetup page = sheet.GetPageSetup();
    page.Zoom = 75.0;
    page.CenterVertically = true;
    page.LeftFooter = u"left";
    sheet.SetPageSetup(page);
    SaveXlsx(book, dir / "plain.xlsx", notes);
  }
  EXPECT_EQ(RunOpenpyxl(dir.Path(), R"py(
ws = openpyxl.load_workbook("plain.xlsx").active
for c in ("A1", "A2"):
    h = ws[c].hyperlink
    print(c, h.target, h.location, h.display)
print(ws.page_setup.scale, ws.print_options.verticalCentered, ws.oddFooter.left.text, ws.oddHeader.center.text)
)py"),
            "A1 https://example.com/ None None\nA2 None Sheet!A1 back\n75 True left None\n");
  {
    auto again = xl::memory::CreateApplication();
    xl::memory::FileBook& book = Load(*again, dir / "plain.xlsx");
    auto& sheet = dynamic_cast<xl::memory::FileSheet&>(book.Sheets().Item(1));
    // Deleting their column is how the model takes links off cells (a save over the file
    // then stops: see ASaveOverAFileWhoseColumnsMovedStops).
    sheet.DeleteColumns(1, 1);
    xl::PageSetup page = sheet.GetPageSetup();
    page.Zoom = 100.0;
    page.CenterVertically = false;
    page.LeftFooter = u"";
    sheet.SetPageSetup(page);
    SaveXlsx(book, dir / "gone.xlsx", notes);
  }
  EXPECT_EQ(RunOpenpyxl(dir.Path(), R"py(
import zipfile
z = zipfile.ZipFile("gone.xlsx")
sheet = z.read("xl/worksheets/sheet1.xml").decode()
print([e for e in ("hyperlink", "printOptions", "headerFooter", "scale=") if e in sheet])
rels = "xl/worksheets/_rels/sheet1.xml.rels"
print(rels in z.namelist() and "hyperlink" in z.read(rels).decode())
)py"),
            "[]\nFalse\n");
}

// Comments the run changed are written into the package: the element and the note
// shape of a comment the run left as it was stay as written (its author and text runs,
// its place), a changed or added one gets new ones, a removed one goes, and shapes of
// other kinds in the same drawing (a form control) stay. A sheet that had none gets a
// comments part and a drawing with their relationships and content types; a sheet that
// loses all its comments loses both, leaving nothing that leads to them.
TEST_F(Xlsx, ChangedCommentsAreWrittenIntoThePackage) {
  if (!HaveOpenpyxl()) GTEST_SKIP() << "no python3-openpyxl";
  ASSERT_EQ(RunOpenpyxl(dir.Path(), R"py(
import re, shutil, zipfile
from openpyxl.comments import Comment
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Notes"
for cell, text, author in (("A1", "kept as it is", "Ann"), ("B2", "to change", "Bob"), ("C3", "to remove", "Cy")):
    ws[cell] = cell
    ws[cell].comment = Comment(text, author)
wb.create_sheet("Plain")["A1"] = "no notes"
only = wb.create_sheet("Only")
only["A1"] = "x"
only["A1"].comment = Comment("the only one", "Dee")
wb.save("notes.xlsx")
# A check box in the drawing of the first sheet's notes.
z = zipfile.ZipFile("notes.xlsx")
parts = {n: z.read(n) for n in z.namelist()}
rels = parts["xl/worksheets/_rels/sheet1.xml.rels"].decode()
vml = re.search(r'/vmlDrawing" Target="/?([^"]*)"', rels).group(1)
box = ('<v:shape xmlns:v="urn:schemas-microsoft-com:vml" id="_x0000_s3001" type="#_x0000_t201" '
       'style="position:absolute;width:60pt;height:15pt"><x:ClientData xmlns:x="urn:schemas-microsoft-com:office:excel" '
       'ObjectType="Checkbox"><x:Anchor>5, 0, 5, 0, 6, 0, 6, 0</x:Anchor></x:ClientData></v:shape>')
parts[vml] = parts[vml].replace(b"</xml>", box.encode() + b"</xml>")
with zipfile.ZipFile("notes.xlsx", "w", zipfile.ZIP_DEFLATED) as out:
    for n, data in parts.items():
        out.writestr(n, data)
shutil.copy("notes.xlsx", "before.xlsx")
)py"),
            "");
  xl::memory::FileBook& book = Load(*app, dir / "notes.xlsx");
  xl::Worksheet& notesSheet = book.Sheets().Item(u"Notes");
  xl::CommentData changed = *notesSheet.CellComment(2, 2);
  changed.text = u"changed <&>";
  notesSheet.SetCellComment(2, 2, changed);
  notesSheet.SetCellComment(3, 3, std::nullopt);
  notesSheet.SetCellComment(4, 4, xl::CommentData{.text = u"added", .visible = true});
  book.Sheets().Item(u"Plain").SetCellComment(1, 1, xl::CommentData{.text = u"new note"});
  book.Sheets().Item(u"Only").SetCellComment(1, 1, std::nullopt);
  SaveXlsx(book, dir / "notes.xlsx", notes);
  EXPECT_TRUE(notes.empty()) << notes.front();

  EXPECT_EQ(RunOpenpyxl(dir.Path(), R"py(
import re, zipfile
wb = openpyxl.load_workbook("notes.xlsx")
for sheet, cell in (("Notes", "A1"), ("Notes", "B2"), ("Notes", "C3"), ("Notes", "D4"), ("Plain", "A1"), ("Only", "A1")):
    c = wb[sheet][cell].comment
    print(sheet, cell, None if c is None else (c.text, c.author))
def part(z, name):
    return z.read(name).decode()
def target(z, sheet, kind):
    rels = "xl/worksheets/_rels/%s.xml.rels" % sheet
    if rels not in z.namelist():
        return None
    m = re.search(r'Type="[^"]*/%s" Target="([^"]*)"' % kind, part(z, rels))
    return m and "xl/" + m.group(1).replace("../", "").lstrip("/").replace("xl/", "")
old, new = zipfile.ZipFile("before.xlsx"), zipfile.ZipFile("notes.xlsx")
first = lambda text, pattern: re.search(pattern, text, re.S).group(0)
kept = r'<comment ref="A1".*?</comment>'
print(first(part(old, target(old, "sheet1", "comments")), kept) == first(part(new, target(new, "sheet1", "comments")), kept))
vml = part(new, target(new, "sheet1", "vmlDrawing"))
shape = r'<(\w+):shape [^>]*>(?:(?!</\1:shape>).)*<(\w+):Row>0</\2:Row>\s*<\2:Column>0</\2:Column>.*?</\1:shape>'
print(first(part(old, target(old, "sheet1", "vmlDrawing")), shape) == first(vml, shape))
print("ObjectType=\"Checkbox\"" in vml, vml.count("ObjectType=\"Note\""), re.search(r"<\w+:Row>2</", vml) is not None)
blocks = [int(b) for b in re.search(r'idmap [^>]*data="([^"]*)"', vml).group(1).split(",")]
ids = [int(i) for i in re.findall(r'<\w+:shape [^>]*id="_x0000_s(\d+)"[^>]*>(?:(?!</\w+:shape>).)*ObjectType="Note"', vml, re.S)]
print(len(set(ids)) == len(ids) == 3, all(i // 1024 in blocks for i in ids))
print(target(new, "sheet2", "comments") is not None, "legacyDrawing" in part(new, "xl/worksheets/sheet2.xml"))
print(target(new, "sheet3", "comments"), target(new, "sheet3", "vmlDrawing"), "legacyDrawing" in part(new, "xl/worksheets/sheet3.xml"))
print(sorted(n for n in new.namelist() if "comments" in n or n.endswith(".vml")))
types = part(new, "[Content_Types].xml")
print([n for n in new.namelist() if '"/%s"' % n not in types and 'Extension="%s"' % n.rsplit(".", 1)[-1] not in types])
)py"),
            "Notes A1 ('kept as it is', 'Ann')\n"
            "Notes B2 ('changed <&>', 'Bob')\n"
            "Notes C3 None\n"
            "Notes D4 ('added', 'Ann')\n"
            "Plain A1 ('new note', 'None')\n"  // a part of its own names no author
            "Only A1 None\n"
            "True\nTrue\n"
            "True 3 False\n"
            "True True\n"  // three notes, each id unused and inside a block idmap declares
            "True True\n"
            "None None False\n"
            "['xl/comments/comment1.xml', 'xl/comments1.xml', 'xl/drawings/commentsDrawing1.vml', "
            "'xl/drawings/vmlDrawing1.vml']\n"
            "[]\n");
}

TEST_F(Xlsx, ANewNoteNeverGoesIntoTheHeaderPictureDrawing) {
  if (!HaveOpenpyxl()) GTEST_SKIP() << "no python3-openpyxl";
  ASSERT_EQ(RunOpenpyxl(dir.Path(), R"py(
import zipfile
wb = openpyxl.Workbook()
wb.active["A1"] = "x"
wb.save("hf.xlsx")
z = zipfile.ZipFile("hf.xlsx")
parts = {n: z.read(n) for n in z.namelist()}
vml = ('<xml xmlns:v="urn:schemas-microsoft-com:vml" xmlns:o="urn:schemas-microsoft-com:office:office">'
       '<o:shapelayout v:ext="edit"><o:idmap v:ext="edit" data="1"/></o:shapelayout>'
       '<v:shape id="CH" o:spid="_x0000_s1025" type="#_x0000_t75" style="width:20pt;height:20pt">'
       '<v:imagedata o:relid="rId1" o:title="logo"/></v:shape></xml>')
parts["xl/drawings/vmlDrawingHF1.vml"] = vml.encode()
parts["xl/worksheets/_rels/sheet1.xml.rels"] = (
    '<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
    '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
    '<Relationship Id="rIdHF" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/vmlDrawing" '
    'Target="../drawings/vmlDrawingHF1.vml"/></Relationships>').encode()
sheet = parts["xl/worksheets/sheet1.xml"].decode()
sheet = sheet.replace("</worksheet>", '<headerFooter><oddHeader>&amp;C&amp;G</oddHeader></headerFooter>'
    '<legacyDrawingHF xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships" r:id="rIdHF"/>'
    "</worksheet>")
parts["xl/worksheets/sheet1.xml"] = sheet.encode()
types = parts["[Content_Types].xml"].decode()
parts["[Content_Types].xml"] = types.replace("<Default ", '<Default Extension="vml" '
    'ContentType="application/vnd.openxmlformats-officedocument.vmlDrawing"/><Default ', 1).encode()
with zipfile.ZipFile("hf.xlsx", "w", zipfile.ZIP_DEFLATED) as out:
    for n, data in parts.items():
        out.writestr(n, data)
)py"),
            "");
  xl::memory::FileBook& book = Load(*app, dir / "hf.xlsx");
  book.Sheets().Item(u"Sheet").SetCellComment(5, 3, xl::CommentData{.text = u"hello"});
  SaveXlsx(book, dir / "hf.xlsx", notes);
  EXPECT_TRUE(notes.empty()) << notes.front();

  EXPECT_EQ(RunOpenpyxl(dir.Path(), R"py(
import re, zipfile
z = zipfile.ZipFile("hf.xlsx")
part = lambda name: z.read(name).decode()
sheet, rels = part("xl/worksheets/sheet1.xml"), part("xl/worksheets/_rels/sheet1.xml.rels")
print("Note" in part("xl/drawings/vmlDrawingHF1.vml"), re.findall(r"<(legacyDrawing\w*) ", sheet),
      re.search(r'<legacyDrawingHF [^>]*id="rIdHF"', sheet) is not None)
drawing = re.search(r'Id="%s"[^>]*Target="([^"]*)"' % re.search(r'<legacyDrawing [^>]*id="(\w+)"', sheet).group(1), rels)
note = part("xl/drawings/" + drawing.group(1).rsplit("/", 1)[-1])
print(note.count('ObjectType="Note"'), re.search(r"<x:Row>4</x:Row>\s*<x:Column>2</x:Column>", note) is not None)
print(openpyxl.load_workbook("hf.xlsx")["Sheet"]["C5"].comment.text)
)py"),
            "False ['legacyDrawing', 'legacyDrawingHF'] True\n"
            "1 True\n"
            "hello\n");
}

TEST_F(Xlsx, AChangedFontPropertyKeepsTheRestOfTheFont) {
  if (!HaveOpenpyxl()) GTEST_SKIP() << "no python3-openpyxl";
  ASSERT_EQ(RunOpenpyxl(dir.Path(), R"py(
from openpyxl.styles import Font
from openpyxl.styles.colors import Color
wb = openpyxl.Workbook()
ws = wb.active
for r in range(1, 4):
    ws.cell(r, 1, "x%d" % r).font = Font(name="Courier New", sz=16, i=True, color=Color(theme=4))
ws["A3"].font = Font(name="Courier New", sz=16, i=True, b=True, color="FF123456")
wb.save("font.xlsx")
)py"),
            "");
  xl::memory::FileBook& book = Load(*app, dir / "font.xlsx");
  xl::Worksheet& s = book.Sheets().Item(u"Sheet");
  s.Range(u"A1").Font().SetBold(true);
  s.Range(u"A2").Font().SetUnderline(xl::xlUnderlineStyleSingle);
  s.Range(u"A3").Font().SetColorIndex(3);  // red: the only property replaced
  SaveXlsx(book, dir / "font.xlsx", notes);
  EXPECT_EQ(RunOpenpyxl(dir.Path(), R"py(
wb = openpyxl.load_workbook("font.xlsx")
for c in ("A1", "A2", "A3"):
    f = wb.active[c].font
    print(c, f.name, f.sz, f.i, f.b, f.u, f.color.theme if f.color.type == "theme" else f.color.rgb)
)py"),
            "A1 Courier New 16.0 True True None 4\n"
            "A2 Courier New 16.0 True False single 4\n"
            "A3 Courier New 16.0 True True None FFFF0000\n");
}

// A sheet protection the run changes keeps its password and the options not modelled
// here; only formatCells follows the run.
TEST_F(Xlsx, AChangedSheetProtectionKeepsItsPasswordAndOptions) {
  if (!HaveOpenpyxl()) GTEST_SKIP() << "no python3-openpyxl";
  ASSERT_EQ(RunOpenpyxl(dir.Path(), R"py(
wb = openpyxl.Workbook()
ws = wb.active
ws["A1"] = 1
ws.protection.sheet = True
ws.protection.password = "secret"
ws.protection.sort = False
ws.protection.insertRows = False
wb.save("locked.xlsx")
)py"),
            "");
  const std::string hash = RunOpenpyxl(dir.Path(), R"py(
print(openpyxl.load_workbook("locked.xlsx").active.protection.password)
)py");
  xl::memory::FileBook& book = Load(*app, dir / "locked.xlsx");
  book.Sheets().Item(u"Sheet").Protect({.AllowFormattingCells = true});
  SaveXlsx(book, dir / "locked.xlsx", notes);
  EXPECT_EQ(RunOpenpyxl(dir.Path(), R"py(
p = openpyxl.load_workbook("locked.xlsx").active.protection
print(p.password)
print(p.sheet, p.formatCells, p.sort, p.insertRows, p.deleteRows)
)py"),
            hash + "True False False False True\n");
}

// Defined names the run did not change are written as the file had them; those the
// workbook does not hold stay unless the run made or deleted a name of that name.
TEST_F(Xlsx, DefinedNamesTheRunDidNotChangeAreKeptAsTheyStood) {
  const std::string book =
      R"(<workbook xmlns:r="r"><sheets><sheet name="Data" sheetId="1" r:id="rId1"/></sheets><definedNames>)"
      R"(<definedName name="Kept" comment="why" function="0">Data!A1</definedName>)"
      R"(<definedName name="Broken" description="old">#REF!</definedName>)"
      R"(<definedName name="Moved" comment="was B2">Data!$B$2</definedName>)"
      R"(<definedName name="Dropped">Data!$A$2</definedName>)"
      R"(<definedName name="Local" localSheetId="0" vbProcedure="0">Data!$C$1</definedName>)"
      R"(<definedName name="half">0.5</definedName></definedNames></workbook>)";
  WriteText(dir / "names.xlsx",
            Workbook(book, {Sheet(R"(<sheetData><row r="1"><c r="A1"><v>1</v></c></row></sheetData>)")}));
  xl::memory::FileBook& b = Load(*app, dir / "names.xlsx");
  xl::Worksheet& s = b.Sheets().Item(u"Data");
  b.Names().Add(u"Moved", s.Range(u"C3"));
  b.Names().Item(u"Dropped").Delete();
  b.Names().Add(u"Added", s.Range(u"D4"));
  SaveXlsx(b, dir / "names.xlsx", notes);
  const std::string xml = xlsx::ZipArchive(ReadText(dir / "names.xlsx")).Read("xl/workbook.xml");
  const std::string names = xml.substr(xml.find("<definedNames>"));
  EXPECT_EQ(names.substr(0, names.find("</definedNames>")),
            R"(<definedNames><definedName name="Kept" comment="why" function="0">Data!A1</definedName>)"
            R"(<definedName name="Broken" description="old">#REF!</definedName>)"
            R"(<definedName name="Moved">Data!$C$3</definedName>)"
            R"(<definedName name="Local" localSheetId="0" vbProcedure="0">Data!$C$1</definedName>)"
            R"(<definedName name="half">0.5</definedName>)"
            R"(<definedName name="Added">Data!$D$4</definedName>)");
}

// Columns inserted or deleted on a sheet of the file leave what the file holds of it by
// position (style records, a table) where it was: a save over the file stops before
// writing and names the sheet; a save to another name goes on with a note. A sheet the
// run made is not concerned.
TEST_F(Xlsx, ASaveOverAFileWhoseColumnsMovedStops) {
  if (!HaveOpenpyxl()) GTEST_SKIP() << "no python3-openpyxl";
  ASSERT_EQ(RunOpenpyxl(dir.Path(), R"py(
from openpyxl.worksheet.table import Table
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Parts"
ws.append(["Ref", "Count"])
ws.append(["R1", 1])
ws.add_table(Table(displayName="Tbl", ref="A1:B2"))
wb.create_sheet("Other")["A1"] = "x"
wb.save("book.xlsx")
)py"),
            "");
  const std::string before = ReadText(dir / "book.xlsx");
  xl::memory::FileBook& book = Load(*app, dir / "book.xlsx");
  xl::Worksheet& made = book.Sheets().Add({});
  made.InsertColumns(1, 1);
  SaveXlsx(book, dir / "made.xlsx", notes);  // only a sheet the run made moved
  EXPECT_EQ(notes, Notes{});
  book.Sheets().Item(u"Parts").DeleteColumns(1, 1);
  const std::string refused = FailureOf([&] { SaveXlsx(book, dir / "book.xlsx", notes); });
  EXPECT_NE(refused.find("cannot save over"), std::string::npos) << refused;
  EXPECT_NE(refused.find("the columns of sheet 'Parts' were inserted or deleted"), std::string::npos) << refused;
  EXPECT_EQ(ReadText(dir / "book.xlsx"), before);
  SaveXlsx(book, dir / "copy.xlsx", notes);
  ASSERT_EQ(notes.size(), 1U);
  EXPECT_NE(notes[0].find("copy.xlsx': the columns of sheet 'Parts' were inserted or deleted"), std::string::npos)
      << notes[0];
  EXPECT_TRUE(fs::exists(dir / "copy.xlsx"));
}

// A workbook saved over an xlsx file it was not loaded from would replace what the file
// holds: the save stops before writing and names each thing; the file stays as it was.
TEST_F(Xlsx, ASaveOverAnotherFileStopsBeforeLosingWhatItHolds) {
  if (!HaveOpenpyxl()) GTEST_SKIP() << "no python3-openpyxl";
  ASSERT_EQ(RunOpenpyxl(dir.Path(), R"py(
from openpyxl.styles import Font, PatternFill
from openpyxl.styles.colors import Color
from openpyxl.worksheet.table import Table
wb = openpyxl.Workbook()
ws = wb.active
ws.title = "Parts"
ws.append(["Ref", "Count"])
ws.append(["R1", 1])
ws.freeze_panes = "A2"
ws["A1"].fill = PatternFill("solid", fgColor=Color(theme=4))
ws["A2"].font = Font(italic=True)
ws.add_table(Table(displayName="Parts", ref="A1:B2"))
ws.sheet_view.zoomScale = 150
plain = wb.create_sheet("Plain")
plain["A1"] = "plain"
plain.sheet_view.zoomScale = 100
wb.save("rich.xlsx")
)py"),
            "");
  const std::string before = ReadText(dir / "rich.xlsx");
  xl::memory::FileBook& book = app->AddWorkbook(xl::memory::GridSize::Large);
  book.Sheets().Item(1).Range(u"A1").SetValue(u"other");
  const std::string message = FailureOf([&] { SaveXlsx(book, dir / "rich.xlsx", notes); });
  for (const char* lost :
       {"cannot save over '", "tables", "theme colours of fills", "italic and struck-through fonts",
        "frozen or split panes (sheet 'Parts')", "the zoom (sheet 'Parts')", "Save to another name"}) {
    EXPECT_NE(message.find(lost), std::string::npos) << lost << " in: " << message;
  }
  EXPECT_EQ(message.find("sheet 'Plain'"), std::string::npos) << message;  // its zoom is the usual 100%
  EXPECT_EQ(ReadText(dir / "rich.xlsx"), before);
  EXPECT_EQ(testing::Listing(dir.Path()), (std::vector<std::string>{"program.py", "rich.xlsx"}));
}

// A changed sheet keeps the elements of the cells the run did not change where they
// hold what the workbook does not model (rich text, array formulas and data tables,
// formulas calculated always, cell metadata, phonetic marks); a rich text the run
// changed is written as the plain text it now is, and the dependants of a shared
// formula whose first cell changed keep their formulas. A cell of an array formula or a
// data table the run changed stops a save over the file, naming the area; a save to
// another name goes on and notes it.
TEST_F(Xlsx, CellsTheRunDidNotChangeKeepTheirElements) {
  const std::string book =
      R"(<workbook xmlns:r="r"><sheets><sheet name="Data" sheetId="1" r:id="rId1"/></sheets></workbook>)";
  const std::vector<std::string> kept = {
      R"(<c r="A1" t="inlineStr"><is><r><rPr><b/></rPr><t>bold</t></r><r><t> plain</t></r></is></c>)",
      R"(<c r="B1" cm="1"><f t="array" ref="B1:B2">A3:A4</f><v>3</v></c>)",
      R"(<c r="C1" t="inlineStr" ph="1"><is><t>kana</t><rPh sb="0" eb="1"><t>k</t></rPh></is></c>)",
      R"(<c r="D1"><f ca="1">RAND()</f><v>0.5</v></c>)",
      R"(<c r="E1" t="e" vm="1"><v>#VALUE!</v></c>)",
      R"(<c r="G1"><f t="dataTable" ref="G1:G2" dt2D="0" dtr="0" r1="A3"/><v>7</v></c>)",
  };
  std::string row1;
  for (const std::string& c : kept) row1 += c;
  row1 += R"(<c r="F1" t="inlineStr"><is><r><rPr><i/></rPr><t>old</t></r></is></c>)"
          R"(<c r="H1"><f t="shared" ref="H1:H2" si="0">A3*2</f><v>6</v></c>)";
  WriteText(dir / "held.xlsx",
            Workbook(book, {Sheet("<sheetData><row r=\"1\">" + row1 +
                                  R"(</row><row r="2"><c r="B2"><v>4</v></c><c r="G2"><v>8</v></c>)"
                                  R"(<c r="H2"><f t="shared" si="0"/><v>8</v></c></row>)"
                                  R"(<row r="3"><c r="A3"><v>3</v></c></row><row r="4"><c r="A4"><v>4</v></c></row>)"
                                  "</sheetData>")}));
  xl::memory::FileBook& b = Load(*app, dir / "held.xlsx");
  xl::Worksheet& s = b.Sheets().Item(u"Data");
  s.Range(u"F1").SetValue(u"new");
  s.Range(u"H1").SetFormula(u"=A3*3");
  s.Range(u"J1").SetValue(1.0);
  SaveXlsx(b, dir / "held.xlsx", notes);
  EXPECT_TRUE(notes.empty());
  const std::string saved = xlsx::ZipArchive(ReadText(dir / "held.xlsx")).Read("xl/worksheets/sheet1.xml");
  for (const std::string& c : kept) EXPECT_NE(saved.find(c), std::string::npos) << c << " in " << saved;
  EXPECT_NE(saved.find(R"(<c r="F1" t="inlineStr"><is><t>new</t></is></c>)"), std::string::npos) << saved;
  EXPECT_NE(saved.find(R"(<c r="H2"><f>A4*2</f><v>8</v></c>)"), std::string::npos) << saved;
  auto again = xl::memory::CreateApplication();
  xl::Worksheet& read = Load(*again, dir / "held.xlsx").Sheets().Item(u"Data");
  EXPECT_EQ(read.Range(u"H2").Formula(), Text(u"=A4*2"));
  EXPECT_EQ(read.Range(u"A1").Value(), Variant(u"bold plain"));

  // A cell of each area changed: the save over the file stops, naming both areas.
  for (const char16_t* cell : {u"B2", u"G2"}) read.Range(cell).SetValue(9.0);
  const std::string before = ReadText(dir / "held.xlsx");
  const std::string message = FailureOf([&] { SaveXlsx(read.Parent(), dir / "held.xlsx", notes); });
  for (const char* named :
       {"cannot save over '", "cells changed by the run in the array formula B1:B2 (sheet 'Data')",
        "cells changed by the run in the data table G1:G2 (sheet 'Data')", "Save to another name"}) {
    EXPECT_NE(message.find(named), std::string::npos) << named << " in: " << message;
  }
  EXPECT_EQ(ReadText(dir / "held.xlsx"), before);
  SaveXlsx(read.Parent(), dir / "copy.xlsx", notes);
  ASSERT_EQ(notes.size(), 1U);
  EXPECT_NE(notes.front().find("array formula B1:B2 (sheet 'Data')"), std::string::npos) << notes.front();
}

// A kept cell whose format alone the run changed keeps its element with the new style
// record; a cell that only names a shared formula whose master is written anew is
// written with its own formula, while one whose master is kept stays as it was.
TEST_F(Xlsx, KeptCellsTakeANewFormatAndLoseNoSharedMaster) {
  const std::string styles = TwoStyles("<i/>");
  WriteText(dir / "fmt.xlsx",
            StyledBook(styles,
                       R"(<row r="1"><c r="A1" t="inlineStr"><is><r><rPr><b/></rPr><t>bold</t></r>)"
                       R"(<r><t> plain</t></r></is></c><c r="B1" cm="1"><f t="array" ref="B1:B2">A3:A4</f><v>3</v></c>)"
                       R"(<c r="C1" s="1"><f ca="1">RAND()</f><v>0.5</v></c>)"
                       R"(<c r="H1"><f t="shared" ref="H1:H2" si="0" ca="1">A3*2+RAND()*0</f><v>6</v></c>)"
                       R"(<c r="I1"><f t="shared" ref="I1:I2" si="1" ca="1">A3+RAND()*0</f><v>3</v></c></row>)"
                       R"(<row r="2"><c r="B2"><v>4</v></c><c r="H2"><f t="shared" si="0" ca="1"/><v>8</v></c>)"
                       R"(<c r="I2"><f t="shared" si="1" ca="1"/><v>4</v></c></row>)"
                       R"(<row r="3"><c r="A3"><v>3</v></c></row><row r="4"><c r="A4"><v>4</v></c></row>)"));
  xl::memory::FileBook& b = Load(*app, dir / "fmt.xlsx");
  xl::Worksheet& s = b.Sheets().Item(u"S");
  s.SetFormat({1, 1, 1, 2}, xl::FormatKey::FontBold, true);
  s.Range(u"H1").SetValue(7.0);
  SaveXlsx(b, dir / "fmt.xlsx", notes);
  const std::string saved = xlsx::ZipArchive(ReadText(dir / "fmt.xlsx")).Read("xl/worksheets/sheet1.xml");
  for (const std::string& c :
       {std::string(
            R"(<c r="A1" t="inlineStr" s="2"><is><r><rPr><b/></rPr><t>bold</t></r><r><t> plain</t></r></is></c>)"),
        std::string(R"(<c r="B1" cm="1" s="2"><f t="array" ref="B1:B2">A3:A4</f><v>3</v></c>)"),
        std::string(R"(<c r="C1" s="1"><f ca="1">RAND()</f><v>0.5</v></c>)"),
        std::string(R"(<c r="H2"><f>A4*2+RAND()*0</f>)"),
        std::string(R"(<c r="I1"><f t="shared" ref="I1:I2" si="1" ca="1">A3+RAND()*0</f><v>3</v></c>)"),
        std::string(R"(<c r="I2"><f t="shared" si="1" ca="1"/><v>4</v></c>)")}) {
    EXPECT_NE(saved.find(c), std::string::npos) << c << " in " << saved;
  }
  EXPECT_EQ(saved.find(R"(si="0")"), std::string::npos) << saved;
  auto again = xl::memory::CreateApplication();
  xl::Worksheet& read = Load(*again, dir / "fmt.xlsx").Sheets().Item(u"S");
  EXPECT_EQ(read.GetFormat({1, 2, 1, 2}, xl::FormatKey::FontBold), Variant(true));
  EXPECT_EQ(read.Range(u"H2").Formula(), Text(u"=A4*2+RAND()*0"));
  EXPECT_EQ(read.Range(u"I2").Formula(), Text(u"=A4+RAND()*0"));
}

// A run that changes some columns writes the cols element again from the file's own:
// each col keeps the attributes the workbook does not model and, where the run left
// them, its width as written, hidden state and style record; a range the run changed
// part of is split, and columns of one element the run made equal are written as one.
// A new cell in a column with a style record of its own starts from that record.
TEST_F(Xlsx, ChangedColumnsKeepWhatTheFileHoldsOfThem) {
  const std::string styles = TwoStyles("<i/>");
  const std::string cols =
      R"(<cols><col min="1" max="4" width="13.7109375" customWidth="1" outlineLevel="1" bestFit="1" r:own="x"/>)"
      R"(<col min="5" max="5" width="9.140625" style="1" phonetic="1"/>)"
      R"(<col min="6" max="8" width="20.5" customWidth="1" hidden="1" outlineLevel="2" collapsed="1"/>)"
      R"(<col min="9" max="9" width="11" customWidth="1" style="1"/></cols>)";
  WriteText(dir / "cols.xlsx",
            StyledBook(styles, R"(<row r="1"><c r="A1"><v>1</v></c></row>)", "worksheets/sheet1.xml", cols));
  xl::memory::FileBook& b = Load(*app, dir / "cols.xlsx");
  xl::Worksheet& s = b.Sheets().Item(u"S");
  s.Range(u"B1:C1").EntireColumn().SetColumnWidth(30.0);
  s.Range(u"G1").EntireColumn().SetHidden(false);
  s.Range(u"I1").EntireColumn().Font().SetBold(true);
  s.Range(u"E2").SetValue(2.0);
  s.Range(u"I2").SetValue(3.0);
  SaveXlsx(b, dir / "cols.xlsx", notes);
  EXPECT_TRUE(notes.empty());
  const std::string bytes = ReadText(dir / "cols.xlsx");
  const xlsx::ZipArchive saved(bytes);
  const std::string sheetXml = saved.Read("xl/worksheets/sheet1.xml");
  const std::string bold = "2";  // the record made for column I: its own, made bold
  const std::string keptB = R"(customWidth="1" outlineLevel="1" bestFit="1" r:own="x"/>)";
  const std::string keptF = R"(customWidth="1" hidden="1" outlineLevel="2" collapsed="1"/>)";
  EXPECT_NE(
      sheetXml.find(R"(<cols><col min="1" max="1" width="13.7109375" )" + keptB + R"(<col min="2" max="3" width="30.)"),
      std::string::npos)
      << sheetXml;
  for (const std::string& col : {
           R"(<col min="4" max="4" width="13.7109375" )" + keptB,
           std::string(R"(<col min="5" max="5" width="9.140625" style="1" phonetic="1"/>)"),
           R"(<col min="6" max="6" width="20.5" )" + keptF,
           std::string(R"(<col min="7" max="7" width="20.5" customWidth="1" outlineLevel="2" collapsed="1"/>)"),
           R"(<col min="8" max="8" width="20.5" )" + keptF,
           R"(<col min="9" max="9" width="11" customWidth="1" style=")" + bold + R"("/></cols>)",
           std::string(R"(<c r="E2" s="1"><v>2</v></c>)"),
           R"(<c r="I2" s=")" + bold + R"("><v>3</v></c>)",
       }) {
    EXPECT_NE(sheetXml.find(col), std::string::npos) << col << " in " << sheetXml;
  }
  const std::size_t b2 = sheetXml.find(R"(<col min="2" max="3")");
  EXPECT_NE(sheetXml.find(keptB, b2), std::string::npos) << sheetXml;
  // Column I's new record is made from its own: the font keeps its italic.
  const std::string stylesXml = saved.Read("xl/styles.xml");
  EXPECT_NE(stylesXml.find(R"(<font><b/><i/><sz val="11"/>)"), std::string::npos) << stylesXml;
  auto again = xl::memory::CreateApplication();
  xl::Worksheet& read = Load(*again, dir / "cols.xlsx").Sheets().Item(u"S");
  EXPECT_EQ(read.Range(u"B1").ColumnWidth(), Variant(30.0));
  EXPECT_EQ(read.Range(u"A1").ColumnWidth(), Variant(13.0));
  EXPECT_EQ(read.Range(u"G1").EntireColumn().Hidden(), Variant(false));
  EXPECT_EQ(read.Range(u"H1").EntireColumn().Hidden(), Variant(true));
}

// A column's style record is for the cells the file does not have: a cell of the file
// that names no record (or record 0) reads and saves with record 0, a new one takes the
// column's.
TEST_F(Xlsx, CellsOfAStyledColumnKeepTheirOwnRecord) {
  const std::string styles = TwoStyles("<b/>");
  WriteText(dir / "colstyle.xlsx",
            StyledBook(styles,
                       R"(<row r="1"><c r="A1"><v>0</v></c></row><row r="2"><c r="B2"><v>1</v></c></row>)"
                       R"(<row r="3"><c r="B3" s="0"><v>2</v></c></row><row r="4"><c r="B4" s="1"><v>3</v></c></row>)",
                       "worksheets/sheet1.xml", R"(<cols><col min="2" max="2" width="9" style="1"/></cols>)"));
  xl::memory::FileBook& b = Load(*app, dir / "colstyle.xlsx");
  xl::Worksheet& s = b.Sheets().Item(u"S");
  const struct {
    long row;
    Variant bold;
  } cases[] = {{2, Variant(false)}, {3, Variant(false)}, {4, Variant(true)}, {5, Variant(true)}};
  for (const auto& c : cases) EXPECT_EQ(s.GetFormat({c.row, 2, c.row, 2}, xl::FormatKey::FontBold), c.bold) << c.row;
  s.Range(u"A1").SetValue(u"changed");
  s.Range(u"B5").SetValue(4.0);
  SaveXlsx(b, dir / "colstyle.xlsx", notes);
  const std::string saved = xlsx::ZipArchive(ReadText(dir / "colstyle.xlsx")).Read("xl/worksheets/sheet1.xml");
  for (const char* c : {R"(<c r="B2"><v>1</v></c>)", R"(<c r="B3"><v>2</v></c>)", R"(<c r="B4" s="1"><v>3</v></c>)",
                        R"(<c r="B5" s="1"><v>4</v></c>)"}) {
    EXPECT_NE(saved.find(c), std::string::npos) << c << " in " << saved;
  }
  auto again = xl::memory::CreateApplication();
  xl::Worksheet& read = Load(*again, dir / "colstyle.xlsx").Sheets().Item(u"S");
  for (const auto& c : cases) EXPECT_EQ(read.GetFormat({c.row, 2, c.row, 2}, xl::FormatKey::FontBold), c.bold) << c.row;
}

// A part deflated a piece at a time reads back as it was made, however its pieces fall:
// within one piece (deflated at once, as a part given whole is), many pieces, pieces
// that end where the part ends (the last one empty), and data that does not shrink.
// A part given up halfway stops its threads.
TEST(PartDeflater, APartMadeAPieceAtATimeReadsBackWhole) {
  std::string rows;
  for (long r = 1; rows.size() < 200000; ++r) {
    rows += R"(<row r=")" + std::to_string(r) + R"("><c r="A)" + std::to_string(r) + R"(" t="inlineStr"><is><t>R)" +
            std::to_string(r * 7919 % 100003) + "</t></is></c></row>";
  }
  std::string noise(150000, '\0');
  std::uint32_t seed = 12345;
  for (char& c : noise) {
    seed = seed * 1103515245 + 12345;
    c = static_cast<char>(seed >> 24);
  }
  const std::string whole = rows.substr(0, 4000);
  struct Case {
    const char* what;
    const std::string& data;
    std::size_t piece, step;
  } const cases[] = {
      {"one piece", whole, 1 << 20, 700},
      {"many pieces", rows, 4096, 1000},
      {"pieces ending with the part", whole, 1000, 1000},
      {"noise", noise, 8192, 777},
  };
  for (const Case& c : cases) {
    xlsx::PartDeflater part(1, c.piece);
    for (std::size_t at = 0; at < c.data.size(); at += c.step) {
      part.Piece().append(c.data, at, c.step);
      part.FlushIfFull();
    }
    xlsx::DeflatedPart made = part.Finish("a.xml");
    xlsx::ZipWriter w;
    w.Add(made.entry, std::move(made.blocks));
    const std::string zip = w.Finish();
    EXPECT_EQ(xlsx::ZipArchive(zip).Read("a.xml"), c.data) << c.what;
    if (c.piece > c.data.size()) {
      xlsx::ZipWriter atOnce;
      atOnce.AddDeflated("a.xml", c.data, 1);
      EXPECT_EQ(zip, atOnce.Finish()) << c.what;
    }
  }
  xlsx::PartDeflater abandoned(1, 4096);
  for (int i = 0; i < 20; ++i) {
    abandoned.Piece().append(rows, static_cast<std::size_t>(i) * 5000, 5000);
    abandoned.FlushIfFull();
  }
}

// A package written in pieces has the digest of its bytes laid end to end, however
// they are cut (empty pieces, pieces shorter than a step of the digest, a word that
// runs over several pieces).
TEST(PackagePieces, ThePiecesDigestIsTheWholes) {
  std::string whole;
  for (int i = 0; i < 40; ++i) whole += std::to_string(i * 7919) + ",";
  const std::vector<std::vector<std::size_t>> cutsOf = {
      {}, {0}, {3}, {8}, {1, 2, 3, 4, 5}, {7, 9, 16, 17}, {5, 5, 13}, {whole.size()}};
  for (const std::vector<std::size_t>& cuts : cutsOf) {
    std::vector<std::string> pieces;
    std::size_t from = 0;
    for (const std::size_t cut : cuts) {
      pieces.push_back(whole.substr(from, cut - from));
      from = cut;
    }
    pieces.push_back(whole.substr(from));
    EXPECT_EQ(ContentDigest(pieces), ContentDigest(whole)) << cuts.size() << " cuts";
  }
  EXPECT_EQ(ContentDigest(std::vector<std::string>{"", ""}), ContentDigest(""));
}

// A sheet whose part spans many pieces comes back cell for cell.
TEST_F(Xlsx, ALargeSheetComesBackWhole) {
  xl::memory::FileBook& book = app->AddWorkbook(xl::memory::GridSize::Large);
  xl::Worksheet& sheet = book.Sheets().Item(1);
  constexpr long kRows = 30000;
  std::vector<Variant> values;
  for (long r = 1; r <= kRows; ++r) {
    if (r % 3 == 0) {
      values.emplace_back(static_cast<double>(r) / 4);
    } else {
      values.emplace_back(Text(u"R") + FromUtf8(std::to_string(r * 7919 % 100003)));
    }
  }
  sheet.WriteValues({1, 1, kRows, 1}, values);
  sheet.Range(u"B5000").SetValue(u"beside");
  SaveXlsx(book, dir / "large.xlsx", notes);
  auto reloaded = xl::memory::CreateApplication();
  xl::Worksheet& back = Load(*reloaded, dir / "large.xlsx").Sheets().Item(1);
  std::vector<Variant> read;
  back.ReadValues({1, 1, kRows, 1}, read);
  ASSERT_EQ(read.size(), values.size());
  const auto differs = std::mismatch(read.begin(), read.end(), values.begin()).first;
  EXPECT_EQ(differs - read.begin(), kRows) << "the first row read otherwise";
  EXPECT_EQ(back.CellValue(5000, 2), Variant(Text(u"beside")));
  EXPECT_TRUE(back.CellValue(kRows + 1, 1).IsEmpty());
}

// A save that fails leaves the old file as it was and nothing beside it.
TEST_F(Xlsx, FailedSaveLeavesTheOldFile) {
  xl::memory::FileBook& book = app->AddWorkbook(xl::memory::GridSize::Large);
  xl::Worksheet& sheet = book.Sheets().Item(1);
  sheet.Range(u"A1").SetValue(u"first");
  SaveXlsx(book, dir / "b.xlsx", notes);
  const std::string before = ReadText(dir / "b.xlsx");
  // The file format holds links of at most 2,079 characters.
  sheet.AddHyperlink(sheet.Range(u"A1"), Text(u"https://example.com/").append(Text(3000, u'x')));
  const std::string message = FailureOf([&] { SaveXlsx(book, dir / "b.xlsx", notes); });
  EXPECT_NE(message.find("the hyperlink of cell A1 is longer than the 2079 characters"), std::string::npos) << message;
  EXPECT_EQ(ReadText(dir / "b.xlsx"), before);
  std::vector<std::string> files;
  for (const auto& e : fs::directory_iterator(dir.Path())) files.push_back(e.path().filename().string());
  EXPECT_EQ(files, std::vector<std::string>{"b.xlsx"});
  EXPECT_NE(FailureOf([&] { SaveXlsx(book, dir / "nowhere" / "b.xlsx", notes); }).find("does not exist"),
            std::string::npos);
}

// A save over a file keeps its permissions, and a save through a link writes the file
// the link leads to and leaves the link as it is.
TEST_F(Xlsx, ASaveKeepsTheFilesPermissionsAndLinks) {
  xl::memory::FileBook& book = app->AddWorkbook(xl::memory::GridSize::Large);
  book.Sheets().Item(1).Range(u"A1").SetValue(u"first");
  const fs::path real = dir / "real.xlsx", link = dir / "link.xlsx";
  SaveXlsx(book, real, notes);
  fs::permissions(real, fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink("real.xlsx", link);
  book.Sheets().Item(1).Range(u"A1").SetValue(u"second");
  SaveXlsx(book, link, notes);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(fs::status(real).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  xl::memory::FileBook& back = Load(*app, real);
  EXPECT_EQ(back.Sheets().Item(1).Range(u"A1").Value(), Variant(u"second"));
  fs::remove(real);
  EXPECT_NE(FailureOf([&] { SaveXlsx(book, link, notes); }).find("leads to no file"), std::string::npos);
}

// A file that a killed save left beside the target goes with the next save; the file
// of a save under way in another process (which holds a lock on it) stays.
TEST_F(Xlsx, OnlyTheFilesOfEndedSavesAreRemoved) {
  xl::memory::FileBook& book = app->AddWorkbook(xl::memory::GridSize::Large);
  const fs::path killed = dir / ".b.xlsx.saving-AAAAAA.xlsx", live = dir / ".b.xlsx.saving-BBBBBB.xlsx";
  WriteText(killed, "left");
  WriteText(live, "being written");
  const int held = ::open(live.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(held, LOCK_EX), 0);
  SaveXlsx(book, dir / "b.xlsx", notes);
  EXPECT_FALSE(fs::exists(killed));
  EXPECT_EQ(ReadText(live), "being written");
  ::close(held);
  SaveXlsx(book, dir / "b.xlsx", notes);
  EXPECT_EQ(testing::Listing(dir.Path()), std::vector<std::string>{"b.xlsx"});
}

}  // namespace
}  // namespace quillary::workbook
