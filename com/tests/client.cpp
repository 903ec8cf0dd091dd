// The test client of the in-process server: it plays the host add-in. It exposes the
// in-memory stand-in of the spreadsheet application, the host's forms and macros through
// IDispatch (stand_in.h), creates Quillary3.ExcelConnect by its ProgID and sends the
// requests a user's presses make, and runs the same requests on the component linked in
// directly, on a stand-in of its own: both must leave the same Active Window, labels,
// messages, clipboard and sheets.
//
//   quillary_com_client [CASE...]        typelib, late-bound, refusals, edges, backend, names,
//                                        addresses, calls, presses (all by default)
//   quillary_com_client --foreign-unwinder  an error of the server with another libgcc loaded
//   quillary_com_client --user | --user-removed | --removed | --widths
//                                        the registry after registering for the user, after
//                                        removing that, after removing everything; and a
//                                        registration beside the other width's
#include <objbase.h>
#include <oleauto.h>
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <cwchar>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "com/quillary3.h"
#include "com/stand_in/hosts.h"
#include "com/version.h"
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

// Every other cell of column A from row 1 down, `count` areas of one cell: their
// addresses joined with commas pass 255 characters from 44 areas on.
std::vector<xl::Area> SpreadCells(long count) {
  std::vector<xl::Area> areas;
  for (long k = 0; k < count; ++k) areas.push_back(xl::Area{2 * k + 1, 1, 2 * k + 1, 1});
  return areas;
}

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
      {"Get/Try of a selection whose address passes 255 characters",
       [](Side& s) {
         // Each cell holds the number of its row: R1, R3, ... R119, no two in a run.
         const std::vector<xl::Area> areas = SpreadCells(60);
         for (const xl::Area& a : areas) {
           s.Sheet().Cells(a.row1, 1).SetValue(Variant(u"R" + FromUtf8(std::to_string(a.row1))));
         }
         xl::Range(s.Sheet(), areas).Select();
       },
       u"GetSubtractSortCnt",
       "Null",
       [] {
         static std::string window;
         for (const xl::Area& a : SpreadCells(60)) window += (window.empty() ? "R" : ",R") + std::to_string(a.row1);
         return window.c_str();
       }(),
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
  CheckHr("LoadRegTypeLib",
          LoadRegTypeLib(LIBID_Quillary3, QUILLARY_VERSION_MAJOR, QUILLARY_VERSION_MINOR, 0x0409, &library));
  if (library == nullptr) return;
  TLIBATTR* attr = nullptr;
  library->GetLibAttr(&attr);
  CHECK(attr->lcid == 0x0409 && attr->wMajorVerNum == 1 && attr->wMinorVerNum == 0);
  library->ReleaseTLibAttr(attr);
  BSTR name = nullptr, help = nullptr;
  library->GetDocumentation(-1, &name, &help, nullptr, nullptr);
  CheckEqual("library name", U8(automation::FromBstr(name)), "Quillary3");
  CheckEqual("library help string", U8(automation::FromBstr(help)), QUILLARY_LIBRARY_DESCRIPTION);
  SysFreeString(name);
  SysFreeString(help);

  // The registered DLL's version resource: the type library's version, its help string
  // as the description.
  BSTR path = nullptr;
  CheckHr("QueryPathOfRegTypeLib",
          QueryPathOfRegTypeLib(LIBID_Quillary3, QUILLARY_VERSION_MAJOR, QUILLARY_VERSION_MINOR, 0x0409, &path));
  DWORD ignored = 0;
  std::vector<BYTE> block(GetFileVersionInfoSizeW(path, &ignored));
  CHECK(!block.empty() && GetFileVersionInfoW(path, 0, static_cast<DWORD>(block.size()), block.data()));
  SysFreeString(path);
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  if (!block.empty() && VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length)) {
    CHECK(fixed->dwFileVersionMS == MAKELONG(QUILLARY_VERSION_MINOR, QUILLARY_VERSION_MAJOR));
    CHECK(fixed->dwProductVersionMS == MAKELONG(QUILLARY_VERSION_MINOR, QUILLARY_VERSION_MAJOR));
  } else {
    Fail("the DLL has no version resource");
  }
  for (auto [key, want] :
       {std::pair{L"FileDescription", QUILLARY_LIBRARY_DESCRIPTION}, std::pair{L"FileVersion", QUILLARY_VERSION_TEXT},
        std::pair{L"ProductVersion", QUILLARY_VERSION_TEXT}}) {
    wchar_t* text = nullptr;
    const std::wstring query = std::wstring(L"\\StringFileInfo\\040904B0\\") + key;
    if (block.empty() || !VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&text), &length)) {
      Fail("the version resource has no " + U8(std::u16string(key, key + std::wcslen(key))));
    } else {
      CheckEqual(U8(std::u16string(key, key + std::wcslen(key))), U8(std::u16string(text, text + std::wcslen(text))),
                 want);
    }
  }

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

