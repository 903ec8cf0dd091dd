#include "testkit/bench.h"

namespace quillary::testkit {

Bench::Bench()
    : addin(forms.Forms(), u"Quillary.xlam"),
      app(xl::memory::CreateApplication({.thisWorkbookName = u"Quillary.xlam", .runner = addin.Runner()})),
      state(services.services) {
  book = &app->AddWorkbook(xl::memory::GridSize::Large);
  addin.SetStrict(true);
  state.ExcelApp = app.get();
}

void Bench::BeginRequest(TextView mode) { host::StartRequest(state, forms.Forms(), Text(mode)); }

xl::Worksheet& Bench::Sheet(TextView name) { return book->Worksheets().Item(name); }

}  // namespace quillary::testkit
