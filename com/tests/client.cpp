// The test client of the in-process server: it plays the host add-in. It exposes the
// in-memory stand-in of the spreadsheet application, the host's forms and macros through
// IDispatch (stand_in.h), creates Quillary3.ExcelConnect by its ProgID and sends the
// requests a user's presses make, and runs the same requests on the component linked in
// directly, on a stand-in of its own: both must leave the same Active Window, labels,
// messages, clipboard and sheets.
//
//   quillary_com_client [CASE...]        typelib, late-bound, edges, backend, presses (all by
//                                        default)
//   quillary_com_client --unregistered   checks that the classes are not registered
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <functional>
#include <iostream>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "com/quillary3.h"
#include "com/stand_in/hosts.h"
#include "drivers/routines.h"
#include "host/connect.h"
#include "host/controls.h"
#include "platform/addin/scripted_host.h"
#include "platform/automation/dispatch.h"
#include "platform/excel/automation/automation_excel.h"
#include "platform/excel/memory/memory.h"
#include "platform/forms/memory/memory_forms.h"
#include "platform/system/system.h"

namespace quillary::com::testing {
namespace {

int failures = 0;

void Fail(const std::string& what) {
  ++failures;
  std::cout << "  FAILED: " << what << "\n";
}

#define CHECK(cond)                                                                     \
  do {                                                                                  \
    if (!(cond)) Fail(std::string(#cond) + " (line " + std::to_string(__LINE__) + ")"); \
  } while (0)

void CheckEqual(const std::string& what, const std::string& got, const std::string& want) {
  if (got != want) Fail(what + ":\n--- got\n" + got + "\n--- want\n" + want);
}

void CheckHr(const char* what, HRESULT hr) {
  if (FAILED(hr)) {
    char text[64];
    std::snprintf(text, sizeof text, " failed with 0x%08lX", static_cast<unsigned long>(hr));
    Fail(std::string(what) + text);
  }
}

std::string U8(TextView t) { return ToUtf8(t); }

// What a host sees after a request.
std::string Transcript(Side& side, const std::string& error) {
  std::ostringstream out;
  if (!error.empty()) out << "error: " << error << "\n";
  out << "window: " << U8(host::ActiveWindowOf(side.forms.Forms()).Text()) << "\n";
  out << "Textbox1: " << U8(side.forms.mainUser.Item(u"Textbox1").Text()) << "\n";
  out << "Textbox2: " << U8(side.forms.mainUser.Item(u"Textbox2").Text()) << "\n";
  for (const char16_t* label : {u"Label2", u"label10", u"Label11"}) {
    out << U8(label) << ": " << U8(side.forms.mainUser.Item(label).Caption()) << "\n";
  }
  out << "CheckBox8: " << Describe(side.forms.mainUser.Item(u"CheckBox8").Value()) << "\n";
  for (const char16_t* label : {u"CaptionLabel", u"Label1"}) {
    out << "Query " << U8(label) << ": " << U8(side.forms.queryUser.Item(label).Caption()) << "\n";
  }
  out << "count: " << (side.addin.CommandBarCount() ? U8(*side.addin.CommandBarCount()) : "(none)") << "\n";
  for (const addin::MacroCall& call : side.addin.Calls()) {
    out << "macro " << U8(call.macro);
    for (const Variant& a : call.args) out << " " << Describe(a);
    out << "\n";
  }
  side.addin.ClearLog();
  out << "clipboard: " << U8(side.Clipboard()) << "\n";
  out << "status bar: " << Describe(side.App().StatusBar()) << "\n";
  xl::Workbook& book = *side.App().ActiveWorkbook();
  for (long i = 1; i <= book.Worksheets().Count(); ++i) {
    xl::Worksheet& sheet = book.Worksheets().Item(i);
    const xl::Range used = sheet.UsedRange();
    out << "sheet " << U8(sheet.Name()) << " visible " << sheet.Visible() << " used " << U8(used.Address()) << "\n";
    std::vector<Variant> values;
    used.Values(values);
    for (const Variant& v : values) out << " " << Describe(v);
    out << "\n";
    // Colour marks, bold and comments of the cells.
    for (long r = 1; r <= used.RowsCount(); ++r) {
      for (long c = 1; c <= used.ColumnsCount(); ++c) {
        const xl::Range cell = used.Cells(r, c);
        out << " " << Describe(cell.Interior().Color()) << "/" << Describe(cell.Font().Bold());
        if (std::optional<xl::Comment> comment = cell.Comment()) {
          out << "/" << U8(comment->Text()) << "@" << comment->Top() << "," << comment->Left() << ","
              << comment->Width() << "," << comment->Height();
        }
      }
    }
    out << "\n";
  }
  if (std::optional<xl::Range> selection = side.App().Selection())
    out << "selection: " << U8(selection->Address()) << "\n";
  const xl::PageSetup page = side.Sheet().GetPageSetup();
  out << "page: " << U8(page.PrintArea) << " " << U8(page.CenterHeader) << " " << U8(page.RightHeader) << " "
      << page.HeaderMargin << " " << page.TopMargin << " " << page.LeftMargin << " " << Describe(page.Zoom) << " "
      << Describe(page.FitToPagesTall) << " " << U8(page.PrintTitleRows) << " " << page.CenterHorizontally << "\n";
  return out.str();
}

// ---------------------------------------------------------------------------------------
// Presses, as the scenarios of the command-line host play them (tests/scenarios/get_try,
// query, compare and blocks).

struct Press {
  const char* name;
  std::function<void(Side&)> stage;  // cells, selection, controls, answers
  const char16_t* routine;
  const char* mode;
  // What the Linux run shows in the Active Window (the scenario's expected output).
  const char* window;
  // Query events sent from inside the modal Query form.
  std::vector<Text> queryEvents;
};

const std::vector<Press>& Presses() {
  static const std::vector<Press> presses = {
      {"plain Get/Try",
       [](Side& s) {
         Cells(s, {{u"A1", u"R5, R2"}, {u"A2", u"C1,R1"}, {u"A3", u"R3"}});
         s.Sheet().Range(u"A1:A3").Select();
       },
       u"GetSubtractSortCnt",
       "Null",
       "R1-3,R5,C1",
       {}},
      {"duplicates summary",
       [](Side& s) {
         Cells(s, {{u"A1", u"a"}, {u"A2", u"b"}, {u"A3", u"a"}});
         s.Sheet().Range(u"A1:A3").Select();
         s.addin.QueueCompareAnswer(1);
         s.Control(host::ctl::main::kIgnoreIndex).SetValue(Variant(true));
         s.forms.mainUser.Item(u"CheckBox3").SetValue(Variant(true));
         s.forms.mainUser.Item(u"CheckBox4").SetValue(Variant(true));
       },
       u"GetSubtractSortCnt",
       "Null",
       "Duplicates_Summary  (ready to paste)\nDup\t     2\ta",
       {}},
      {"a duplicate in the labels",
       [](Side& s) {
         Cells(s, {{u"A1", u"R1, R2"}, {u"A2", u"R2"}});
         s.Sheet().Range(u"A1:A2").Select();
       },
       u"GetSubtractSortCnt",
       "Null",
       nullptr,
       {}},
      {"the fault locator, with a Query event from inside the modal form",
       [](Side& s) {
         Cells(s, {{u"A1", u"R1"}, {u"A2", u"C4, R1-R2-R3"}, {u"A3", u"C7"}});
         s.Sheet().Range(u"A1:A3").Select();
         s.addin.QueueQueryEndAnswer(addin::kQueryEndRepeat);
       },
       u"GetSubtractSortCnt",
       "Null",
       nullptr,
       {u"NextButton_Click"}},
      {"duplicates tagged and painted",
       [](Side& s) {
         Cells(s, {{u"A1", u"a"}, {u"A2", u"b, c"}, {u"A3", u"a"}, {u"A4", u"d"}, {u"A5", u"c"}});
         s.Sheet().Range(u"A1:A5").Select();
         s.Control(host::ctl::main::kIgnoreIndex).SetValue(Variant(true));
         s.forms.mainUser.Item(u"CheckBox3").SetValue(Variant(true));
         s.forms.mainUser.Item(u"CheckBox4").SetValue(Variant(true));
         s.forms.compDupUser.Item(u"LocatorLabel").SetValue(Variant(true));
         s.forms.compDupUser.Item(u"ColorLeftEnable").SetValue(Variant(true));
         s.addin.QueueCompareAnswer(1);
       },
       u"GetSubtractSortCnt",
       "Null",
       nullptr,
       {}},
      {"Paste V travelling down the blocks",
       [](Side& s) {
         Cells(s, {{u"A1", u"R2, R1"}, {u"A2", u"C1-C3"}, {u"A3", u"U5, U7"}});
         s.forms.mainUser.Item(u"CheckBox6").SetCaption(u"Count");
         s.Sheet().Range(u"A1").Select();
         s.addin.QueueMessageAnswer(2);
       },
       u"Paste_V",
       "Paste_V",
       nullptr,
       {}},
      {"COMPARE 2 with USE NEW",
       [](Side& s) {
         Cells(s, {{u"A1", u"R1, R2"},
                   {u"A2", u"C1-C3"},
                   {u"A3", u"U1"},
                   {u"C1", u"R1"},
                   {u"C2", u"C1-C4"},
                   {u"C3", u"U1"},
                   {u"C4", u"Q1"}});
         s.Sheet().Range(u"C1:C4,A1:A3").Select();
         for (const char16_t* box : {u"ListUniques", u"ColorLeftEnable", u"ColorRightEnable", u"SummaryYes"}) {
           s.forms.compDupUser.Item(box).SetValue(Variant(true));
         }
         s.addin.QueueCompareAnswer(1);
         s.addin.QueueMessageAnswer(7);
         s.addin.QueueMessageAnswer(2);
       },
       u"Actions",
       "COMPARE 2/Uniques",
       "R2",
       {}},
      {"the parser splitting lines into columns on a new sheet",
       [](Side& s) {
         for (const char16_t* cell : {u"A1", u"A2", u"A3"}) s.Sheet().Range(cell).SetNumberFormat(u"@");
         Cells(s, {{u"A1", u"a,b,c"}, {u"A2", u"d,e,f"}, {u"A3", u"g,h,i"}});
         s.Sheet().Range(u"A1:A3").Select();
         s.forms.parse.Item(u"ParsingCtrlText").SetValue(Variant(Text(u",>o_")));
         s.forms.mailBox.Item(u"Message").SetCaption(u"$A$1:$A$3");
         s.addin.QueueMessageAnswer(7);
         s.addin.QueueMessageAnswer(2);
       },
       u"Parser",
       "Null",
       nullptr,
       {}},
      {"comments placed beside their cells",
       [](Side& s) {
         Cells(s, {{u"A1", u"a"}, {u"B3", u"b"}, {u"D9", u"c"}});
         for (const char16_t* cell : {u"A1", u"B3", u"D9"}) s.Sheet().Range(cell).AddComment(u"note");
         s.Sheet().Range(u"A1:B3").Select();
       },
       u"Actions",
       "Comments: Re-Position",
       nullptr,
       {}},
      {"the default page set-up",
       [](Side& s) {
         Cells(s, {{u"A1", u"x"}});
         s.Sheet().Range(u"A1:C9").Select();
       },
       u"SetUpPrinter",
       "Null",
       nullptr,
       {}},
  };
  return presses;
}

void PressBothWays(const Press& press) {
  std::cout << "case: " << press.name << "\n";
  InProcess direct;
  ThroughCom com;
  std::string transcripts[2];
  Side* sides[2] = {&direct, &com};
  for (int i = 0; i < 2; ++i) {
    Side& side = *sides[i];
    press.stage(side);
    std::vector<std::string> eventErrors;
    if (!press.queryEvents.empty()) {
      side.addin.QueueHook(u"MainUserFormHideOffsetShow", [&side, &press, &eventErrors](std::span<Variant>) {
        for (const Text& event : press.queryEvents) eventErrors.push_back(side.Event(event));
      });
    }
    const std::string error = side.Call(press.routine, FromUtf8(press.mode));
    transcripts[i] = Transcript(side, error);
    for (const std::string& e : eventErrors) transcripts[i] += "event: " + (e.empty() ? "ok" : e) + "\n";
  }
  CheckEqual(std::string(press.name) + ": through COM as linked in", transcripts[1], transcripts[0]);
  if (press.window != nullptr) {
    CheckEqual(std::string(press.name) + ": the Active Window", U8(host::ActiveWindowOf(com.forms.Forms()).Text()),
               press.window);
  }
  if (!press.queryEvents.empty()) {
    CHECK(transcripts[1].find("event: ok") != std::string::npos);
    CHECK(transcripts[1].find("FAULT LOCATOR") != std::string::npos);
  }
}

// ---------------------------------------------------------------------------------------
// The type library as the host compiles against it.

std::string NameOf(ITypeInfo* info, MEMBERID id) {
  BSTR name = nullptr;
  info->GetDocumentation(id, &name, nullptr, nullptr, nullptr);
  std::string out = U8(automation::FromBstr(name));
  SysFreeString(name);
  return out;
}

// The member's name, its kind and its parameters ("name:flags:type").
std::string Describe(ITypeInfo* info, const FUNCDESC& f) {
  BSTR names[16] = {};
  UINT count = 0;
  info->GetNames(f.memid, names, 16, &count);
  std::ostringstream out;
  out << U8(automation::FromBstr(names[0])) << " id=" << f.memid << " kind=" << f.invkind
      << " returns=" << f.elemdescFunc.tdesc.vt << " (";
  for (SHORT p = 0; p < f.cParams; ++p) {
    const ELEMDESC& e = f.lprgelemdescParam[p];
    const VARTYPE pointee = e.tdesc.vt == VT_PTR ? e.tdesc.lptdesc->vt : VARTYPE(0);
    out << (p ? ", " : "") << U8(automation::FromBstr(static_cast<UINT>(p + 1) < count ? names[p + 1] : nullptr)) << ":"
        << e.paramdesc.wParamFlags << ":" << e.tdesc.vt << "/" << pointee;
  }
  out << ")";
  for (UINT i = 0; i < count; ++i) SysFreeString(names[i]);
  return out.str();
}

std::string InterfaceOf(ITypeLib* library, REFIID iid) {
  ITypeInfo* dispatch = nullptr;
  if (FAILED(library->GetTypeInfoOfGuid(iid, &dispatch))) return "missing";
  // A dual interface: the vtable side carries the members in slot order.
  HREFTYPE ref = 0;
  ITypeInfo* info = dispatch;
  if (SUCCEEDED(dispatch->GetRefTypeOfImplType(-1, &ref))) dispatch->GetRefTypeInfo(ref, &info);
  TYPEATTR* attr = nullptr;
  info->GetTypeAttr(&attr);
  std::ostringstream out;
  out << NameOf(info, MEMBERID_NIL) << " kind=" << attr->typekind << " flags=" << attr->wTypeFlags << "\n";
  for (WORD i = 0; i < attr->cFuncs; ++i) {
    FUNCDESC* f = nullptr;
    info->GetFuncDesc(i, &f);
    out << "  " << Describe(info, *f) << "\n";
    info->ReleaseFuncDesc(f);
  }
  info->ReleaseTypeAttr(attr);
  if (info != dispatch) info->Release();
  dispatch->Release();
  return out.str();
}

void TypeLibrary() {
  std::cout << "case: the type library\n";
  ITypeLib* library = nullptr;
  CheckHr("LoadRegTypeLib", LoadRegTypeLib(LIBID_Quillary3, 1, 0, 0x0409, &library));
  if (library == nullptr) return;
  TLIBATTR* attr = nullptr;
  library->GetLibAttr(&attr);
  CHECK(attr->lcid == 0x0409 && attr->wMajorVerNum == 1 && attr->wMinorVerNum == 0);
  library->ReleaseTLibAttr(attr);
  BSTR name = nullptr;
  library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr);
  CheckEqual("library name", U8(automation::FromBstr(name)), "Quillary3");
  SysFreeString(name);

  // Hidden, dual, nonextensible and automation-compatible; every parameter in and out
  // (3), by reference (VT_PTR, 26) to an IDispatch (9) or a String (8); nothing returned
  // but the call's HRESULT (25); ExcelApp is a put-by-reference property (8), whose
  // value parameter has no name of its own.
  const int flags =
      TYPEFLAG_FHIDDEN | TYPEFLAG_FDUAL | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION | TYPEFLAG_FDISPATCHABLE;
  const std::string form = ":3:26/9";
  std::string forms;
  for (const char* f :
       {"vbaBigMsgForm", "vbaCompDupUserForm", "vbaLastWordFirstFilterForm", "vbaMainUserForm", "vbaQueryEndUserForm",
        "vbaQueryUserForm", "vbaWrapTextFirmForm", "vbaMailBoxForm", "vbaParseForm", "vbaToolsForm"}) {
    forms += std::string(f) + form + ", ";
  }
  CheckEqual("_ExcelConnect", InterfaceOf(library, IID__ExcelConnect),
             "_ExcelConnect kind=3 flags=" + std::to_string(flags) + "\n" +
                 "  ExcelApp id=1 kind=8 returns=25 (:3:26/9)\n" + "  QuillaryDLL id=2 kind=1 returns=25 (" + forms +
                 "vbaMode:3:26/8, GotoRoutine:3:26/8)\n");
  CheckEqual("_ExcelQueryFormConnect", InterfaceOf(library, IID__ExcelQueryFormConnect),
             "_ExcelQueryFormConnect kind=3 flags=" + std::to_string(flags) + "\n" +
                 "  ExcelApp id=1 kind=8 returns=25 (:3:26/9)\n" +
                 "  QuillaryQueryFormDLL id=2 kind=1 returns=25 (GotoRoutine:3:26/8)\n");
  for (const CLSID* clsid : {&CLSID_ExcelConnect, &CLSID_ExcelQueryFormConnect}) {
    ITypeInfo* info = nullptr;
    CheckHr("the class's type", library->GetTypeInfoOfGuid(*clsid, &info));
    if (info == nullptr) continue;
    TYPEATTR* a = nullptr;
    info->GetTypeAttr(&a);
    CHECK(a->typekind == TKIND_COCLASS && (a->wTypeFlags & TYPEFLAG_FCANCREATE) && a->cImplTypes == 1);
    INT implFlags = 0;
    info->GetImplTypeFlags(0, &implFlags);
    CHECK(implFlags & IMPLTYPEFLAG_FDEFAULT);
    info->ReleaseTypeAttr(a);
    info->Release();
  }
  library->Release();
}

// Late-bound, as a script host calls: the members by name, the forms and strings by
// reference in VARIANTs.
void LateBound() {
  std::cout << "case: late-bound calls\n";
  InProcess direct;  // only its stand-in is used
  StandIn standIn(direct.App());
  IDispatch* connect = Create<IDispatch>(L"Quillary3.ExcelConnect", IID_IDispatch);
  automation::Dispatch d(connect);
  connect->Release();
  IDispatch* application = standIn.Application();
  d.Put(u"ExcelApp", automation::Dispatch(application));
  application->Release();
  Cells(direct, {{u"A1", u"R5, R2"}, {u"A2", u"C1,R1"}, {u"A3", u"R3"}});
  direct.Sheet().Range(u"A1:A3").Select();
  forms::HostForms f = direct.forms.Forms();
  forms::UserForm* all[10] = {f.bigMsg,       f.compDupUser, f.lastWordFirstFilter, f.mainUser,
                              f.queryEndUser, f.queryUser,   f.wrapTextFirm,        f.mailBox,
                              f.parse,        f.tools};
  // The forms travel as objects: build the VARIANTs by hand.
  VARIANT values[12];
  VARIANT refs[12];
  for (int i = 0; i < 10; ++i) {
    VariantInit(&values[i]);
    values[i].vt = VT_DISPATCH;
    values[i].pdispVal = standIn.Form(*all[i]);
  }
  VariantInit(&values[10]);
  automation::FromVariant(Variant(Text(u"Null")), values[10]);
  VariantInit(&values[11]);
  automation::FromVariant(Variant(Text(u"GetSubtractSortCnt")), values[11]);
  for (int i = 0; i < 12; ++i) {
    refs[11 - i].vt = VT_BYREF | VT_VARIANT;
    refs[11 - i].pvarVal = &values[i];
  }
  DISPID id = 0;
  OLECHAR method[] = L"QuillaryDLL";
  LPOLESTR names[1] = {method};
  CheckHr("GetIDsOfNames", d.Get()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id));
  DISPPARAMS params{refs, nullptr, 12, 0};
  EXCEPINFO info{};
  CheckHr("Invoke QuillaryDLL",
          d.Get()->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, &info, nullptr));
  for (VARIANT& v : values) VariantClear(&v);
  CheckEqual("the Active Window", U8(host::ActiveWindowOf(direct.forms.Forms()).Text()), "R1-3,R5,C1");
  CheckEqual("the count", direct.addin.CommandBarCount() ? U8(*direct.addin.CommandBarCount()) : "", "Cnt= 5");
}

// A request without an active workbook returns at once; an error of a request reaches
// the host with the chain of routine names.
void EdgesOfARequest() {
  std::cout << "case: no workbook, and errors\n";
  {
    ThroughCom com;
    com.App().ActiveWorkbook()->Windows().Item(1L).Close();
    com.forms.mainUser.Item(u"Textbox1").SetText(u"kept");
    CheckEqual("no workbook", com.Call(u"GetSubtractSortCnt", u"Null"), "");
    CheckEqual("the window", U8(com.forms.mainUser.Item(u"Textbox1").Text()), "kept");
    CHECK(com.addin.Calls().empty());
  }
  {
    ThroughCom com;
    InProcess direct;
    Side* sides[2] = {&direct, &com};
    std::string errors[2];
    for (int i = 0; i < 2; ++i) {
      Cells(*sides[i], {{u"A1", u"R1"}});
      sides[i]->Sheet().Range(u"A1").Select();
      // A question nobody answers: the strict host refuses, and the error travels up.
      sides[i]->Sheet().Range(u"A1").SetValue(Variant());
      errors[i] = sides[i]->Call(u"GetSubtractSortCnt", u"Null");
    }
    CheckEqual("an error of a request", errors[1], errors[0]);
    CHECK(!errors[1].empty());
  }
}

// The members of the automation backend that reach more than one call of the
// application: the sheet's merged areas, WorksheetFunction.Lookup and the page set-up,
// over the stand-in exposed through IDispatch beside the stand-in itself.
void Backend() {
  std::cout << "case: the automation backend beside the in-memory one\n";
  InProcess direct;  // only its stand-in is used
  StandIn standIn(direct.App());
  IDispatch* application = standIn.Application();
  const std::unique_ptr<xl::Application> app = xl::automation::MakeApplication(automation::Dispatch(application));
  application->Release();
  xl::Worksheet& memory = direct.Sheet();
  xl::Worksheet& automated = *app->ActiveSheet();
  auto sorted = [&memory](std::vector<xl::Area> areas) {
    std::sort(areas.begin(), areas.end(), [](const xl::Area& a, const xl::Area& b) {
      return std::tie(a.row1, a.col1, a.row2, a.col2) < std::tie(b.row1, b.col1, b.row2, b.col2);
    });
    std::string out;
    for (const xl::Area& a : areas) out += U8(xl::Range(memory, a).Address()) + " ";
    return out;
  };

  // Merged areas: none on an empty sheet and on a sheet of values; then areas of every
  // shape, one on the used range's first cell, one across the middle of the used range,
  // a column and a row at its edges, neighbours touching.
  CheckEqual("no merged areas", sorted(automated.MergedAreas()), "");
  Cells(direct, {{u"A1", u"a"}, {u"H60", u"z"}});
  CheckEqual("no merged areas among values", sorted(automated.MergedAreas()), "");
  for (const char16_t* area : {u"A1:B2", u"C29:F32", u"H1:H60", u"A60:G60", u"C2:D2", u"C3:C4", u"E10"}) {
    memory.Range(area).Merge();
  }
  CheckEqual("merged areas", sorted(automated.MergedAreas()), sorted(memory.MergedAreas()));
  CHECK(automated.MergedAreas().size() == 6);  // E10 alone merges nothing

  // Lookup: found, below every element (error 1004 with the application's message),
  // texts without regard to case, values of other types passed over.
  const struct {
    Variant value;
    std::vector<Variant> vector;
    const char* found;  // the stand-in's answer
  } lookups[] = {{Variant(5), {Variant(1), Variant(4), Variant(9)}, "\"row 1\""},
                 {Variant(0),
                  {Variant(1), Variant(4), Variant(9)},
                  "error 1004 Unable to get the Lookup property of the WorksheetFunction class"},
                 {Variant(Text(u"M")), {Variant(-1), Variant(Text(u"m")), Variant(Text(u"z"))}, "\"row 1\""},
                 {Variant(3), {Variant(1), Variant(Text(u"x")), Variant(2), Variant(), Variant(4)}, "\"row 2\""}};
  for (const auto& l : lookups) {
    std::vector<Variant> result;
    for (std::size_t i = 0; i < l.vector.size(); ++i) result.emplace_back(Text(u"row ") + FromUtf8(std::to_string(i)));
    auto lookup = [&](xl::Application& a) -> std::string {
      try {
        return Describe(a.WorksheetFunction().Lookup(l.value, l.vector, result));
      } catch (const Error& e) {
        return "error " + std::to_string(e.Number()) + " " + e.Description();
      }
    };
    CheckEqual("Lookup of " + Describe(l.value) + " in the stand-in", lookup(direct.App()), l.found);
    CheckEqual("Lookup of " + Describe(l.value) + " through the backend", lookup(*app), l.found);
  }

  // The page set-up written through the backend is the stand-in's, and read back whole.
  xl::PageSetup page;
  page.PrintArea = u"$A$1:$C$9";
  page.CenterFooter = u"&P";
  page.TopMargin = 12.5;
  page.Zoom = Variant(false);
  page.FitToPagesTall = Variant(false);
  page.CenterVertically = true;
  automated.SetPageSetup(page);
  const xl::PageSetup stored = memory.GetPageSetup();
  CHECK(stored.PrintArea == page.PrintArea && stored.CenterFooter == page.CenterFooter && stored.TopMargin == 12.5 &&
        stored.Zoom == Variant(false) && stored.FitToPagesTall == Variant(false) && stored.CenterVertically);
  const xl::PageSetup read = automated.GetPageSetup();
  CHECK(read.PrintArea == page.PrintArea && read.TopMargin == 12.5 && read.LeftMargin == page.LeftMargin &&
        read.Zoom == Variant(false) && read.FitToPagesWide == Variant(1) && read.CenterVertically);
}

void Unregistered() {
  std::cout << "case: unregistered\n";
  CLSID clsid{};
  CHECK(FAILED(CLSIDFromProgID(L"Quillary3.ExcelConnect", &clsid)));
  CHECK(FAILED(CLSIDFromProgID(L"Quillary3.ExcelQueryFormConnect", &clsid)));
  ITypeLib* library = nullptr;
  CHECK(FAILED(LoadRegTypeLib(LIBID_Quillary3, 1, 0, 0x0409, &library)));
}

// Per-user registration: the keys under the user's classes.
void RegisteredForUser() {
  std::cout << "case: registered for the user\n";
  for (const wchar_t* key : {L"Software\\Classes\\Quillary3.ExcelConnect\\CLSID",
                             L"Software\\Classes\\Quillary3.ExcelQueryFormConnect\\CLSID",
                             L"Software\\Classes\\CLSID\\{0450767F-A599-4BC2-8A3D-1C50C00C9306}\\InprocServer32",
                             L"Software\\Classes\\TypeLib\\{8BF51AA2-5A8F-4358-B0EE-122122CEE31D}\\1.0"}) {
    HKEY handle = nullptr;
    const bool user = RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &handle) == ERROR_SUCCESS;
    if (handle != nullptr) RegCloseKey(handle);
    HKEY machine = nullptr;
    const bool global = RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_READ, &machine) == ERROR_SUCCESS;
    if (machine != nullptr) RegCloseKey(machine);
    if (!user || global) Fail("per-user key " + U8(std::u16string(reinterpret_cast<const char16_t*>(key))));
  }
}

}  // namespace
}  // namespace quillary::com::testing

int main(int argc, char** argv) {
  using namespace quillary::com::testing;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (!args.empty() && args[0] == "--unregistered") {
      Unregistered();
    } else if (!args.empty() && args[0] == "--user") {
      RegisteredForUser();
    } else {
      auto wanted = [&](const char* name) {
        return args.empty() || std::find(args.begin(), args.end(), name) != args.end();
      };
      if (wanted("typelib")) TypeLibrary();
      if (wanted("late-bound")) LateBound();
      if (wanted("edges")) EdgesOfARequest();
      if (wanted("backend")) Backend();
      if (wanted("presses")) {
        for (const Press& press : Presses()) PressBothWays(press);
      }
    }
  } catch (const std::exception& e) {
    std::cout << "  FAILED: " << e.what() << "\n";
    ++failures;
  }
  CoUninitialize();
  std::cout << (failures == 0 ? "ok\n" : "FAILED\n");
  return failures == 0 ? 0 : 1;
}
