// Times Get/Try presses of N Items (one a cell, CountIndex# designators) through the
// in-process server, where every Excel call is a late-bound call into the stand-in
// exposed through IDispatch, beside the same press on the component linked in on the
// same stand-in; prints both times, the late-bound calls made (Invoke) and the names
// looked up (GetIDsOfNames), each a call into the application, the count shown, and
// the members called most.
// The server must be registered (scripts/com.sh registers it for its tests; or
// regsvr32 quillary3.dll in the prefix).
//
//   quillary_com_bench [N ...]     (default 10000)
#include <objbase.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

#include "com/stand_in/hosts.h"

namespace quillary::com::testing {
namespace {

void Press(long n) {
  std::printf("Get/Try of %ld Items, one a cell:\n", n);
  InProcess direct;
  ThroughCom com;
  Side* sides[2] = {&direct, &com};
  const char* names[2] = {"linked in  ", "through COM"};
  const Text area = u"A1:A" + FromUtf8(std::to_string(n));
  std::vector<Variant> values;
  for (long k = 0; k < n; ++k) values.emplace_back(FromUtf8("R" + std::to_string(k * 2 + 1)));
  for (int i = 0; i < 2; ++i) {
    Side& side = *sides[i];
    side.Sheet().Range(area).SetValues(values);
    side.Sheet().Range(area).Select();
    side.addin.SetStrict(false);
    const long callsBefore = Adapter::CallCount();
    const long lookupsBefore = Adapter::NameLookups();
    const std::map<Text, long> membersBefore = Adapter::CallsByMember();
    const auto start = std::chrono::steady_clock::now();
    const std::string error = side.Call(u"GetSubtractSortCnt", u"Null");
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const long calls = Adapter::CallCount() - callsBefore;
    const long lookups = Adapter::NameLookups() - lookupsBefore;
    std::printf("  %s %9.3f s  %9ld calls (%.2f per 1,000 Items)  %8ld name look-ups  %s%s\n", names[i], seconds, calls,
                1000.0 * static_cast<double>(calls) / static_cast<double>(n), lookups,
                ToUtf8(side.forms.mainUser.Item(u"Label2").Caption()).c_str(), error.empty() ? "" : error.c_str());
    if (calls == 0) continue;
    std::vector<std::pair<long, Text>> members;
    for (const auto& [name, count] : Adapter::CallsByMember()) {
      const auto before = membersBefore.find(name);
      const long made = count - (before == membersBefore.end() ? 0 : before->second);
      if (made > 0) members.emplace_back(made, name);
    }
    std::sort(members.rbegin(), members.rend());
    std::printf("    most called:");
    for (std::size_t k = 0; k < members.size() && k < 8; ++k) {
      std::printf(" %s %ld", ToUtf8(members[k].second).c_str(), members[k].first);
    }
    std::printf("\n");
  }
}

}  // namespace
}  // namespace quillary::com::testing

int main(int argc, char** argv) {
  if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) return 2;
  std::vector<long> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::stol(argv[i]));
  if (sizes.empty()) sizes.push_back(10000);
  int status = 0;
  try {
    for (long n : sizes) quillary::com::testing::Press(n);
  } catch (const std::exception& e) {
    std::printf("failed: %s\n", e.what());
    status = 1;
  }
  CoUninitialize();
  return status;
}
