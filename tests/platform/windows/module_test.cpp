// orbelt.dll as a Windows host meets it: loaded beside this test program and used through its
// four entry points, its class factory, IDispatch and its embedded type library.
// clang-format off
#include <windows.h>
#include <oleauto.h>
// clang-format on

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

#include "platform/component.h"
#include "platform/text.h"
#include "platform/windows/automation_values.h"

namespace {

using platform::windows::FromBstr;
using platform::windows::VariantHolder;

std::wstring Wide(std::string_view text) {
  const std::u16string wide = platform::FromUtf8(text);
  return {wide.begin(), wide.end()};
}

std::wstring GuidText(const GUID& id) {
  wchar_t text[40];
  StringFromGUID2(id, text, 40);
  return text;
}

// The module the build names in ORBELT_ADDIN (a path of the build machine, on drive Z: under
// Wine), else orbelt.dll beside this program.
std::wstring ModulePath() {
  if (const char* given = std::getenv("ORBELT_ADDIN"); given != nullptr && given[0] != '\0') {
    std::wstring path = Wide(given);
    std::replace(path.begin(), path.end(), L'/', L'\\');
    return path.front() == L'\\' ? L"Z:" + path : path;
  }
  wchar_t self[MAX_PATH];
  const std::wstring path(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
  return path.substr(0, path.find_last_of(L'\\') + 1) + L"orbelt.dll";
}

class WindowsModule : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    path_ = ModulePath();
    module_ = LoadLibraryW(path_.c_str());
    ASSERT_NE(module_, nullptr);
    ASSERT_EQ(LoadTypeLibEx(path_.c_str(), REGKIND_NONE, &library_), S_OK);
  }