// The error object of the calling thread: "source|description", or "" when none is set.
std::string ThreadError() {
  IErrorInfo* info = nullptr;
  if (GetErrorInfo(0, &info) != S_OK || info == nullptr) return "";
  BSTR source = nullptr, description = nullptr;
  info->GetSource(&source);
  info->GetDescription(&description);
  const std::string out = U8(automation::FromBstr(source)) + "|" + U8(automation::FromBstr(description));
  SysFreeString(source);
  SysFreeString(description);
  info->Release();
  return out;
}

// Leaves an error object of someone else on the thread, as another component would.
void PlantError() {
  ICreateErrorInfo* create = nullptr;
  if (FAILED(CreateErrorInfo(&create))) return;
  create->SetSource(const_cast<LPOLESTR>(L"another component"));
  create->SetDescription(const_cast<LPOLESTR>(L"planted"));
  IErrorInfo* info = nullptr;
  create->QueryInterface(IID_IErrorInfo, reinterpret_cast<void**>(&info));
  SetErrorInfo(0, info);
  info->Release();
  create->Release();
}

std::string Hex(HRESULT hr) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%08lX", static_cast<unsigned long>(hr));
  return text;
}

// Late-bound calls whose arguments do not fit get the standard dispatch failure, the
// index of the argument (in DISPPARAMS order) and an error object of the server naming
// the argument and what it must be; an error of the component comes back as
// DISP_E_EXCEPTION with its own number and words. An error object another component
// left on the thread never comes back as the server's.
void Refusals() {
  std::cout << "case: refused late-bound calls\n";
  InProcess direct;  // only its stand-in is used: a workbook-less application
  direct.App().ActiveWorkbook()->Windows().Item(1L).Close();
  StandIn standIn(direct.App());
  IDispatch* connect = Create<IDispatch>(L"Quillary3.ExcelConnect", IID_IDispatch);
  IDispatch* query = Create<IDispatch>(L"Quillary3.ExcelQueryFormConnect", IID_IDispatch);
  IDispatch* application = standIn.Application();

  // The arguments in the member's order (an array where `arrayAt` says, left out where
  // `leftOutAt` says); `named` gives the dispatch identifiers of the arguments when they
  // are passed by name.
  struct Case {
    const char* what;
    IDispatch* object;
    DISPID member;
    WORD flags;
    std::vector<Variant> args;
    int arrayAt;
    int leftOutAt;
    std::vector<DISPID> named;
    HRESULT want;
    long argErr;        // -1: left as it was
    const char* words;  // in the server's error object, or its exception
  };
  std::vector<Variant> request(12);  // the ten forms Nothing (Empty)
  request[10] = Variant(Text(u"Null"));
  request[11] = Variant(Text(u"GetSubtractSortCnt"));
  auto with = [&request](std::size_t i, Variant value) {
    std::vector<Variant> v = request;
    v[i] = std::move(value);
    return v;
  };
  const std::vector<Variant> event = {Variant(Text(u"NextButtonClick"))};
  const std::vector<Case> cases = {
      {"too few arguments",
       connect,
       2,
       DISPATCH_METHOD,
       std::vector<Variant>(request.begin(), request.begin() + 3),
       -1,
       -1,
       {},
       DISP_E_BADPARAMCOUNT,
       -1,
       "QuillaryDLL takes 12 arguments, not 3"},
      {"a form that is a text",
       connect,
       2,
       DISPATCH_METHOD,
       with(3, Variant(Text(u"form"))),
       -1,
       -1,
       {},
       DISP_E_TYPEMISMATCH,
       8,
       "Argument 4 of QuillaryDLL (vbaMainUserForm) must be a form (an object) or Nothing"},
      {"a mode that is an array",
       connect,
       2,
       DISPATCH_METHOD,
       request,
       10,
       -1,
       {},
       DISP_E_TYPEMISMATCH,
       1,
       "Argument 11 of QuillaryDLL (vbaMode) must be a String"},
      {"a left-out routine name",
       connect,
       2,
       DISPATCH_METHOD,
       request,
       -1,
       11,
       {},
       DISP_E_PARAMNOTOPTIONAL,
       0,
       "Argument 12 of QuillaryDLL (GotoRoutine) is left out; it is required"},
      {"an unknown member",
       connect,
       77,
       DISPATCH_METHOD,
       {},
       -1,
       -1,
       {},
       DISP_E_MEMBERNOTFOUND,
       -1,
       "Quillary3.ExcelConnect has no member with the dispatch identifier 77"},
      {"ExcelApp read",
       query,
       1,
       DISPATCH_PROPERTYGET,
       {},
       -1,
       -1,
       {},
       DISP_E_MEMBERNOTFOUND,
       -1,
       "ExcelApp can only be set"},
      {"the event set as a property",
       query,
       2,
       DISPATCH_PROPERTYPUT,
       event,
       -1,
       -1,
       {DISPID_PROPERTYPUT},
       DISP_E_MEMBERNOTFOUND,
       -1,
       "QuillaryQueryFormDLL is a method"},
      {"an unknown argument name",
       query,
       2,
       DISPATCH_METHOD,
       event,
       -1,
       -1,
       {5},
       DISP_E_PARAMNOTFOUND,
       0,
       "QuillaryQueryFormDLL has no parameter with the dispatch identifier 5"},
      {"ExcelApp set to a number",
       connect,
       1,
       DISPATCH_PROPERTYPUT,
       {Variant(3)},
       -1,
       -1,
       {DISPID_PROPERTYPUT},
       DISP_E_TYPEMISMATCH,
       0,
       "must be the application object or Nothing"},
      {"a request without the application",
       connect,
       2,
       DISPATCH_METHOD,
       request,
       -1,
       -1,
       {},
       DISP_E_EXCEPTION,
       -1,
       "Object variable or With block variable not set"},
      {"the arguments by name, in another order",
       connect,
       2,
       DISPATCH_METHOD,
       request,
       -1,
       -1,
       {11, 10, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0},
       S_OK,
       -1,
       ""},
  };
  for (const Case& c : cases) {
    if (c.want == S_OK) automation::Dispatch(connect).Put(u"ExcelApp", automation::Dispatch(application));
    // rgvarg: positional arguments in reverse order; by name, rgvarg[k] is named[k]'s.
    const std::size_t n = c.args.size();
    std::vector<VARIANT> raw(n);
    for (std::size_t k = 0; k < n; ++k) {
      const bool byName = !c.named.empty() && c.named[k] >= 0;
      const std::size_t i = byName ? static_cast<std::size_t>(c.named[k]) % n : n - 1 - k;
      VariantInit(&raw[k]);
      if (static_cast<int>(i) == c.arrayAt) {
        raw[k].vt = VT_ARRAY | VT_VARIANT;
        raw[k].parray = automation::MakeArray(1, 1, std::vector<Variant>{Variant(1)});
      } else if (static_cast<int>(i) == c.leftOutAt) {
        raw[k].vt = VT_ERROR;
        raw[k].scode = DISP_E_PARAMNOTFOUND;
      } else {
        automation::FromVariant(c.args[i], raw[k]);
      }
    }
    std::vector<DISPID> named = c.named;
    DISPPARAMS params{raw.data(), named.empty() ? nullptr : named.data(), static_cast<UINT>(n),
                      static_cast<UINT>(named.size())};
    EXCEPINFO exception{};
    UINT argErr = 12345;
    PlantError();
    const HRESULT hr =
        c.object->Invoke(c.member, IID_NULL, LOCALE_USER_DEFAULT, c.flags, &params, nullptr, &exception, &argErr);
    std::string words = ThreadError();
    if (hr == DISP_E_EXCEPTION) {
      words =
          U8(automation::FromBstr(exception.bstrSource)) + "|" + U8(automation::FromBstr(exception.bstrDescription));
      CheckEqual(std::string(c.what) + ": the exception's code", Hex(exception.scode),
                 Hex(MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, err::kObjectNotSet)));
    }
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
    for (VARIANT& v : raw) VariantClear(&v);
    CheckEqual(std::string(c.what) + ": the result", Hex(hr), Hex(c.want));
    CheckEqual(std::string(c.what) + ": the argument", std::to_string(argErr),
               std::to_string(c.argErr < 0 ? 12345 : c.argErr));
    if (c.want != S_OK && words.find(c.words) == std::string::npos) {
      Fail(std::string(c.what) + ": the words \"" + words + "\" do not say \"" + c.words + "\"");
    }
    if (c.want != S_OK && words.find("planted") != std::string::npos)
      Fail(std::string(c.what) + ": another's error object came back");
  }
  application->Release();
  query->Release();
  connect->Release();
}

