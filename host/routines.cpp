#include "host/routines.h"

#include <string>

#include "host/working_sheet.h"
#include "platform/runtime/error.h"

namespace quillary::host {

namespace {

// The routine, or an error naming it when it is not part of this build.
template <class Fn>
const Fn& Require(const Fn& routine, const char* name) {
  if (!routine) NotInThisBuild(name);
  return routine;
}

constexpr RoutineName kRequests[] = {
    {u"SwapDsply", "swaps the Active Window between the main form's two text windows", &Routines::SwapActiveWindow,
     "swapdsply"},
    {u"GetSubtractSortCnt", "Get/Try: gathers, subtracts, sorts and counts the selection's Items",
     &Routines::GetSubtractSortCnt, "GetSubtractSortCnt"},
    {u"GetSubtractSortCntPasteTravel", "the block engine: counts or Items beside every block",
     &Routines::GetSortCntPasteTravel, "GetSortCntPasteTravel"},
    {u"Paste_V", "the block engine, results written downward", &Routines::GetSortCntPasteTravel,
     "GetSortCntPasteTravel"},
    {u"PasteRight", "the block engine, results written to the right", &Routines::GetSortCntPasteTravel,
     "GetSortCntPasteTravel"},
    {u"Actions", "runs the Action list entry given as the mode", &Routines::Actions, "Actions"},
    {u"GoQueryUserForm", "opens the Query form", &Routines::GoQueryUserForm, "GoQueryUserForm"},
    {u"WholeColRow", "trims entire columns or rows; answers 0 or 1 in MailBoxForm.Response", nullptr, nullptr,
     [](State& s, const Routines& r) {
       const Proceed result = Require(r.WholeColRow, "WholeColRow")(s);
       s.Control(ctl::mail::kResponse).SetCaption(result == Proceed::kGoOn ? u"0" : u"1");
     }},
    {u"InitPlace", "prepares the very hidden working sheet", nullptr, nullptr,
     [](State& s, const Routines&) { InitPlace(s, kList2); }},
    {u"SetUpPrinter", "gives the active sheet the default page set-up", &Routines::SetUpPrinter, "SetUpPrinter"},
    {u"Parser", "splits the selected text into columns by the parse form's script", &Routines::Parser, "Parser"},
};

constexpr RoutineName kEvents[] = {
    {u"NextButton_Click", "the Query form's Next button", &Routines::NextButton_Click, "NextButton_Click"},
    {u"NextButtonClick", "the Query form's Next button (search walk)", &Routines::NextButtonClick, "NextButtonClick"},
    {u"ReplaceButtonClick", "the Query form's Replace (or Undo) button", &Routines::ReplaceButtonClick,
     "ReplaceButtonClick"},
    {u"NextButtonDupsMode", "the Query form's Next button in the duplicates walk", &Routines::NextButtonDupsMode,
     "NextButtonDupsMode"},
    {u"nextbuttondupsmode2", "leaves the end of the duplicates walk", &Routines::nextbuttondupsmode2,
     "nextbuttondupsmode2"},
    {u"TextBox1Change", "the Query form's search text changed", &Routines::TextBox1Change, "TextBox1Change"},
    {u"TextBox2Change", "the Query form's replacement text changed", &Routines::TextBox2Change, "TextBox2Change"},
    {u"RemoveBookmark", "removes the bookmark comment of the found cell", &Routines::RemoveBookmark, "RemoveBookmark"},
    {u"diffdupsButtonClick", "jumps to the next different duplicated name", &Routines::diffdupsButtonClick,
     "diffdupsButtonClick"},
    {u"PlaceBookmark_True", "places a bookmark comment on the found cell", nullptr, nullptr,
     [](State& s, const Routines& r) {
       bool place = true;
       Require(r.PlaceBookmark, "PlaceBookmark")(s, place);
     }},
};

}  // namespace

void NotInThisBuild(const char* name) {
  Raise(err::kNoSuchMember, std::string("The routine \"") + name + "\" is not part of this build of the component.");
}

std::span<const RoutineName> RequestRoutines() { return kRequests; }

std::span<const RoutineName> QueryEvents() { return kEvents; }

void Run(const RoutineName& name, State& s, const Routines& routines) {
  if (name.run != nullptr) {
    name.run(s, routines);
  } else {
    Require(routines.*name.slot, name.routine)(s);
  }
}

const RoutineName* FindRoutine(std::span<const RoutineName> table, TextView name) {
  for (const RoutineName& r : table) {
    if (name == r.name) return &r;
  }
  return nullptr;
}

}  // namespace quillary::host
