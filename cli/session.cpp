#include "cli/session.h"

#include <algorithm>
#include <ostream>

#include "cli/query_prompt.h"
#include "drivers/routines.h"
#include "workbook/failure.h"
#include "workbook/workbook_io.h"
#include "workbook/xlsx.h"

namespace quillary::cli {

namespace fs = std::filesystem;

namespace {

// ThisWorkbook.Name of the host add-in: the prefix of every macro the component runs.
constexpr char16_t kHostWorkbook[] = u"Quillary.xlam";

}  // namespace

void Session::Beeper::Beep() {
  if (out_ != nullptr) *out_ << '\a' << std::flush;
}

Session::Session(std::ostream& err, SessionOptions options, std::unique_ptr<Connection> connection)
    : err_(err),
      ask_(options.answers.ask),
      beeper_(options.errIsTerminal ? &err : nullptr),
      services_{system_.clock, beeper_, system_.clipboard, system_.directories},
      answers_(forms_, err, options.answers),
      host_(forms_.Forms(), kHostWorkbook),
      state_(services_),
      connect_(state_, drivers::BuildRoutines()),
      queryConnect_(state_, drivers::BuildRoutines()),
      connection_(std::move(connection)) {
  host_.SetAnswerProvider([this](const addin::AnswerRequest& request) { return answers_.Answer(request); });
  answers_.SetActiveCellComment([this]() -> std::optional<Text> {
    const std::optional<xl::Range> cell = app_->ActiveCell();
    if (!cell) return std::nullopt;
    const std::optional<xl::Comment> comment = cell->Comment();
    if (!comment) return std::nullopt;
    return comment->Text();
  });
  host_.SetHook(u"MainUserFormHideOffsetShow", [this](std::span<Variant> args) { SendQueryEvents(args); });
  NewApplication();
}

Session::~Session() = default;

void Session::NewApplication() {
  xl::memory::ApplicationOptions options;
  options.thisWorkbookName = kHostWorkbook;
  options.runner = host_.Runner();
  app_ = xl::memory::CreateApplication(std::move(options));
  sys::Clipboard& clipboard = connection_ ? connection_->Clipboard() : system_.clipboard;
  app_->SetClipboardViewer([&clipboard](const auto& use) { clipboard.ViewText(use); });
  Connect();
}

void Session::Connect() {
  if (connection_) {
    connection_->SetApplication(*app_);
  } else {
    connect_.SetExcelApp(app_.get());
    queryConnect_.SetExcelApp(app_.get());
  }
}

void Session::Load(std::span<const fs::path> paths) {
  // The new workbook is read into an application of its own first, so that a load that
  // fails leaves the open workbook as it was.
  auto previous = std::move(app_);
  workbook::Notes notes;
  try {
    NewApplication();
    workbook::LoadWorkbook(*app_, paths, notes);
  } catch (...) {
    app_ = std::move(previous);
    Connect();
    throw;
  }
  for (const std::string& note : notes) err_ << "quillary: note: " << note << "\n";
  saveFolder_.reset();
  // A workbook folder or an xlsx file is saved back where it came from.
  // (An .xlsm too, whose save keeps its macros.)
  if (paths.size() == 1 && (workbook::IsWorkbookFolder(paths.front()) || workbook::IsXlsxPath(paths.front()) ||
                            workbook::IsXlsmPath(paths.front()))) {
    saveFolder_ = paths.front();
  }
}

void Session::New(xl::memory::GridSize grid) {
  NewApplication();
  app_->AddWorkbook(grid);
  saveFolder_.reset();
}

void Session::Save(const std::optional<fs::path>& folder) {
  if (!folder && !saveFolder_) throw workbook::Failure("the workbook has no folder yet: give one to save to");
  const fs::path target = folder ? *folder : *saveFolder_;
  workbook::Notes notes;
  workbook::SaveWorkbook(Book(), target, notes);
  std::error_code ec;
  // A save to xlsx keeps the package and says itself what it could not keep.
  if (saveFolder_ && workbook::IsXlsxPath(*saveFolder_) && !workbook::IsXlsxPath(target) &&
      !workbook::IsXlsmPath(target) && !fs::equivalent(*saveFolder_, target, ec)) {
    if (std::string note = workbook::UnwrittenNote(*saveFolder_, target); !note.empty()) notes.push_back(note);
  }
  for (const std::string& note : notes) err_ << "quillary: note: " << note << "\n";
  saveFolder_ = target;
}

xl::Workbook& Session::Book() {
  xl::Workbook* book = app_->ActiveWorkbook();
  if (book == nullptr) throw workbook::Failure("no workbook is open: use load or new first");
  return *book;
}

void Session::Call(const Text& routine, const Text& mode) {
  shownQueryItem_.clear();
  Text vbaMode = mode;
  Text gotoRoutine = routine;
  if (connection_) {
    connection_->Call(forms_.Forms(), vbaMode, gotoRoutine);
  } else {
    connect_.QuillaryDLL(forms_.Forms(), vbaMode, gotoRoutine);
  }
}

void Session::Event(const Text& name) {
  Text gotoRoutine = name;
  if (connection_) {
    connection_->Event(gotoRoutine);
  } else {
    queryConnect_.QuillaryQueryFormDLL(gotoRoutine);
  }
}

Text Session::ClipboardText() {
  return connection_ ? connection_->Clipboard().GetText() : system_.clipboard.Contents();
}

void Session::FailClipboard(int count, sys::MemoryClipboard::Operation op) {
  if (connection_)
    throw workbook::Failure("the system's clipboard cannot be made to fail: run the script without --through-com");
  system_.clipboard.FailNext(count, op);
}

void Session::QueueQueryEvents(std::vector<Text> names) {
  queryEvents_.insert(queryEvents_.end(), names.begin(), names.end());
}

void Session::SendQueryEvents(std::span<Variant> args) {
  if (args.empty() || !args[0].IsText() || args[0].AsText() != u"QueryUserForm") return;
  if (shownQueryItem_.empty()) shownQueryItem_ = Control(host::ctl::query::kTextbox1).Text();
  std::vector<Text> events;
  events.swap(queryEvents_);
  if (events.empty() && ask_ != nullptr) {
    RunQueryFormAtTerminal({*ask_, err_, forms_, [this](const Text& event) { Event(event); },
                            [this] { return host_.IsShown(u"QueryUserForm"); }, [this] { return app_->ActiveCell(); }});
    return;
  }
  err_ << "quillary: the Query form is shown" << (events.empty() ? "" : "; sending its events") << "\n";
  // What the user sees of the form: the cell it shows, when it opens and after each event.
  auto showActiveCell = [this] {
    if (std::optional<xl::Range> cell = app_->ActiveCell()) {
      err_ << "quillary: the active cell is " << ToUtf8(cell->Address()) << "\n";
    }
  };
  showActiveCell();
  for (Text& event : events) {
    err_ << "quillary: Query event " << ToUtf8(event) << "\n";
    Event(event);
    showActiveCell();
  }
}

void Session::ViewActiveWindowText(const std::function<void(TextView)>& use) {
  host::ActiveWindowOf(forms_.Forms()).ViewText(use);
}

}  // namespace quillary::cli
