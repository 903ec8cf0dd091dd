#include "drivers/routines.h"

#include <gtest/gtest.h>

#include "host/connect.h"
#include "testkit/bench.h"

namespace quillary::drivers {
namespace {

TEST(BuildRoutines, TheActionsRequestRunsTheActionListEntryGivenAsTheMode) {
  testkit::Bench b;
  xl::Worksheet& sheet = b.Sheet(u"Sheet1");
  sheet.Range(u"A1").SetValue(u"r1, r2");
  sheet.Range(u"A1").Select();
  host::ExcelConnect connect(b.state, BuildRoutines());
  connect.SetExcelApp(b.app.get());
  Text mode = u"Case||  Upper";
  Text routine = u"Actions";
  connect.QuillaryDLL(b.forms.Forms(), mode, routine);
  EXPECT_EQ(sheet.Range(u"A1").Value(), Variant(u"R1, R2"));
}

TEST(BuildRoutines, TheHostReachesTheActiveWindowSwapAsSwapDsply) {
  testkit::Bench b;
  b.Control(host::ctl::main::kTextbox1).SetValue(u"a,b");
  b.BeginRequest();
  host::Run(*host::FindRoutine(host::RequestRoutines(), u"SwapDsply"), b.state, BuildRoutines());
  EXPECT_EQ(b.Control(host::ctl::main::kTextbox1).Text(), u"a\r\nb");
}

}  // namespace
}  // namespace quillary::drivers
