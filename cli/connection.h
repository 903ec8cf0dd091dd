// How a session's requests and Query events reach the component. Without a Connection
// the session sends them to the component linked in; a Connection carries them
// elsewhere: to the in-process server through COM (through_com/, Windows), which works
// on the session's spreadsheet exposed through IDispatch.
#pragma once

#include <functional>
#include <memory>

#include "platform/excel/excel.h"
#include "platform/forms/forms.h"
#include "platform/runtime/value.h"
#include "platform/system/system.h"

namespace quillary::cli {

class Connection {
 public:
  virtual ~Connection() = default;

  // The session's application, whenever it is made anew (new, load).
  virtual void SetApplication(xl::Application& app) = 0;
  // One request and one Query form event, as the host add-in sends them; an error of
  // the component is raised as the component raised it.
  virtual void Call(const forms::HostForms& forms, Text& mode, Text& routine) = 0;
  virtual void Event(Text& name) = 0;
  // The clipboard the component copies to and pastes from.
  virtual sys::Clipboard& Clipboard() = 0;
};

// Makes a connection (an empty function: this build has none to offer).
using ConnectionMaker = std::function<std::unique_ptr<Connection>()>;

}  // namespace quillary::cli
