// One run of the command-line host: the stand-in of the host add-in that a person runs.
//
// A session owns the in-memory spreadsheet application with the open workbook, the ten
// host forms, the scripted host macros (the application's macro runner), the process
// services, the component's state and its two public classes. Requests and Query
// events go into the component exactly as the host add-in sends them, or through a
// Connection (connection.h) to the in-process server; the questions the component asks
// come back through Answers (answers.h).
#pragma once

#include <filesystem>
#include <functional>
#include <iosfwd>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "cli/answers.h"
#include "cli/connection.h"
#include "host/connect.h"
#include "host/controls.h"
#include "host/state.h"
#include "platform/addin/scripted_host.h"
#include "platform/excel/memory/memory.h"
#include "platform/forms/memory/memory_forms.h"
#include "platform/system/memory/memory_system.h"
#include "platform/system/system.h"

namespace quillary::cli {

// The process services of a session that do not depend on its options (not movable:
// the session's Services refer to members). This machine has no desktop clipboard: the
// command-line host keeps the copied text in memory for the run, in the stand-in
// clipboard, whose failures a script can ask for.
struct ProcessServices {
  sys::SystemClock clock;
  sys::MemoryClipboard clipboard;
  sys::ProcessDirectories directories;

  ProcessServices() = default;
  ProcessServices(const ProcessServices&) = delete;
  ProcessServices& operator=(const ProcessServices&) = delete;
};

struct SessionOptions {
  // Where the person answers, how questions are shown and how a stop names answers.
  AnswerOptions answers;
  // Standard error is a terminal: the component's beeps sound there as bell characters
  // (elsewhere they would only be bytes in a file or a pipe).
  bool errIsTerminal = false;
};

class Session {
 public:
  // Questions and what the session does are reported on `err`. With a connection,
  // requests and Query events go through it instead of to the component linked in.
  Session(std::ostream& err, SessionOptions options = {}, std::unique_ptr<Connection> connection = nullptr);
  ~Session();
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  // Opens a workbook (workbook_io.h) or a new empty one, in place of the open one.
  void Load(std::span<const std::filesystem::path> paths);
  void New(xl::memory::GridSize grid);
  // Saves to `folder`, or, without one, to the workbook folder the workbook came from
  // or was last saved to. Raises Failure when there is none.
  void Save(const std::optional<std::filesystem::path>& folder);

  // The open workbook; Failure when none is open.
  xl::Workbook& Book();

  // One QuillaryDLL request, whatever the routine's name and whether a workbook is open
  // or not: the component decides (an unknown routine runs nothing; without an active
  // workbook the request returns at once). Errors of the component pass through
  // unchanged.
  void Call(const Text& routine, const Text& mode);
  // One QuillaryQueryFormDLL event, passed on as Call passes requests.
  void Event(const Text& name);
  // The search text of the Query form when the last request showed it (the Item the
  // fault locator opens on); empty when the last request did not show it.
  const Text& ShownQueryItem() const { return shownQueryItem_; }
  // Events to send, in order, while the Query form is next shown. Without any, an
  // interactive session shows the form at the terminal (query_prompt.h).
  void QueueQueryEvents(std::vector<Text> names);

  xl::memory::MemoryApplication& App() { return *app_; }
  forms::HostFormSet& Forms() { return forms_; }
  // A control of the host's forms, as the component names it.
  forms::Control& Control(const host::ControlId& id) { return host::ControlOf(forms_.Forms(), id); }
  addin::ScriptedHost& Host() { return host_; }
  // The text on the clipboard the component copies to and pastes from.
  Text ClipboardText();
  // Makes the next `count` calls of `op` of the clipboard fail (as while another
  // program holds it). Failure through a connection: the system's clipboard cannot be
  // made to.
  void FailClipboard(int count, sys::MemoryClipboard::Operation op);
  cli::Answers& Answers() { return answers_; }
  host::State& State() { return state_; }

  // The Active Window's text: the main form's Textbox1 while it is marked active by
  // its back colour, else Textbox2.
  // Calls `use` with a view of the Active Window's text.
  void ViewActiveWindowText(const std::function<void(TextView)>& use);

 private:
  void NewApplication();
  // Hands the application to the component.
  void Connect();
  void SendQueryEvents(std::span<Variant> args);

  // Bell characters on standard error, only where it is a terminal.
  class Beeper final : public sys::Beeper {
   public:
    explicit Beeper(std::ostream* out) : out_(out) {}
    void Beep() override;

   private:
    std::ostream* out_;
  };

  std::ostream& err_;
  std::istream* ask_;
  ProcessServices system_;
  Beeper beeper_;
  sys::Services services_;
  forms::HostFormSet forms_{host::ctl::kAll};
  cli::Answers answers_;
  addin::ScriptedHost host_;
  std::unique_ptr<xl::memory::MemoryApplication> app_;
  host::State state_;
  host::ExcelConnect connect_;
  host::ExcelQueryFormConnect queryConnect_;
  std::unique_ptr<Connection> connection_;
  std::vector<Text> queryEvents_;
  Text shownQueryItem_;
  std::optional<std::filesystem::path> saveFolder_;
};

}  // namespace quillary::cli
