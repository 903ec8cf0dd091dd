#include "com/registration.h"

#include <oleauto.h>
#include <olectl.h>

#include <string>
#include <vector>

#include "com/quillary3.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace quillary::com {

namespace {

// The universal marshaler of dual interfaces described by a type library.
constexpr wchar_t kTypeLibMarshaler[] = L"{00020424-0000-0000-C000-000000000046}";
constexpr wchar_t kLibraryVersion[] = L"1.0";
#ifdef _WIN64
constexpr wchar_t kPlatform[] = L"win64";
constexpr SYSKIND kSysKind = SYS_WIN64;
#else
constexpr wchar_t kPlatform[] = L"win32";
constexpr SYSKIND kSysKind = SYS_WIN32;
#endif

struct ClassEntry {
  const CLSID* clsid;
  const IID* iid;
  const wchar_t* name;    // the class
  const wchar_t* face;    // its interface
  const wchar_t* progId;  // Quillary3.<class>
};

const ClassEntry kClasses[] = {
    {&CLSID_ExcelConnect, &IID__ExcelConnect, L"ExcelConnect", L"_ExcelConnect", L"Quillary3.ExcelConnect"},
    {&CLSID_ExcelQueryFormConnect, &IID__ExcelQueryFormConnect, L"ExcelQueryFormConnect", L"_ExcelQueryFormConnect",
     L"Quillary3.ExcelQueryFormConnect"},
};

std::wstring GuidText(const GUID& guid) {
  wchar_t text[40] = {};
  StringFromGUID2(guid, text, 40);
  return text;
}

HKEY RootOf(Scope scope) { return scope == Scope::kUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE; }

// Sets a string value (the key's default value when `name` is null), making the key.
LSTATUS SetText(Scope scope, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
  HKEY handle = nullptr;
  const std::wstring path = L"Software\\Classes\\" + key;
  LSTATUS status = RegCreateKeyExW(RootOf(scope), path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr,
                                   &handle, nullptr);
  if (status != ERROR_SUCCESS) return status;
  status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return status;
}

LSTATUS DeleteTree(Scope scope, const std::wstring& key) {
  const std::wstring path = L"Software\\Classes\\" + key;
  const LSTATUS status = RegDeleteTreeW(RootOf(scope), path.c_str());
  if (status == ERROR_SUCCESS) RegDeleteKeyW(RootOf(scope), path.c_str());
  return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

HRESULT Check(LSTATUS status) { return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status); }

// The type library's keys and its interfaces' keys, written by hand for the current user
// (the system's own registration of a type library is machine-wide).
HRESULT RegisterLibraryForUser(const std::wstring& path) {
  const std::wstring library = L"TypeLib\\" + GuidText(LIBID_Quillary3) + L"\\" + kLibraryVersion;
  HRESULT hr = Check(SetText(Scope::kUser, library, nullptr, L"Quillary3"));
  if (SUCCEEDED(hr)) hr = Check(SetText(Scope::kUser, library + L"\\409\\" + kPlatform, nullptr, path));
  if (SUCCEEDED(hr)) hr = Check(SetText(Scope::kUser, library + L"\\FLAGS", nullptr, L"0"));
  for (const ClassEntry& c : kClasses) {
    const std::wstring face = L"Interface\\" + GuidText(*c.iid);
    if (SUCCEEDED(hr)) hr = Check(SetText(Scope::kUser, face, nullptr, c.face));
    if (SUCCEEDED(hr)) hr = Check(SetText(Scope::kUser, face + L"\\ProxyStubClsid32", nullptr, kTypeLibMarshaler));
    if (SUCCEEDED(hr)) hr = Check(SetText(Scope::kUser, face + L"\\TypeLib", nullptr, GuidText(LIBID_Quillary3)));
    if (SUCCEEDED(hr)) hr = Check(SetText(Scope::kUser, face + L"\\TypeLib", L"Version", kLibraryVersion));
  }
  return hr;
}

}  // namespace

std::wstring ModulePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(reinterpret_cast<HMODULE>(&__ImageBase), path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return L"";
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

HRESULT Register(Scope scope) {
  const std::wstring path = ModulePath();
  if (path.empty()) return SELFREG_E_CLASS;
  for (const ClassEntry& c : kClasses) {
    const std::wstring clsid = GuidText(*c.clsid);
    const std::wstring key = L"CLSID\\" + clsid;
    HRESULT hr = Check(SetText(scope, key, nullptr, c.name));
    if (SUCCEEDED(hr)) hr = Check(SetText(scope, key + L"\\InprocServer32", nullptr, path));
    if (SUCCEEDED(hr)) hr = Check(SetText(scope, key + L"\\InprocServer32", L"ThreadingModel", L"Apartment"));
    if (SUCCEEDED(hr)) hr = Check(SetText(scope, key + L"\\ProgID", nullptr, c.progId));
    if (SUCCEEDED(hr)) hr = Check(SetText(scope, key + L"\\TypeLib", nullptr, GuidText(LIBID_Quillary3)));
    if (SUCCEEDED(hr)) hr = Check(SetText(scope, key + L"\\Version", nullptr, kLibraryVersion));
    if (SUCCEEDED(hr)) hr = Check(SetText(scope, c.progId, nullptr, c.name));
    if (SUCCEEDED(hr)) hr = Check(SetText(scope, std::wstring(c.progId) + L"\\CLSID", nullptr, clsid));
    if (FAILED(hr)) return SELFREG_E_CLASS;
  }
  if (scope == Scope::kUser) return FAILED(RegisterLibraryForUser(path)) ? SELFREG_E_TYPELIB : S_OK;
  ITypeLib* library = nullptr;
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
  if (SUCCEEDED(hr)) {
    std::wstring writable = path;
    hr = RegisterTypeLib(library, writable.data(), nullptr);
    library->Release();
  }
  return FAILED(hr) ? SELFREG_E_TYPELIB : S_OK;
}

HRESULT Unregister(Scope scope) {
  HRESULT result = S_OK;
  for (const ClassEntry& c : kClasses) {
    if (FAILED(Check(DeleteTree(scope, L"CLSID\\" + GuidText(*c.clsid))))) result = SELFREG_E_CLASS;
    if (FAILED(Check(DeleteTree(scope, c.progId)))) result = SELFREG_E_CLASS;
  }
  if (scope == Scope::kUser) {
    if (FAILED(Check(DeleteTree(scope, L"TypeLib\\" + GuidText(LIBID_Quillary3))))) result = SELFREG_E_TYPELIB;
    for (const ClassEntry& c : kClasses) {
      if (FAILED(Check(DeleteTree(scope, L"Interface\\" + GuidText(*c.iid))))) result = SELFREG_E_TYPELIB;
    }
    return result;
  }
  const HRESULT hr = UnRegisterTypeLib(LIBID_Quillary3, 1, 0, 0x0409, kSysKind);
  if (FAILED(hr) && hr != TYPE_E_REGISTRYACCESS && hr != TYPE_E_LIBNOTREGISTERED) result = SELFREG_E_TYPELIB;
  return result;
}

}  // namespace quillary::com