// With another module's libgcc loaded into the process before the server (another
// MinGW-built add-in of the same host), an error of the component still reaches the
// caller as an error: the server's unwind tables are its own libgcc's, whatever else
// the process holds. Run alone, before anything loads the server.
void ForeignUnwinder() {
  std::cout << "case: another libgcc in the process\n";
  const wchar_t* foreign = sizeof(void*) == 8 ? L"libgcc_s_seh-1.dll" : L"libgcc_s_dw2-1.dll";
  CHECK(GetModuleHandleW(L"quillary3.dll") == nullptr);
  const HMODULE library = LoadLibraryW(foreign);
  CHECK(library != nullptr);
  _ExcelConnect* connect = Create<_ExcelConnect>(L"Quillary3.ExcelConnect", IID__ExcelConnect);
  CHECK(GetModuleHandleW(L"quillary3.dll") != nullptr);
  IDispatch* forms[10] = {};
  BSTR mode = SysAllocString(L"Null");
  BSTR routine = SysAllocString(L"GetSubtractSortCnt");
  // No ExcelApp: the component raises error 91 inside, and it must come back.
  const HRESULT hr = connect->QuillaryDLL(&forms[0], &forms[1], &forms[2], &forms[3], &forms[4], &forms[5], &forms[6],
                                          &forms[7], &forms[8], &forms[9], &mode, &routine);
  CheckEqual("the error of a request without the application", Hex(hr),
             Hex(MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, err::kObjectNotSet)));
  CHECK(ThreadError().find("Object variable or With block variable not set") != std::string::npos);
  SysFreeString(mode);
  SysFreeString(routine);
  connect->Release();
  CHECK(GetModuleHandleW(foreign) == library);
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

