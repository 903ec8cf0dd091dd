// Registration of the two classes and the type library: machine-wide (under
// HKEY_LOCAL_MACHINE\Software\Classes, as regsvr32 does it) or for the current user
// only (under HKEY_CURRENT_USER\Software\Classes, as regsvr32 /n /i:user does it).
#pragma once

#include <windows.h>

#include <string>

namespace quillary::com {

enum class Scope { kMachine, kUser };

// The full path of this DLL.
std::wstring ModulePath();

HRESULT Register(Scope scope);
HRESULT Unregister(Scope scope);

}  // namespace quillary::com
