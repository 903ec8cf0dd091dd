// xlsx workbooks: read with liborcus's zip-free SAX parser over the parts that
// xlsx_zip.h inflates; saved into the package they were loaded from (xlsx_patch.cpp,
// a small empty one for a workbook made otherwise), with what the run changed written
// into it (xlsx_save.cpp saves the file).
//
// What is kept both ways: the sheets in order with their visibility (very hidden too),
// the active sheet, each sheet's selection and active cell, defined names of the
// workbook and of sheets (hidden ones too), workbook protection (structure, windows);
// values with their types (a text that looks like a number stays a text; booleans;
// error values), formulas with the values the file holds for them (one without a
// value is written without one), the 1904 date system; and each sheet's
// layout (sheet_layout.h): number formats, fonts (bold, colour, underline), fills,
// borders, alignment and wrap, the locked flag, column widths and row heights, hidden
// rows and columns, merged areas, comments (text, visibility, size, colour),
// hyperlinks, the auto-filter, sheet protection and its formatting option, and the page
// set-up (print area and titles, headers and footers, margins, zoom or fit to pages,
// centring).
//
// What is not: see xlsx.cpp's notes and README "xlsx workbooks".
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "platform/excel/excel.h"
#include "platform/excel/memory/memory.h"
#include "workbook/save_transaction.h"

namespace quillary::workbook {

// True when the path names an xlsx workbook (it ends in ".xlsx", in any case).
bool IsXlsxPath(const std::filesystem::path& path);
// True when the path names a workbook with macros (".xlsm"). It loads as any xlsx
// package does, whatever its name; a save to it keeps the macros of the package the
// workbook was loaded from, and is refused (MacroSaveRefusal) for a workbook without.
bool IsXlsmPath(const std::filesystem::path& path);
std::string MacroSaveRefusal(const std::filesystem::path& path);

// Opens a new workbook of `app` (it becomes the active one) from an xlsx file. Raises
// Failure naming the file and what is wrong: not a zip archive, an encrypted
// (password-protected) workbook, a damaged or cut-short archive, a part that would
// expand past the limits of xlsx_zip.h, XML that is not well-formed, or content the
// application refuses (a chart sheet too). Nothing is left open when it fails. Adds to
// `notes` what the file holds and the workbook cannot: defined names of constants or
// formulas.
xl::Workbook& LoadXlsx(xl::memory::MemoryApplication& app, const std::filesystem::path& file, Notes& notes);
// The same from the file's bytes (`name` names it in messages).
xl::Workbook& LoadXlsxData(xl::memory::MemoryApplication& app, std::string_view data, const std::string& name,
                           Notes& notes);

// Saves the workbook as an xlsx file: written to a new file beside `file`, which then
// takes its place in one step; when anything fails, what was at `file` stays as it was
// and Failure is raised. A workbook loaded from an xlsx file is written into that
// package: what the run did not change stays as the file had it. A save over the file
// the workbook was loaded from (or last saved to) that another program changed since
// stops before writing (source_stamp.h); a save over a file the workbook was not loaded
// from stops when the file holds what would be lost (UnwrittenIn), and a save over any
// file when the parts the run changed would lose what they hold beside what the
// workbook models (rich text runs of a sheet whose cells changed, say), naming each
// thing. Adds to `notes` what the file keeps otherwise than the workbook holds it (a
// print area of several areas, a repeated palette colour, the macros left out of a
// .xlsx file, what a save to another name lost so).
void SaveXlsx(xl::Workbook& book, const std::filesystem::path& file, Notes& notes);

// What the xlsx file holds that a save cannot write (charts, tables, frozen panes,
// conditional formats...), each named with its sheet; nothing for a file that is not
// an xlsx package.
std::vector<std::string> UnwrittenIn(const std::filesystem::path& file);
// Raises Failure when `target` is an xlsx file holding what a save cannot write, naming
// each thing; SaveXlsx calls it before writing.
void RefuseToLoseWhatTheFileHolds(const std::filesystem::path& target);
// The note for a workbook loaded from `source` and saved to `saved`, another file:
// what the new file lacks of the old one; "" when it lacks nothing.
std::string UnwrittenNote(const std::filesystem::path& source, const std::filesystem::path& saved);

}  // namespace quillary::workbook