// Ranges whose address is longer than the 255 characters the application's Range takes
// and its Address gives, made, selected, read back, cleared and joined through the
// backend, beside ranges within the limit.
void LongAddresses() {
  std::cout << "case: ranges whose address passes 255 characters\n";
  InProcess direct;
  StandIn standIn(direct.App());
  IDispatch* application = standIn.Application();
  const std::unique_ptr<xl::Application> app = xl::automation::MakeApplication(automation::Dispatch(application));
  application->Release();
  xl::Worksheet& memory = direct.Sheet();
  xl::Worksheet& automated = *app->ActiveSheet();
  auto listed = [](std::span<const xl::Area> areas) {
    std::string out;
    for (const xl::Area& a : areas) {
      out += std::to_string(a.row1) + "," + std::to_string(a.col1) + ":" + std::to_string(a.row2) + "," +
             std::to_string(a.col2) + " ";
    }
    return out;
  };
  for (const long count : {3L, 43L, 44L, 120L}) {
    const std::string what = std::to_string(count) + " areas: ";
    const std::vector<xl::Area> areas = SpreadCells(count);
    const xl::Range spread(automated, areas);
    const Text address = xl::Range(memory, areas).Address();
    CHECK((address.size() > 255) == (count >= 44));
    for (const xl::Area& a : areas) memory.Cells(a.row1, a.col1).SetValue(Variant(Text(u"x")));

    spread.Select();
    CheckEqual(what + "the selection", listed(app->Selection()->AreaList()), listed(areas));
    CheckEqual(what + "the sheet's selection", listed(memory.SelectionAreas()), listed(areas));
    CheckEqual(what + "Range of the address", listed(automated.Range(address).AreaList()), listed(areas));
    CheckEqual(what + "the union with a cell", listed(app->Union(spread, automated.Range(u"C1")).AreaList()),
               listed(xl::Range(memory, areas).AreaList()) + "1,3:1,3 ");
    CheckEqual(what + "the rectangle spanning a range's first area and a cell",
               listed(automated.Range(spread, automated.Range(u"B4")).AreaList()), "1,1:4,2 ");
    spread.ClearContents();
    CheckEqual(what + "the cells left after ClearContents", std::to_string(memory.UsedRange().Count()), "1");
  }
  // The stand-in keeps the application's limits: its Range refuses a reference of more
  // than 255 characters, and its Address holds the areas that fit in 255.
  IDispatch* sheetObject = standIn.Of(memory);
  const automation::Dispatch sheet(sheetObject);
  sheetObject->Release();
  const Text full = xl::Range(memory, SpreadCells(60)).Address();
  try {
    sheet.Object(u"Range", {automation::Arg(Variant(full))});
    Fail("the stand-in's Range took a reference of " + std::to_string(full.size()) + " characters");
  } catch (const Error& e) {
    CheckEqual("the stand-in's Range of a long reference", std::to_string(e.Number()), "1004");
  }
  IDispatch* spreadObject = standIn.Of(xl::Range(memory, SpreadCells(60)));
  const automation::Dispatch spread(spreadObject);
  spreadObject->Release();
  const Text cut = spread.Value(u"Address").AsText();
  CHECK(cut.size() <= 255 && cut.size() > 240 && full.starts_with(cut + u","));
}

