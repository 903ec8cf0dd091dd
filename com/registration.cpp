#include "com/registration.h"

#include <oleauto.h>
#include <olectl.h>

#include <cstring>
#include <string>
#include <vector>

#include "com/quillary3.h"
#include "com/version.h"

extern "C" IMAGE_DOS_HEADER __ImageBase;

namespace quillary::com {

namespace {

// The universal marshaler of dual interfaces described by a type library.
constexpr wchar_t kTypeLibMarshaler[] = L"{00020424-0000-0000-C000-000000000046}";
constexpr wchar_t kLocale[] = L"409";
constexpr LCID kLcid = 0x0409;
#ifdef _WIN64
constexpr wchar_t kPlatform[] = L"win64";
constexpr wchar_t kOtherPlatform[] = L"win32";
constexpr SYSKIND kSysKind = SYS_WIN64;
// This width's keys, and the other width's, where the registry keeps them apart (the
// classes and the interfaces of HKEY_LOCAL_MACHINE, and on Windows of the user too).
constexpr REGSAM kOwnView = KEY_WOW64_64KEY;
constexpr REGSAM kOtherView = KEY_WOW64_32KEY;
#else
constexpr wchar_t kPlatform[] = L"win32";
constexpr wchar_t kOtherPlatform[] = L"win64";
constexpr SYSKIND kSysKind = SYS_WIN32;
constexpr REGSAM kOwnView = KEY_WOW64_32KEY;
constexpr REGSAM kOtherView = KEY_WOW64_64KEY;
#endif

std::wstring Wide(const char* text) { return std::wstring(text, text + std::strlen(text)); }

const std::wstring kLibraryVersion = Wide(QUILLARY_VERSION_TEXT);

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
std::wstring PathOf(const std::wstring& key) { return L"Software\\Classes\\" + key; }
std::wstring LibraryKey() { return L"TypeLib\\" + GuidText(LIBID_Quillary3); }
std::wstring VersionKey() { return LibraryKey() + L"\\" + kLibraryVersion; }
std::wstring InterfaceKey(const ClassEntry& c) { return L"Interface\\" + GuidText(*c.iid); }
std::wstring ClassKey(const ClassEntry& c) { return L"CLSID\\" + GuidText(*c.clsid); }

HRESULT Check(LSTATUS status) { return status == ERROR_SUCCESS ? S_OK : HRESULT_FROM_WIN32(status); }

// Sets a string value (the key's default value when `name` is null), making the key.
HRESULT SetText(Scope scope, const std::wstring& key, const wchar_t* name, const std::wstring& value,
                REGSAM view = kOwnView) {
  HKEY handle = nullptr;
  LSTATUS status = RegCreateKeyExW(RootOf(scope), PathOf(key).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                   KEY_WRITE | view, nullptr, &handle, nullptr);
  if (status != ERROR_SUCCESS) return Check(status);
  status = RegSetValueExW(handle, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                          static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(handle);
  return Check(status);
}

bool Exists(Scope scope, const std::wstring& key, REGSAM view = kOwnView) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(RootOf(scope), PathOf(key).c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return false;
  RegCloseKey(handle);
  return true;
}

// Whether the key has subkeys (false when it is not there).
bool HasSubkeys(Scope scope, const std::wstring& key, REGSAM view = kOwnView) {
  HKEY handle = nullptr;
  if (RegOpenKeyExW(RootOf(scope), PathOf(key).c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) return false;
  DWORD subkeys = 0;
  RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                   nullptr);
  RegCloseKey(handle);
  return subkeys != 0;
}

// Deletes the key with everything under it, then each parent left empty (no subkeys,
// no values) up to the top keys (CLSID, TypeLib, Interface), which stay.
HRESULT Delete(Scope scope, std::wstring key, REGSAM view = kOwnView) {
  HKEY handle = nullptr;
  LSTATUS status = RegOpenKeyExW(RootOf(scope), PathOf(key).c_str(), 0, KEY_ALL_ACCESS | view, &handle);
  if (status == ERROR_FILE_NOT_FOUND) return S_OK;
  if (status != ERROR_SUCCESS) return Check(status);
  status = RegDeleteTreeW(handle, nullptr);
  RegCloseKey(handle);
  if (status == ERROR_SUCCESS) status = RegDeleteKeyExW(RootOf(scope), PathOf(key).c_str(), view, 0);
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) return Check(status);
  for (std::size_t cut = key.rfind(L'\\'); cut != std::wstring::npos && key.find(L'\\') != cut;
       cut = key.rfind(L'\\')) {
    key.resize(cut);
    if (RegOpenKeyExW(RootOf(scope), PathOf(key).c_str(), 0, KEY_READ | view, &handle) != ERROR_SUCCESS) break;
    DWORD subkeys = 0, values = 0;
    RegQueryInfoKeyW(handle, nullptr, nullptr, nullptr, &subkeys, nullptr, nullptr, &values, nullptr, nullptr, nullptr,
                     nullptr);
    RegCloseKey(handle);
    if (subkeys != 0 || values != 0) break;
    RegDeleteKeyExW(RootOf(scope), PathOf(key).c_str(), view, 0);
  }
  return S_OK;
}

// The type library's keys and its interfaces' keys, written for the current user as the
// system writes them machine-wide (the system's own registration of a type library is
// machine-wide): the version key named by the library's help string, its FLAGS and its
// HELPDIR (the DLL's folder), this width's path under the locale, and each interface
// with the universal marshaler.
HRESULT RegisterLibraryForUser(ITypeLib* library, const std::wstring& path) {
  BSTR name = nullptr, help = nullptr;
  library->GetDocumentation(-1, &name, &help, nullptr, nullptr);
  const std::wstring title = help != nullptr && SysStringLen(help) != 0 ? help : (name != nullptr ? name : L"");
  SysFreeString(name);
  SysFreeString(help);
  TLIBATTR* attr = nullptr;
  HRESULT hr = library->GetLibAttr(&attr);
  if (FAILED(hr)) return hr;
  const std::wstring flags = std::to_wstring(attr->wLibFlags);
  library->ReleaseTLibAttr(attr);
  const std::wstring folder = path.substr(0, path.find_last_of(L'\\'));
  const std::wstring version = VersionKey();
  hr = SetText(Scope::kUser, version, nullptr, title);
  if (SUCCEEDED(hr)) hr = SetText(Scope::kUser, version + L"\\FLAGS", nullptr, flags);
  // As the system does, a help folder already there (the other width's) stays.
  if (SUCCEEDED(hr) && !Exists(Scope::kUser, version + L"\\HELPDIR")) {
    hr = SetText(Scope::kUser, version + L"\\HELPDIR", nullptr, folder);
  }
  if (SUCCEEDED(hr)) hr = SetText(Scope::kUser, version + L"\\" + kLocale + L"\\" + kPlatform, nullptr, path);
  for (const ClassEntry& c : kClasses) {
    const std::wstring face = InterfaceKey(c);
    if (SUCCEEDED(hr)) hr = SetText(Scope::kUser, face, nullptr, c.face);
    if (SUCCEEDED(hr)) hr = SetText(Scope::kUser, face + L"\\ProxyStubClsid", nullptr, kTypeLibMarshaler);
    if (SUCCEEDED(hr)) hr = SetText(Scope::kUser, face + L"\\ProxyStubClsid32", nullptr, kTypeLibMarshaler);
    if (SUCCEEDED(hr)) hr = SetText(Scope::kUser, face + L"\\TypeLib", nullptr, GuidText(LIBID_Quillary3));
    if (SUCCEEDED(hr)) hr = SetText(Scope::kUser, face + L"\\TypeLib", L"Version", kLibraryVersion);
  }
  return hr;
}

// Removes this width's registration of the type library as the system removes it: while
// the other width's path is registered, only this width's path goes (the library's
// keys and its interfaces are the other width's too); with none left, everything.
HRESULT UnregisterLibrary(Scope scope) {
  const std::wstring locale = VersionKey() + L"\\" + kLocale;
  if (Exists(scope, locale + L"\\" + kOtherPlatform)) return Delete(scope, locale + L"\\" + kPlatform);
  HRESULT hr = S_OK;
  if (scope == Scope::kMachine) {
    hr = UnRegisterTypeLib(LIBID_Quillary3, QUILLARY_VERSION_MAJOR, QUILLARY_VERSION_MINOR, kLcid, kSysKind);
    if (hr == TYPE_E_REGISTRYACCESS || hr == TYPE_E_LIBNOTREGISTERED) hr = S_OK;
  } else {
    hr = Delete(scope, VersionKey());
    for (const ClassEntry& c : kClasses) {
      if (SUCCEEDED(hr)) hr = Delete(scope, InterfaceKey(c));
    }
  }
  // The library's key, which the system leaves empty once no version is left.
  if (SUCCEEDED(hr) && Exists(scope, LibraryKey()) && !HasSubkeys(scope, LibraryKey()))
    hr = Delete(scope, LibraryKey());
  return hr;
}

HRESULT RegisterClasses(Scope scope, const std::wstring& path) {
  HRESULT hr = S_OK;
  for (const ClassEntry& c : kClasses) {
    const std::wstring key = ClassKey(c);
    if (SUCCEEDED(hr)) hr = SetText(scope, key, nullptr, c.name);
    if (SUCCEEDED(hr)) hr = SetText(scope, key + L"\\InprocServer32", nullptr, path);
    if (SUCCEEDED(hr)) hr = SetText(scope, key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    if (SUCCEEDED(hr)) hr = SetText(scope, key + L"\\ProgID", nullptr, c.progId);
    if (SUCCEEDED(hr)) hr = SetText(scope, key + L"\\TypeLib", nullptr, GuidText(LIBID_Quillary3));
    if (SUCCEEDED(hr)) hr = SetText(scope, key + L"\\Version", nullptr, kLibraryVersion);
    if (SUCCEEDED(hr)) hr = SetText(scope, c.progId, nullptr, c.name);
    if (SUCCEEDED(hr)) hr = SetText(scope, std::wstring(c.progId) + L"\\CLSID", nullptr, GuidText(*c.clsid));
  }
  return hr;
}

// Removes this width's classes and its ProgIDs. Where the registry keeps one ProgID for
// both widths (Windows), the other width's registration needs it: it is written back
// for the other width while that width's class is registered.
HRESULT UnregisterClasses(Scope scope) {
  HRESULT result = S_OK;
  for (const ClassEntry& c : kClasses) {
    HRESULT hr = Delete(scope, ClassKey(c));
    if (SUCCEEDED(hr)) hr = Delete(scope, c.progId);
    if (SUCCEEDED(hr) && Exists(scope, ClassKey(c) + L"\\InprocServer32", kOtherView) &&
        !Exists(scope, c.progId, kOtherView)) {
      hr = SetText(scope, c.progId, nullptr, c.name, kOtherView);
      if (SUCCEEDED(hr))
        hr = SetText(scope, std::wstring(c.progId) + L"\\CLSID", nullptr, GuidText(*c.clsid), kOtherView);
    }
    if (FAILED(hr)) result = hr;
  }
  return result;
}

HRESULT RegisterAll(Scope scope, const std::wstring& path) {
  HRESULT hr = RegisterClasses(scope, path);
  if (FAILED(hr)) return hr;
  ITypeLib* library = nullptr;
  hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, &library);
  if (FAILED(hr)) return hr;
  if (scope == Scope::kUser) {
    hr = RegisterLibraryForUser(library, path);
  } else {
    std::wstring writable = path;
    hr = RegisterTypeLib(library, writable.data(), nullptr);
  }
  library->Release();
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
  if (path.empty()) return HRESULT_FROM_WIN32(GetLastError());
  const HRESULT hr = RegisterAll(scope, path);
  // A registration that failed part-way is taken back (the other width's stays), and
  // the reason goes to the caller: access denied, for one.
  if (FAILED(hr)) Unregister(scope);
  return hr;
}

HRESULT Unregister(Scope scope) {
  const HRESULT classes = UnregisterClasses(scope);
  const HRESULT library = UnregisterLibrary(scope);
  return FAILED(classes) ? classes : library;
}

}  // namespace quillary::com
