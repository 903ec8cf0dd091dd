// The component's shared state: one object that every routine receives.
//
// It is grouped by owner and lifetime:
//   services    the process services (clocks, beep, clipboard, directories)
//   connection  the spreadsheet application, held while a public class holds it
//   request     the running request: the ten forms, the mode and the per-call values;
//               replaced as a whole when a request of the main connection starts
//   dialogs, compare, items, drivers, blocks, actions
//               what subsystems keep from one request to the next and share, each
//               group saying who writes and who reads it
//   memories    what an engine keeps for itself, held without naming its type (the
//               engine's folder defines it: host/engine_memory.h)
// Both public classes work on the same State, as the host sees one component.
//
// Fields carry the names the routines have always used for these values (PascalCase;
// the mode keeps its host name vbaMode); groups are lower camelCase.
#pragma once

#include <cstdint>

#include "host/controls.h"
#include "host/engine_memory.h"
#include "host/modes.h"
#include "host/proceed.h"
#include "platform/forms/forms.h"
#include "platform/runtime/value.h"
#include "platform/system/system.h"

namespace quillary::xl {
class Application;
class Workbook;
}  // namespace quillary::xl

namespace quillary::host {

struct Routines;

// The compare modes that follow the Item mode (CheckBox1 at each request): binary in
// CountIndex# (prefix and index number, exact), text in IgnoreIndex# (plain text, without
// regard to case). The same values as vba::kBinaryCompare and vba::kTextCompare.
inline constexpr int kBinaryCompare = 0;
inline constexpr int kTextCompare = 1;

// The progress clock and the break flag, shared by every long loop of a request. The
// Query form's events reset them without touching the rest of the request.
struct Progress {
  // Monotonic seconds: elapsed time survives midnight.
  double ProgressTimer = 0;
  // The progress display has turned the status bar on in this request.
  bool ProgressShown = false;
  // The user asked to stop (the host reported the break key).
  bool UserAbort = false;
};

// The running request. StartRequest replaces it as a whole, so a value added here
// cannot survive into the next request by being forgotten. When a request ends only the
// forms are let go: the other values stay readable (the Query form's events run on them)
// until the next request.
struct Request {
  // The ten forms, held only for the length of the request.
  forms::HostForms forms;
  // The mode; actions that run other actions change it and put it back.
  Mode vbaMode;
  // The Item mode from CheckBox1, and the compare mode that follows it.
  bool IgnoreIndexMode = false;
  int CompareMode = kBinaryCompare;
  // Set by the gathering: cells were joined, hidden cells were passed over.
  bool JoinCellsUsed = false;
  bool HiddenCellsSkipped = false;
  // Rows of the text staged for pasting (the clipboard staging and the writers).
  std::int64_t PasteRowCount = 0;
  // The rendered Item list, and the fault of the last gathering or count.
  Text DisplayText;
  Text FaultItem;
  Text FaultMsg;
  // The Active Window: the main form's Textbox1 or Textbox2.
  forms::Control* ActiveWndw = nullptr;
  // The blank-Item notice was shown: it says it is not shown again until the user starts
  // over, so it appears once a request however many gatherings the request runs (the
  // three of COMPARE 2, a block engine's one a block).
  bool BlankItemMsgShown = false;
  // The block engine's stop flag: its writer sets it at every stop, and the hyperlink
  // actions when the column right of the selection lies beyond the sheet.
  bool PasteStopped = false;
  Progress progress;
};

// The answers of the host's dialogs, kept until the next answer. Written by the host
// callbacks; read by the routines that asked.
struct Dialogs {
  // The big message form: 0 cancel, 1 OK_Button, 2 Option_Button, 3 Option_Button2.
  int BigMsgAnswer = 0;
};

// What COMPARE 2 is doing while it calls Get/Try, the tag clearing and the Item engine.
// Each stage keeps the number the comparison has always given it: an error raised while
// gathering names it in its source.
enum class CompareStage : std::uint8_t {
  kIdle = 0,
  // Two areas: the right one gathered into list 1 (nothing shown).
  kGatherRight = 3,
  // Two areas: the left one gathered into list 2, less list 1, tagged and shown in
  // Textbox1. Two windows: list 1 less list 2 shown in Textbox2.
  kLeftUniques = 4,
  // Two areas: the tags of the left side's uniques cleared where they are not wanted.
  kClearLeftTags = 5,
  // Two areas: the right one gathered again into list 1, less list 2, tagged and shown
  // in Textbox2.
  kRightUniques = 6,
  // Two areas: the tags of the right side's uniques cleared.
  kClearRightTags = 7,
  // Two windows: both windows' texts read into the lists, list 2 less list 1 shown in
  // Textbox1.
  kWindowUniques = 8,
};

// The number of a stage (0, 3 to 8).
constexpr int StageNumber(CompareStage stage) { return static_cast<int>(stage); }

// The compare stage and the tag label. Written by COMPARE 2 and by the tagging; read by
// Get/Try, the callers of the Item engine and the tagging, which branch on them.
struct CompareMemory {
  CompareStage CompareStep = CompareStage::kIdle;
  // The tag label of the list last tagged or reported in a comparison ("inLftOnly(a)");
  // a tagging of one selection leaves it as it was.
  Text TagText;
};

// The Item engine's memory. Written by the Item engine; read by the engine and by the
// drivers.
struct ItemsMemory {
  // The index style of the ranges a gathering from cells last met: 0 none yet, 1
  // "R1-5", 2 "R1-R5". A CountIndex# gathering sets it only when its style is 1 or 2,
  // so other gatherings leave the last one in place.
  int RangeStyle = 0;
  // The Item count of the last list, as text ("1234").
  Text ItemCountText;
  // The Duplicates_Summary text.
  Text DupSummaryText;
};

// The Tab setting left remembered for later pastes of text (Tabs split columns when
// True). Written by Get/Try (True after staging a Duplicates_Summary), COMPARE 2 and the
// parser (False); read by the clipboard staging (services/) and the parser, which leave
// the remembered delimiters so.
struct DriversMemory {
  bool TabSplitPaste = false;
};

// The block engine's memory: TRAVEL or ONCE. OnceFlag True processes the selected block
// once, False travels down the sheet block by block. Written by the block engine (True
// when a run starts attended, then the answer of its TRAVEL/ONCE question), by Subtract
// Display and by the actions that run the engine unattended (SkipMenu enabled), which
// set it before the call; read by the block engine and its destination writer. It keeps
// its value from one request to the next. The other values of a block run (the first
// block, the pass, whether the writer stopped) live only for the run, in the engine.
struct BlocksMemory {
  bool OnceFlag = false;
};

// How the batch writer of the row actions left the last batch: more batches follow
// ("n"), the batch handed over was the last one ("y"), or the output was refused or the
// run did not complete ("abort").
enum class BatchMark : std::uint8_t { kMore, kLast, kAbort };

// The actions' memory. BatchStatus and ResultRows are written by the row actions
// (EXPAND Row to Many, REDUCE Rows to One) and their batch writer, and read by the
// netlist conversion after the reduction it runs nested. ActionStartTime, when the
// netlist conversion began in seconds of the services' monotonic clock, is written by
// that conversion as it starts and read by the steps it runs nested (the block engine's
// destination writer, the batches of REDUCE Rows to One), which refresh the screen at
// most once per 45 seconds from then.
struct ActionsMemory {
  BatchMark BatchStatus = BatchMark::kMore;
  // The output rows of the last row action, all batches together.
  long ResultRows = 0;
  double ActionStartTime = 0;
};

// The Active Window among the main form's two text boxes: Textbox1 when its BackColor is
// at least forms::kActiveWindowThreshold, else Textbox2.
forms::Control& ActiveWindowOf(const forms::HostForms& forms);

// The spreadsheet application handed over by the host.
struct Connection {
  // Null until a public class sets it.
  xl::Application* ExcelApp = nullptr;
  // True when the Query connection supplied ExcelApp.
  bool AppSetByQueryConnect = false;
  // The routines of this build, set by a public class for the length of its call: how
  // one subsystem runs another's routine (RoutineOf in host/routines.h).
  const Routines* routines = nullptr;
};

struct State {
  explicit State(sys::Services serviceSet) : services(serviceSet) {}

  sys::Services services;
  Connection connection;
  Request request;
  Dialogs dialogs;
  CompareMemory compare;
  ItemsMemory items;
  DriversMemory drivers;
  BlocksMemory blocks;
  ActionsMemory actions;
  EngineMemories memories;

  // A control of the running request's forms.
  forms::Control& Control(const ControlId& id) const { return ControlOf(request.forms, id); }
  forms::UserForm& MainForm() const { return *request.forms.mainUser; }

  // Restarts the progress clock (after a host callback, or at an entry).
  void RestartClock() { request.progress.ProgressTimer = services.clock.MonotonicSeconds(); }
  // The start of a request or a Query event: the clock restarts, no progress is shown
  // and no break is pending.
  void ResetProgress() {
    request.progress = {};
    RestartClock();
  }

  // The application and its active workbook; Error 91 when there is none.
  xl::Application& App() const;
  xl::Workbook& ActiveBook() const;
};

}  // namespace quillary::host