// Get/Try of a column of Items through the server reads and writes the sheets an area at
// a time: it makes far fewer calls into the application than there are Items (about 620
// for 4,000, most of them the same for any number of Items: the host macros, the forms'
// captions, names), and the press ends as it does linked in. One call an Item more,
// anywhere, would pass the bound.
void CallsPerItem() {
  std::cout << "case: calls into the application per Item\n";
  constexpr long kItems = 4000;
  constexpr long kMostCalls = kItems / 4;
  InProcess direct;
  ThroughCom com;
  std::vector<Variant> values;
  for (long k = 0; k < kItems; ++k) values.emplace_back(u"R" + FromUtf8(std::to_string(2 * k + 1)));
  std::string shown[2];
  long calls = 0;
  Side* sides[2] = {&direct, &com};
  for (int i = 0; i < 2; ++i) {
    Side& side = *sides[i];
    const Text area = u"A1:A" + FromUtf8(std::to_string(kItems));
    side.Sheet().Range(area).SetValues(values);
    side.Sheet().Range(area).Select();
    const long before = Adapter::CallCount();
    const std::string error = side.Call(u"GetSubtractSortCnt", u"Null");
    calls = Adapter::CallCount() - before;
    shown[i] = error + U8(side.forms.mainUser.Item(u"Label2").Caption());
  }
  CheckEqual("Get/Try of a column through COM as linked in", shown[1], shown[0]);
  CheckEqual("the Items counted", shown[0], "Count = 4,000");
  if (calls > kMostCalls) {
    Fail(std::to_string(calls) + " calls into the application for " + std::to_string(kItems) + " Items");
  }
}

// Two kinds of object that know Name under different dispatch identifiers, and an
// object whose Item returns them in turn.
class FirstKind final : public Adapter {
 public:
  FirstKind() {
    Member(u"Kind", [](Call& c) { c.Return(Variant(Text(u"first"))); });
    Member(u"Name", [](Call& c) { c.Return(Variant(Text(u"first's name"))); });
  }
};
class SecondKind final : public Adapter {
 public:
  SecondKind() {
    Member(u"Name", [](Call& c) { c.Return(Variant(Text(u"second's name"))); });
  }
};
class Alternating final : public Adapter {
 public:
  Alternating() {
    Member(u"Item", [this](Call& c) {
      c.ReturnObject(first_ ? static_cast<IDispatch*>(new FirstKind()) : new SecondKind());
      first_ = !first_;
    });
  }

 private:
  bool first_ = true;
};

// The backend asks each name once per kind of object: reading and writing cells again
// and again asks no more, and objects of two kinds from one member each get their own.
void NamesLookedUpOnce() {
  std::cout << "case: names looked up once\n";
  InProcess direct;
  StandIn standIn(direct.App());
  IDispatch* application = standIn.Application();
  const std::unique_ptr<xl::Application> app = xl::automation::MakeApplication(automation::Dispatch(application));
  application->Release();
  xl::Worksheet& sheet = *app->ActiveSheet();
  auto round = [&sheet](long row) {
    sheet.Range(u"A" + FromUtf8(std::to_string(row))).SetValue(Variant(Text(u"R1")));
    std::vector<Variant> values;
    sheet.Range(u"A1:B9").Values(values);
    sheet.Range(u"A1:B1").SetValues(std::vector<Variant>{Variant(1), Variant(2)});
    return Describe(sheet.Cells(row, 1).Value()) + Describe(sheet.Cells(1, 2).Value());
  };
  round(1);
  const long before = Adapter::NameLookups();
  for (long row = 2; row <= 20; ++row) CheckEqual("a cell written and read", round(row), "\"R1\"2");
  CheckEqual("names looked up again", std::to_string(Adapter::NameLookups() - before), "0");

  auto* alternating = new Alternating();
  const automation::Dispatch items(alternating);
  alternating->Release();
  std::string names;
  for (int k = 0; k < 4; ++k) names += Describe(items.Object(u"Item").Value(u"Name")) + " ";
  CheckEqual("Name of each kind", names, "\"first's name\" \"second's name\" \"first's name\" \"second's name\" ");
}

