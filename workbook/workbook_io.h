// Workbook files: loading and saving a whole workbook in each of its formats.
//
// A workbook is a folder holding one CSV file per sheet (csv.h), a side file per sheet
// for what the CSV cannot hold (layout_file.h: formats, widths and heights, hidden rows
// and columns, merged areas, comments, hyperlinks, the auto-filter, page set-up,
// protection, and far cells), and a manifest, "workbook.txt", in the word syntax of
// words.h, one entry per line:
//
//   quillary-workbook 2                   first entry: marks the folder as a workbook
//                                         (folders of version 1 load too)
//   grid large|small                      1,048,576 x 16,384 or 65,536 x 256 cells
//   sheet NAME FILE VISIBLE               in sheet order; VISIBLE -1, 0 or 2 (very hidden)
//   select SHEET AREAS ACTIVECELL         a sheet's selection ("$A$1:$B$4,$D$2") and active cell
//   layout SHEET FILE                     the sheet's side file ("FILE.layout.txt" when saved)
//   active SHEET                          the active sheet
//   protect structure|windows...          the workbook's protection
//   name SHEET|* NAME REFERS [hidden]     a sheet-level name (or "*": workbook-level) and its
//                                         reference in R1C1 form ("=Sheet1!R1C1:R4C2")
//
// A cell's CSV field is what a user types to enter its value: numbers as the
// application writes them, TRUE and FALSE, an error value's text ("#N/A"), a formula's
// source, and a text with a "'" before it when typing it would make anything else of it
// (xl::memory::EnteredValue: a number such as "1,000" or "12%", an error value, ...) or
// lose its leading "'"; the fields are entered before the side file's formats, as into
// cells of the General format. A "'" that a text was entered with but does not need is
// not kept. Dates are not read from typed texts ("6-10"
// stays a text). A sheet's cells always start at A1. Saving visits only the cells that hold something: the CSV file
// holds empty lines and empty fields only while they add up to at most 64 KiB more than its fields, so a cell far from
// the others (such as XFD1048576 beside A1) is kept in the side file as a `cell` entry instead.
//
// A path ending in ".xlsx" is an xlsx workbook instead (xlsx.h), for loading and for
// saving.
//
// Loading also takes plain CSV files (one sheet each, named after the file) or a folder
// without a manifest (each of its *.csv files, in name order). A sheet file must be a
// plain file (not a folder or a FIFO) and lie in the workbook folder, also when it is a
// symbolic link. A single file is told by what it holds, not by its name (file_kind.h):
// a zip package or compound file loads as an xlsx workbook (an .xlsm too), text as CSV
// (csv_text.h: UTF-8 or Windows-1252, its separator found); an OpenDocument file, UTF-16
// text or another binary file is refused, naming what it is.
//
// Saving into a workbook folder replaces only the workbook's own files (the manifest and
// the files it names) and keeps every other file and folder there; see
// save_transaction.h for how a save cut short is undone or finished.
#pragma once

#include <filesystem>
#include <span>

#include "platform/excel/excel.h"
#include "platform/excel/memory/memory.h"
#include "workbook/save_transaction.h"

namespace quillary::workbook {

inline constexpr char kManifestFile[] = "workbook.txt";

// True when `folder` holds a manifest of this format (the whole of it reads as one).
bool IsWorkbookFolder(const std::filesystem::path& folder);

// Opens a new workbook of `app` (it becomes the active one) from a workbook folder, a
// folder of CSV files, or CSV files (a large grid for these). Raises Failure, naming
// the file or manifest line, when a path does not exist, a file cannot be read, does not
// fit the grid or holds what the application refuses (a sheet name, a defined name).
// Adds to `notes` what the user must be told of a load that succeeded: each field cut
// to the 32,767 characters a cell holds (the sheet and cell), a CSV file read as
// Windows-1252 or with another separator than the comma, and a save cut short in
// the folder: a load changes nothing in it, and reads the workbook as the save's journal
// says it stands (save_transaction.h).
xl::Workbook& LoadWorkbook(xl::memory::MemoryApplication& app, std::span<const std::filesystem::path> paths,
                           Notes& notes);

// Saves the workbook as a workbook folder (save_transaction.h): when anything fails
// before the new files are complete, what was at `folder` stays as it was and Failure is
// raised. `folder` must be absent, an empty folder or a workbook folder whose whole
// manifest reads: anything else is refused. Waits while another process saves the
// folder. Adds to `notes` an old file of the workbook that could not be removed, and what
// a save cut short had left and this one finished or removed.
void SaveWorkbook(xl::Workbook& book, const std::filesystem::path& folder, Notes& notes);

// Raises Failure, with the message SaveWorkbook would give, when `path` cannot take a
// saved workbook: a folder that is neither absent, empty nor a workbook folder, a file
// where a folder would go, a folder that does not exist to hold it; for an xlsx path, a
// folder in its place, no folder to hold it, or a file there holding what a save cannot
// write (RefuseToLoseWhatTheFileHolds) unless `overItsSource` (the workbook is loaded
// from that file, whose package its save keeps); an .xlsm path (IsXlsmPath) unless
// `overItsSource`. Reads the file system and changes nothing.
void CheckSaveTarget(const std::filesystem::path& path, bool overItsSource = false);

// The value entered for a CSV field: an error value's text becomes that error value,
// anything else is the text (which the entry rules then read).
Variant FieldValue(const Text& field);

// The CSV field of a cell (see above).
Text CellField(xl::Worksheet& sheet, long row, long col);

}  // namespace quillary::workbook
