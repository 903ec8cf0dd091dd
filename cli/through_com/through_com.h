// `quillary run --through-com` (Windows): the requests and Query events of a script go
// to the in-process server, Quillary3.ExcelConnect and Quillary3.ExcelQueryFormConnect
// created by their ProgIDs, which reach the session's spreadsheet, forms and macros
// through IDispatch, as the host add-in's spreadsheet application is reached; the
// component copies to and pastes from the Windows clipboard.
#pragma once

#include <memory>

#include "cli/connection.h"

namespace quillary::cli {

// Raises an Error when the server is not registered.
std::unique_ptr<Connection> ConnectThroughCom();

}  // namespace quillary::cli