void Unregistered() {
  std::cout << "case: unregistered\n";
  CLSID clsid{};
  CHECK(FAILED(CLSIDFromProgID(L"Quillary3.ExcelConnect", &clsid)));
  CHECK(FAILED(CLSIDFromProgID(L"Quillary3.ExcelQueryFormConnect", &clsid)));
  ITypeLib* library = nullptr;
  CHECK(FAILED(LoadRegTypeLib(LIBID_Quillary3, QUILLARY_VERSION_MAJOR, QUILLARY_VERSION_MINOR, 0x0409, &library)));
}

// ---------------------------------------------------------------------------------------
// Registration, as the registry holds it.

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

// The keys of the server under Software\Classes: the type library, the interfaces,
// the classes and their ProgIDs.
std::vector<std::wstring> ServerKeys() {
  return {L"TypeLib\\" + GuidText(LIBID_Quillary3),
          L"Interface\\" + GuidText(IID__ExcelConnect),
          L"Interface\\" + GuidText(IID__ExcelQueryFormConnect),
          L"CLSID\\" + GuidText(CLSID_ExcelConnect),
          L"CLSID\\" + GuidText(CLSID_ExcelQueryFormConnect),
          L"Quillary3.ExcelConnect",
          L"Quillary3.ExcelQueryFormConnect"};
}

constexpr wchar_t kTypeLibMarshaler[] = L"{00020424-0000-0000-C000-000000000046}";
constexpr REGSAM kOwnView = sizeof(void*) == 8 ? KEY_WOW64_64KEY : KEY_WOW64_32KEY;
constexpr REGSAM kOtherView = sizeof(void*) == 8 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;

