#include "testkit/bench.h"

namespace quillary::testkit {

Bench::Bench()
    : addin(forms.Forms(), u"Quillary.xlam"),
      app(xl::memory::CreateApplication({.thisWorkbookName = u"Quillary.xlam", .runner = addin.Runner()})),
      state(services.services) {
  book = &app->AddWorkbook(xl::memory::GridSize::Large);
  addin.SetStrict(true);
  // Worksheet.Paste reads the stand-in clipboard without counting an attempt, so that
  // tests count only the component's own clipboard calls.
  app->SetClipboardViewer([this](const auto& use) { use(services.clipboard.Contents()); });
  state.connection.ExcelApp = app.get();
  state.connection.routines = &routines;
}

void Bench::BeginRequest(TextView mode) { host::StartRequest(state, forms.Forms(), Text(mode)); }

xl::Worksheet& Bench::Sheet(TextView name) { return book->Worksheets().Item(name); }

}  // namespace quillary::testkit