  template <class Function>
  static Function Entry(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  static HRESULT Call(const char* entry) { return Entry<HRESULT(STDAPICALLTYPE*)()>(entry)(); }

  // A type of the library by name, and the guid and names of one of its types.
  static ITypeInfo* Type(const std::string& name) {
    std::wstring text = Wide(name);
    ITypeInfo* info = nullptr;
    MEMBERID member = 0;
    USHORT found = 1;
    EXPECT_EQ(library_->FindName(text.data(), 0, &info, &member, &found), S_OK) << name;
    return found == 1 ? info : nullptr;
  }
  static GUID GuidOf(ITypeInfo* info) {
    TYPEATTR* attributes = nullptr;
    info->GetTypeAttr(&attributes);
    const GUID id = attributes->guid;
    info->ReleaseTypeAttr(attributes);
    return id;
  }
  static GUID ClassId(const std::string& name) { return GuidOf(Type(name)); }

  static inline std::wstring path_;
  static inline HMODULE module_ = nullptr;
  static inline ITypeLib* library_ = nullptr;
};

std::string NameOf(ITypeInfo* info, MEMBERID member) {
  BSTR name = nullptr;
  info->GetDocumentation(member, &name, nullptr, nullptr, nullptr);
  std::string text = platform::ToUtf8(FromBstr(name));
  SysFreeString(name);
  return text;
}

// The classes of the C++ tables, their default interfaces and operations in declared order.
TEST_F(WindowsModule, TypeLibraryListsTheClassTables) {
  std::vector<std::string> coclasses;
  for (UINT i = 0; i < library_->GetTypeInfoCount(); ++i) {
    TYPEKIND kind;
    library_->GetTypeInfoType(i, &kind);
    BSTR name = nullptr;
    library_->GetDocumentation(static_cast<INT>(i), &name, nullptr, nullptr, nullptr);
    if (kind == TKIND_COCLASS) coclasses.push_back(platform::ToUtf8(FromBstr(name)));
    SysFreeString(name);
  }
  std::vector<std::string> classes;
  for (const auto& c : platform::ModuleServer().TypeLibrary().classes) {
    classes.push_back(c.name);
    ITypeInfo* co_class = Type(c.name);
    ASSERT_NE(co_class, nullptr);
    HREFTYPE reference = 0;
    ITypeInfo* interface_info = nullptr;
    co_class->GetRefTypeOfImplType(0, &reference);
    co_class->GetRefTypeInfo(reference, &interface_info);
    EXPECT_EQ(NameOf(interface_info, MEMBERID_NIL), c.default_interface.name);
    TYPEATTR* attributes = nullptr;
    interface_info->GetTypeAttr(&attributes);
    std::vector<std::string> operations;
    for (UINT f = 0; f < attributes->cFuncs; ++f) {
      FUNCDESC* function = nullptr;
      interface_info->GetFuncDesc(f, &function);
      operations.push_back(NameOf(interface_info, function->memid));
      interface_info->ReleaseFuncDesc(function);
    }
    interface_info->ReleaseTypeAttr(attributes);
    EXPECT_EQ(operations, c.default_interface.operations) << c.name;
    interface_info->Release();
    co_class->Release();
  }
  std::sort(coclasses.begin(), coclasses.end());
  std::sort(classes.begin(), classes.end());
  EXPECT_EQ(coclasses, classes);
}

std::wstring Value(HKEY root, const std::wstring& key, const wchar_t* name = nullptr) {
  wchar_t text[MAX_PATH] = L"";
  DWORD size = sizeof text;
  if (RegGetValueW(root, key.c_str(), name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return L"-";
  return text;
}

bool Exists(HKEY root, const std::wstring& key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

// Per-user registration as an installer does it: the classes root redirected to a key of the user.
TEST_F(WindowsModule, RegistersItsCreatableClassAndLibraryThenRemovesExactlyThem) {
  const wchar_t* kRoot = L"Software\\OrbeltRegistrationTest";
  RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
  HKEY root = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRoot, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &root, nullptr),
            0);
  RegSetKeyValueW(root, L"Other.Thing", nullptr, REG_SZ, L"x", 4);
  ASSERT_EQ(RegOverridePredefKey(HKEY_CLASSES_ROOT, root), ERROR_SUCCESS);

  ASSERT_EQ(Call("DllRegisterServer"), S_OK);
  const std::wstring clsid = GuidText(ClassId("COrbelt"));
  const std::wstring key = L"CLSID\\" + clsid;
  TLIBATTR* library = nullptr;
  library_->GetLibAttr(&library);
  const std::wstring library_id = GuidText(library->guid);
  library_->ReleaseTLibAttr(library);
  const std::vector<std::pair<std::wstring, std::wstring>> expected = {
      {Value(root, L"Orbelt.COrbelt"), L"COrbelt"},
      {Value(root, L"Orbelt.COrbelt\\CLSID"), clsid},
      {Value(root, key), L"Orbelt.COrbelt"},
      {Value(root, key + L"\\InprocServer32"), path_},
      {Value(root, key + L"\\InprocServer32", L"ThreadingModel"), L"Apartment"},
      {Value(root, key + L"\\ProgID"), L"Orbelt.COrbelt"},
      {Value(root, key + L"\\TypeLib"), library_id},
      {Value(root, key + L"\\Version"), L"1.3"},
  };
  for (const auto& [found, wanted] : expected) EXPECT_EQ(found, wanted);
  EXPECT_FALSE(Exists(root, L"Orbelt.CBPMNRules"));
  EXPECT_TRUE(Exists(root, L"TypeLib\\" + library_id + L"\\1.3"));

  ASSERT_EQ(Call("DllUnregisterServer"), S_OK);
  for (const auto& gone : {std::wstring(L"Orbelt.COrbelt"), key, L"TypeLib\\" + library_id}) {
    EXPECT_FALSE(Exists(root, gone));
  }
  EXPECT_EQ(Value(root, L"Other.Thing"), L"x");
  RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
  RegCloseKey(root);
  RegDeleteTreeW(HKEY_CURRENT_USER, kRoot);
}

// A repository of the host that answers by name: a host build (or a failure reading it) and
// no technology installed. It records the members called with their dispatch flags.
class Repository final : public IDispatch {
 public:
  explicit Repository(bool build_fails) : build_fails_(build_fails) {}
  std::vector<std::string> calls;
  ULONG references = 1;

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    *out = id == IID_IUnknown || id == IID_IDispatch ? this : nullptr;
    if (*out == nullptr) return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return ++references; }
  ULONG STDMETHODCALLTYPE Release() override { return --references; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return *count = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* ids) override {
    const std::wstring name = names[0];
    *ids = name == L"HostBuild" ? 1 : name == L"HasTechnology" ? 2 : DISPID_UNKNOWN;
    return *ids == DISPID_UNKNOWN ? DISP_E_UNKNOWNNAME : S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    if (id == 1) {
      calls.push_back("HostBuild/" + std::to_string(flags));
      if (build_fails_) {
        platform::windows::FillException(*exception, {host::ErrorKind::kIndex, "no such build"}, u"Kelvo");
        return DISP_E_EXCEPTION;
      }
      result->vt = VT_I4;
      result->lVal = 1000;
      return S_OK;
    }
    calls.push_back("HasTechnology(" + platform::ToUtf8(FromBstr(params->rgvarg[0].bstrVal)) + ")/" +
                    std::to_string(flags));
    result->vt = VT_BOOL;
    result->boolVal = VARIANT_FALSE;
    return S_OK;
  }

 private:
  bool build_fails_;
};

struct MenuCall {
  const char* name;
  std::u16string menu_name;
  enum Source { kNone, kAnswering, kFailing } repository;
  host::Variant result;
  std::optional<platform::CallError> error;
  std::vector<std::string> host_calls;
};

class WindowsModuleMenu : public WindowsModule, public testing::WithParamInterface<MenuCall> {};

// Kelvo_GetMenuItems called by a name in any case with every argument by reference: host objects
// arrive as the interface of their parameter, members are called by name, and failures of either
// side reach the caller with kind and message. DllCanUnloadNow waits for the object.
TEST_P(WindowsModuleMenu, CallsThroughIDispatch) {
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  IClassFactory* factory = nullptr;
  ASSERT_EQ(Entry<GetClassObject>("DllGetClassObject")(ClassId("COrbelt"), IID_IClassFactory,
                                                       reinterpret_cast<void**>(&factory)),
            S_OK);
  IDispatch* object = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IDispatch, reinterpret_cast<void**>(&object)), S_OK);
  EXPECT_EQ(Call("DllCanUnloadNow"), S_FALSE);
  std::wstring name = L"kelvo_getmenuitems";
  LPOLESTR names[] = {name.data()};
  DISPID id = 0;
  ASSERT_EQ(object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);

  Repository host_repository(GetParam().repository == MenuCall::kFailing);
  IDispatch* repository = GetParam().repository == MenuCall::kNone ? nullptr : &host_repository;
  BSTR location = platform::windows::ToBstr(u"MainMenu");
  BSTR menu = platform::windows::ToBstr(GetParam().menu_name);
  VARIANT arguments[3];  // last first
  arguments[2].vt = VT_BYREF | VT_DISPATCH;
  arguments[2].ppdispVal = &repository;
  arguments[1].vt = VT_BYREF | VT_BSTR;
  arguments[1].pbstrVal = &location;
  arguments[0].vt = VT_BYREF | VT_BSTR;
  arguments[0].pbstrVal = &menu;
  DISPPARAMS params{arguments, nullptr, 3, 0};
  VariantHolder result;
  EXCEPINFO exception{};
  const HRESULT code = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                      &result.get(), &exception, nullptr);
  if (GetParam().error) {
    ASSERT_EQ(code, DISP_E_EXCEPTION);
    EXPECT_EQ(FromBstr(exception.bstrSource), u"Orbelt");
    const platform::CallError error = platform::windows::ErrorOf(code, &exception);
    EXPECT_EQ(error.kind, GetParam().error->kind);
    EXPECT_EQ(error.message, GetParam().error->message);
  } else {
    ASSERT_EQ(code, S_OK);
    EXPECT_EQ(platform::windows::FromVariant(result.get(), {}), GetParam().result);
  }
  EXPECT_EQ(host_repository.calls, GetParam().host_calls);
  EXPECT_EQ(FromBstr(location), u"MainMenu");
  SysFreeString(location);
  SysFreeString(menu);
  object->Release();
  EXPECT_EQ(Call("DllCanUnloadNow"), S_OK);
  EXPECT_EQ(repository, GetParam().repository == MenuCall::kNone ? nullptr : &host_repository);
  EXPECT_EQ(host_repository.references, 1u);
}

