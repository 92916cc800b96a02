// Self-registration driven by the embedded type library: the ProgID and CLSID keys of each
// creatable class, then the type library itself; unregistration removes exactly those.
// clang-format off
#include <windows.h>
#include <olectl.h>
// clang-format on

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/module_info.h"
#include "platform/text.h"
#include "platform/windows/automation_values.h"
#include "platform/windows/component/server.h"

namespace platform::windows {

namespace {

// A failed registration step: its result code and its reason.
struct RegistrationError : std::runtime_error {
  RegistrationError(HRESULT code, const std::string& reason) : std::runtime_error(reason), code(code) {}
  HRESULT code;
};

std::wstring Wide(std::string_view text) {
  const std::u16string wide = FromUtf8(text);
  return {wide.begin(), wide.end()};
}

std::wstring GuidText(const GUID& id) {
  wchar_t text[40];
  StringFromGUID2(id, text, 40);
  return text;
}

std::string Reason(LONG status) { return SystemMessage(static_cast<DWORD>(status)); }

// Sets the value `name` (the default value when empty) of the key `path` under `root`.
void SetValue(HKEY root, const std::wstring& path, const wchar_t* name, const std::wstring& value) {
  HKEY key = nullptr;
  LSTATUS status = RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
  if (status == ERROR_SUCCESS) {
    status = RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
  }
  if (status != ERROR_SUCCESS) {
    throw RegistrationError(SELFREG_E_CLASS, "cannot write the registry key " +
                                                 ToUtf8(std::u16string(path.begin(), path.end())) + ": " +
                                                 Reason(status));
  }
}

void RemoveKey(HKEY root, const std::wstring& path) {
  const LSTATUS status = RegDeleteTreeW(root, path.c_str());
  if (status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND) return;
  throw RegistrationError(SELFREG_E_CLASS, "cannot remove the registry key " +
                                               ToUtf8(std::u16string(path.begin(), path.end())) + ": " +
                                               Reason(status));
}

struct ClassKeys {
  std::wstring prog_id;  // Library.Class
  std::wstring class_name;
  std::wstring class_id;
};

// The creatable classes of the server with their CLSIDs from the type library.
std::vector<ClassKeys> CreatableClasses(const InProcessServer& server) {
  std::vector<ClassKeys> classes;
  for (const auto& c : server.classes()) {
    if (!c.create) continue;
    ITypeInfo* type = FindType(c.info.name);
    if (type == nullptr)
      throw RegistrationError(SELFREG_E_CLASS, "the type library has no class " + c.info.name);
    classes.push_back(
        {Wide(server.library() + "." + c.info.name), Wide(c.info.name), GuidText(GuidOf(*type))});
    type->Release();
  }
  return classes;
}

std::wstring ModulePath() { return Wide(ThisModulePath()); }

template <class Step>
HRESULT Registering(Step&& step) noexcept {
  try {
    step();
    return S_OK;
  } catch (const RegistrationError& e) {
    SetErrorInfo(e.what());
    return e.code;
  } catch (const std::exception& e) {
    SetErrorInfo(e.what());
  } catch (...) {
    SetErrorInfo("a failure of unknown kind");
  }
  return SELFREG_E_CLASS;
}

ITypeLib& Library() {
  ITypeLib* library = ModuleTypeLibrary();
  if (library == nullptr) throw RegistrationError(SELFREG_E_TYPELIB, "the module has no type library");
  return *library;
}

}  // namespace

HRESULT RegisterServer(const InProcessServer& server, HKEY root) {
  return Registering([&] {
    ITypeLib& library = Library();
    TLIBATTR* attributes = nullptr;
    library.GetLibAttr(&attributes);
    const std::wstring library_id = GuidText(attributes->guid);
    const std::wstring version =
        std::to_wstring(attributes->wMajorVerNum) + L"." + std::to_wstring(attributes->wMinorVerNum);
    library.ReleaseTLibAttr(attributes);
    const std::wstring module = ModulePath();
    for (const auto& c : CreatableClasses(server)) {
      SetValue(root, c.prog_id, nullptr, c.class_name);
      SetValue(root, c.prog_id + L"\\CLSID", nullptr, c.class_id);
      const std::wstring class_key = L"CLSID\\" + c.class_id;
      SetValue(root, class_key, nullptr, c.prog_id);
      SetValue(root, class_key + L"\\InprocServer32", nullptr, module);
      SetValue(root, class_key + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
      SetValue(root, class_key + L"\\ProgID", nullptr, c.prog_id);
      SetValue(root, class_key + L"\\TypeLib", nullptr, library_id);
      SetValue(root, class_key + L"\\Version", nullptr, version);
    }
    const HRESULT registered = RegisterTypeLib(&library, const_cast<wchar_t*>(module.c_str()), nullptr);
    if (FAILED(registered)) {
      throw RegistrationError(SELFREG_E_TYPELIB, "cannot register the type library: " + Reason(registered));
    }
  });
}

HRESULT UnregisterServer(const InProcessServer& server, HKEY root) {
  return Registering([&] {
    ITypeLib& library = Library();
    for (const auto& c : CreatableClasses(server)) {
      RemoveKey(root, c.prog_id);
      RemoveKey(root, L"CLSID\\" + c.class_id);
    }
    TLIBATTR* attributes = nullptr;
    library.GetLibAttr(&attributes);
    const HRESULT removed =
        UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum,
                          attributes->lcid, attributes->syskind);
    library.ReleaseTLibAttr(attributes);
    if (FAILED(removed) && removed != TYPE_E_REGISTRYACCESS) {
      throw RegistrationError(SELFREG_E_TYPELIB, "cannot unregister the type library: " + Reason(removed));
    }
  });
}

}  // namespace platform::windows
