// A small xlsx package, as another program writes it, holding what the xlsx writer
// cannot write: a table part and a frozen pane on its one sheet "S" (A1 holds "x").
#pragma once

#include <string>

#include "workbook/xlsx_zip.h"

namespace quillary::workbook::testing {

inline std::string XlsxWithATableAndAFrozenPane() {
  const std::string rels = R"(<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">)";
  return xlsx::MakeZip(
      {{"_rels/.rels",
        rels + R"(<Relationship Id="rId1" Type="x/officeDocument" Target="xl/workbook.xml"/></Relationships>)"},
       {"xl/workbook.xml",
        R"(<workbook xmlns:r="r"><sheets><sheet name="S" sheetId="1" r:id="rId1"/></sheets></workbook>)"},
       {"xl/_rels/workbook.xml.rels",
        rels + R"(<Relationship Id="rId1" Type="x/worksheet" Target="worksheets/sheet1.xml"/></Relationships>)"},
       {"xl/worksheets/sheet1.xml",
        R"(<worksheet><sheetViews><sheetView><pane ySplit="1" state="frozen"/></sheetView></sheetViews>)"
        R"(<sheetData><row r="1"><c r="A1" t="inlineStr"><is><t>x</t></is></c></row></sheetData></worksheet>)"},
       {"xl/tables/table1.xml", "<table/>"}});
}

}  // namespace quillary::workbook::testing