constexpr char16_t kTechnologyMenu[] = u"-&BPMN Technology";

MenuCall Answer(const char* name, std::u16string menu_name, MenuCall::Source repository, host::Variant result,
                std::vector<std::string> host_calls) {
  return {name, std::move(menu_name), repository, std::move(result), std::nullopt, std::move(host_calls)};
}

MenuCall Failure(const char* name, MenuCall::Source repository, host::ErrorKind kind, std::string message,
                 std::vector<std::string> host_calls) {
  return {name,
          kTechnologyMenu,
          repository,
          {},
          platform::CallError{kind, std::move(message)},
          std::move(host_calls)};
}

INSTANTIATE_TEST_SUITE_P(
    Calls, WindowsModuleMenu,
    testing::Values(Answer("TopMenuFromTheStringTable", u"", MenuCall::kNone, std::u16string(kTechnologyMenu),
                           {}),
                    Answer("ItemsFromTheHostsAnswers", kTechnologyMenu, MenuCall::kAnswering,
                           host::StringArray{u"&Load", u"-", u"&Help", u"&About"},
                           {"HostBuild/3", "HasTechnology(BPMN)/1"}),
                    Failure("UnsetRepository", MenuCall::kNone, host::ErrorKind::kNullObject,
                            "object variable not set (Repository)", {}),
                    Failure("FailingHostMember", MenuCall::kFailing, host::ErrorKind::kIndex, "no such build",
                            {"HostBuild/3"})),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WindowsModule, ServesFactoriesOfCreatableClassesOnlyAndCountsLocks) {
  using GetClassObject = HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**);
  IClassFactory* factory = nullptr;
  EXPECT_EQ(Entry<GetClassObject>("DllGetClassObject")(ClassId("CBPMNRules"), IID_IClassFactory,
                                                       reinterpret_cast<void**>(&factory)),
            CLASS_E_CLASSNOTAVAILABLE);
  ASSERT_EQ(Entry<GetClassObject>("DllGetClassObject")(ClassId("COrbelt"), IID_IClassFactory,
                                                       reinterpret_cast<void**>(&factory)),
            S_OK);
  factory->LockServer(TRUE);
  EXPECT_EQ(Call("DllCanUnloadNow"), S_FALSE);
  factory->LockServer(FALSE);
  EXPECT_EQ(Call("DllCanUnloadNow"), S_OK);
}

}  // namespace
