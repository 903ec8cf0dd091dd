// The spreadsheet application reached through its automation interface: every object
// of platform/excel/excel.h over the application's own objects, late-bound by member
// name, as the component's routines call them. Ranges stay the platform's value type;
// a range becomes the application's Range object (by its address on its sheet) only for
// the call that needs it.
//
// The wrappers of workbooks, worksheets, windows and names are made once per object
// (told apart by the object's identity) and live as long as the application wrapper.
#pragma once

#include <memory>

#include "platform/automation/dispatch.h"
#include "platform/excel/excel.h"

namespace quillary::xl::automation {

// The application behind `application` (Excel's Application object).
std::unique_ptr<Application> MakeApplication(quillary::automation::Dispatch application);

}  // namespace quillary::xl::automation