// Every key and value under `key` ("path|value name" -> data), the paths relative to
// Software\Classes.
void Walk(HKEY root, REGSAM view, const std::wstring& key, std::map<std::string, std::string>& out) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(root, (L"Software\\Classes\\" + key).c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return;
  const std::string path = U8(std::u16string(key.begin(), key.end()));
  out[path] = "";
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD nameLength = 256, type = 0;
    BYTE data[2048];
    DWORD size = sizeof data;
    if (RegEnumValueW(handle, i, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS) break;
    const std::wstring text(reinterpret_cast<const wchar_t*>(data), size / sizeof(wchar_t));
    out[path + "|" + U8(std::u16string(name, name + nameLength))] =
        U8(std::u16string(text.begin(), std::find(text.begin(), text.end(), L'\0')));
  }
  std::vector<std::wstring> subkeys;
  for (DWORD i = 0;; ++i) {
    wchar_t name[256];
    DWORD length = 256;
    if (RegEnumKeyExW(handle, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    subkeys.emplace_back(name, length);
  }
  RegCloseKey(handle);
  for (const std::wstring& sub : subkeys) Walk(root, view, key + L"\\" + sub, out);
}

// The server's keys in one scope and view.
std::map<std::string, std::string> Snapshot(HKEY root, REGSAM view) {
  std::map<std::string, std::string> out;
  for (const std::wstring& key : ServerKeys()) Walk(root, view, key, out);
  return out;
}

std::string Listing(const std::map<std::string, std::string>& keys) {
  std::string out;
  for (const auto& [key, value] : keys) out += key + (value.empty() ? "" : " = " + value) + "\n";
  return out;
}

// All four: each scope, each width's view.
std::string Everything() {
  return "machine:\n" + Listing(Snapshot(HKEY_LOCAL_MACHINE, kOwnView)) + "machine, other width:\n" +
         Listing(Snapshot(HKEY_LOCAL_MACHINE, kOtherView)) + "user:\n" +
         Listing(Snapshot(HKEY_CURRENT_USER, kOwnView)) + "user, other width:\n" +
         Listing(Snapshot(HKEY_CURRENT_USER, kOtherView));
}

// Per-user registration beside the machine-wide one: the same keys and values (the
// library's name, FLAGS, HELPDIR, the interfaces, the classes) under the user's classes.
void RegisteredForUser() {
  std::cout << "case: registered for the user as machine-wide\n";
  const std::map<std::string, std::string> user = Snapshot(HKEY_CURRENT_USER, kOwnView);
  CHECK(!user.empty());
  CheckEqual("the per-user registration", Listing(user), Listing(Snapshot(HKEY_LOCAL_MACHINE, kOwnView)));
}

// After the per-user removal: nothing of the server under the user's classes, not even
// an empty key; the machine-wide registration is whole.
void RemovedForUser() {
  std::cout << "case: removed for the user\n";
  CheckEqual("the per-user keys", Listing(Snapshot(HKEY_CURRENT_USER, kOwnView)), "");
  ITypeLib* library = nullptr;
  CheckHr("LoadRegTypeLib",
          LoadRegTypeLib(LIBID_Quillary3, QUILLARY_VERSION_MAJOR, QUILLARY_VERSION_MINOR, 0x0409, &library));
  if (library != nullptr) library->Release();
  CLSID clsid{};
  CheckHr("CLSIDFromProgID", CLSIDFromProgID(L"Quillary3.ExcelConnect", &clsid));
}

// After the machine-wide removal: nothing of the server anywhere, not even an empty key.
void RemovedEverywhere() {
  Unregistered();
  CheckEqual("the server's keys", Everything(), "machine:\nmachine, other width:\nuser:\nuser, other width:\n");
}

// Writes a key's default value (or a named one), in a view.
void Plant(HKEY root, REGSAM view, const std::wstring& key, const wchar_t* name, const std::wstring& value,
           DWORD options = REG_OPTION_NON_VOLATILE) {
  HKEY handle = nullptr;
  CHECK(RegCreateKeyExW(root, (L"Software\\Classes\\" + key).c_str(), 0, nullptr, options, KEY_WRITE | view, nullptr,
                        &handle, nullptr) == ERROR_SUCCESS);
  if (handle == nullptr) return;
  RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
}

// The other width's registration as the system and its own registration write it:
// machine-wide its classes and ProgIDs in its view of the registry, the interfaces in
// both views (as the system registers them) and the type library (which both widths
// share) with its path; for the user, its type library path and interfaces (the user's
// classes of both widths are one key under Wine, so they are not planted there).
void PlantOtherWidth() {
  const wchar_t* other = sizeof(void*) == 8 ? L"win32" : L"win64";
  const std::wstring path = L"C:\\Other\\quillary3.dll";
  const std::wstring version = L"TypeLib\\" + GuidText(LIBID_Quillary3) + L"\\" + QUILLARY_VERSION_WTEXT;
  for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    Plant(root, kOtherView, version, nullptr, L"" QUILLARY_LIBRARY_DESCRIPTION);
    Plant(root, kOtherView, version + L"\\FLAGS", nullptr, L"8");
    Plant(root, kOtherView, version + L"\\HELPDIR", nullptr, L"C:\\Other");
    Plant(root, kOtherView, version + L"\\409\\" + other, nullptr, path);
  }
  const struct {
    const IID* iid;
    const CLSID* clsid;
    const wchar_t* face;
    const wchar_t* name;
    const wchar_t* progId;
  } classes[] = {
      {&IID__ExcelConnect, &CLSID_ExcelConnect, L"_ExcelConnect", L"ExcelConnect", L"Quillary3.ExcelConnect"},
      {&IID__ExcelQueryFormConnect, &CLSID_ExcelQueryFormConnect, L"_ExcelQueryFormConnect", L"ExcelQueryFormConnect",
       L"Quillary3.ExcelQueryFormConnect"}};
  for (const auto& c : classes) {
    const std::wstring face = L"Interface\\" + GuidText(*c.iid);
    for (auto [root, view] : {std::pair{HKEY_LOCAL_MACHINE, kOwnView}, std::pair{HKEY_LOCAL_MACHINE, kOtherView},
                              std::pair{HKEY_CURRENT_USER, kOtherView}}) {
      Plant(root, view, face, nullptr, c.face);
      Plant(root, view, face + L"\\ProxyStubClsid", nullptr, kTypeLibMarshaler);
      Plant(root, view, face + L"\\ProxyStubClsid32", nullptr, kTypeLibMarshaler);
      Plant(root, view, face + L"\\TypeLib", nullptr, GuidText(LIBID_Quillary3));
      Plant(root, view, face + L"\\TypeLib", L"Version", QUILLARY_VERSION_WTEXT);
    }
    const std::wstring key = L"CLSID\\" + GuidText(*c.clsid);
    Plant(HKEY_LOCAL_MACHINE, kOtherView, key, nullptr, c.name);
    Plant(HKEY_LOCAL_MACHINE, kOtherView, key + L"\\InprocServer32", nullptr, path);
    Plant(HKEY_LOCAL_MACHINE, kOtherView, c.progId, nullptr, c.name);
    Plant(HKEY_LOCAL_MACHINE, kOtherView, std::wstring(c.progId) + L"\\CLSID", nullptr, GuidText(*c.clsid));
  }
}

// A registration that cannot be written says why and takes back what it wrote; the
// registration of this width beside the other width's, in either scope, and its
// removal, leave exactly what the other width had. The DLL is loaded from the current
// folder and its exports called as regsvr32 calls them; the other width's keys are left
// in the prefix.
void Widths() {
  std::cout << "case: registration beside the other width's\n";
  const HMODULE dll = LoadLibraryW(L".\\quillary3.dll");
  CHECK(dll != nullptr);
  if (dll == nullptr) return;
  using Entry = HRESULT(STDAPICALLTYPE*)();
  using Install = HRESULT(STDAPICALLTYPE*)(BOOL, LPCWSTR);
  const auto registerServer =
      reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll, "DllRegisterServer")));
  const auto unregisterServer =
      reinterpret_cast<Entry>(reinterpret_cast<void*>(GetProcAddress(dll, "DllUnregisterServer")));
  const auto install = reinterpret_cast<Install>(reinterpret_cast<void*>(GetProcAddress(dll, "DllInstall")));
  // The user's ProgID key made volatile (a key of the session only): the registration
  // cannot write below it, says so, and takes back what it wrote.
  Plant(HKEY_CURRENT_USER, kOwnView, L"Quillary3.ExcelConnect", nullptr, L"session", REG_OPTION_VOLATILE);
  CheckEqual("a registration that cannot be written", Hex(install(TRUE, L"user")),
             Hex(HRESULT_FROM_WIN32(ERROR_CHILD_MUST_BE_VOLATILE)));
  CheckEqual("what a failed registration leaves", Everything(),
             "machine:\nmachine, other width:\nuser:\nuser, other width:\n");

  PlantOtherWidth();
  const std::string other = Everything();
  const struct {
    const char* scope;
    std::function<HRESULT()> add, remove;
    HKEY root;
  } scopes[] = {{"machine-wide", registerServer, unregisterServer, HKEY_LOCAL_MACHINE},
                {"for the user", [&] { return install(TRUE, L"user"); }, [&] { return install(FALSE, L"user"); },
                 HKEY_CURRENT_USER}};
  for (const auto& s : scopes) {
    CheckHr(s.scope, s.add());
    const std::string both = Listing(Snapshot(s.root, kOwnView));
    const std::string platforms = sizeof(void*) == 8 ? "\\409\\win32" : "\\409\\win64";
    CHECK(both.find(platforms) != std::string::npos);
    CheckHr(s.scope, s.remove());
    CheckEqual(std::string("registered and removed ") + s.scope + " beside the other width", Everything(), other);
  }

  FreeLibrary(dll);
}

}  // namespace
}  // namespace quillary::com::testing

int main(int argc, char** argv) {
  using namespace quillary::com::testing;
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  std::vector<std::string> args(argv + 1, argv + argc);
  try {
    if (!args.empty() && args[0] == "--foreign-unwinder") {
      ForeignUnwinder();
    } else if (!args.empty() && args[0] == "--user") {
      RegisteredForUser();
    } else if (!args.empty() && args[0] == "--user-removed") {
      RemovedForUser();
    } else if (!args.empty() && args[0] == "--removed") {
      RemovedEverywhere();
    } else if (!args.empty() && args[0] == "--widths") {
      Widths();
    } else {
      auto wanted = [&](const char* name) {
        return args.empty() || std::find(args.begin(), args.end(), name) != args.end();
      };
      if (wanted("typelib")) TypeLibrary();
      if (wanted("late-bound")) LateBound();
      if (wanted("refusals")) Refusals();
      if (wanted("edges")) EdgesOfARequest();
      if (wanted("backend")) Backend();
      if (wanted("names")) NamesLookedUpOnce();
      if (wanted("addresses")) LongAddresses();
      if (wanted("calls")) CallsPerItem();
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
