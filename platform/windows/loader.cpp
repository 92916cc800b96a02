// Loading component modules on Windows: the library for its entry points, version record and
// resources, and objects created through the registered class and driven through IDispatch alone.
#include "platform/loader.h"

// clang-format off
#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>
// clang-format on

#include <cwchar>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "platform/windows/automation_values.h"
#include "platform/windows/host_dispatch.h"

namespace platform {

namespace {

using windows::FromBstr;
using windows::HostObjectBridge;
using windows::VariantHolder;

using EntryPoint = HRESULT(STDAPICALLTYPE*)();

// The language of the module's resources.
constexpr WORD kResourceLanguage = 3081;

std::wstring Wide(std::string_view utf8) {
  const std::u16string text = FromUtf8(utf8);
  return {text.begin(), text.end()};
}

std::string Narrow(const wchar_t* text) { return ToUtf8(reinterpret_cast<const char16_t*>(text)); }

struct Releaser {
  void operator()(IUnknown* object) const { object->Release(); }
};
template <class T>
using Owned = std::unique_ptr<T, Releaser>;

// COM for the calling thread, apartment-threaded, from its first use until the thread ends.
void EnterApartment() {
  thread_local const struct Apartment {
    HRESULT result = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    ~Apartment() {
      if (SUCCEEDED(result)) CoUninitialize();
    }
  } apartment;
  (void)apartment;
}

std::string NameOf(ITypeInfo& type, MEMBERID member) {
  BSTR name = nullptr;
  if (FAILED(type.GetDocumentation(member, &name, nullptr, nullptr, nullptr))) return {};
  std::string text = ToUtf8(FromBstr(name));
  SysFreeString(name);
  return text;
}

// The interface's name and its operations in declared order (a property's accessors once).
InterfaceInfo Describe(ITypeInfo& type) {
  InterfaceInfo info{NameOf(type, MEMBERID_NIL), {}};
  TYPEATTR* attributes = nullptr;
  if (FAILED(type.GetTypeAttr(&attributes))) return info;
  for (UINT i = 0; i < attributes->cFuncs; ++i) {
    FUNCDESC* function = nullptr;
    if (FAILED(type.GetFuncDesc(i, &function))) continue;
    if ((function->wFuncFlags & FUNCFLAG_FRESTRICTED) == 0) {
      std::string name = NameOf(type, function->memid);
      if (info.operations.empty() || info.operations.back() != name)
        info.operations.push_back(std::move(name));
    }
    type.ReleaseFuncDesc(function);
  }
  type.ReleaseTypeAttr(attributes);
  return info;
}

// The default interface of the class at `index` of the library.
InterfaceInfo DefaultInterface(ITypeInfo& coclass) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(coclass.GetTypeAttr(&attributes))) return {};
  const UINT count = attributes->cImplTypes;
  coclass.ReleaseTypeAttr(attributes);
  for (UINT i = 0; i < count; ++i) {
    INT flags = 0;
    HREFTYPE reference = 0;
    ITypeInfo* interface_type = nullptr;
    if (FAILED(coclass.GetImplTypeFlags(i, &flags)) || (flags & IMPLTYPEFLAG_FDEFAULT) == 0) continue;
    if (FAILED(coclass.GetRefTypeOfImplType(i, &reference)) ||
        FAILED(coclass.GetRefTypeInfo(reference, &interface_type)))
      continue;
    const Owned<ITypeInfo> owned(interface_type);
    return Describe(*owned);
  }
  return {};
}

// A by-reference argument of the value's own type, pointing at `value`; an empty value goes as a
// reference to the variant itself.
VARIANTARG ByReference(VARIANT& value) {
  VARIANTARG reference;
  VariantInit(&reference);
  if (value.vt == VT_EMPTY || value.vt == VT_NULL) {
    reference.vt = VT_VARIANT | VT_BYREF;
    reference.pvarVal = &value;
  } else {
    reference.vt = static_cast<VARTYPE>(value.vt | VT_BYREF);
    reference.byref = &value.lVal;  // every member of the value's union starts here
  }
  return reference;
}

[[noreturn]] void Throw(const CallError& error) { throw host::Error(error.kind, error.message); }

// An object of the module, as the host holds it: every call goes through IDispatch.
class DispatchClient final : public DispatchObject {
 public:
  explicit DispatchClient(Owned<IDispatch> dispatch) : dispatch_(std::move(dispatch)) {
    ITypeInfo* type = nullptr;
    if (SUCCEEDED(dispatch_->GetTypeInfo(0, LOCALE_USER_DEFAULT, &type)) && type != nullptr) {
      const Owned<ITypeInfo> owned(type);
      info_ = Describe(*owned);
    }
  }

  const InterfaceInfo& Interface() const override { return info_; }

  CallResult Invoke(std::u16string_view operation, ArgRefs args) noexcept override {
    return CallGuarded([&] { return Call(operation, args); });
  }

 private:
  host::Variant Call(std::u16string_view operation, ArgRefs args) {
    std::wstring name(operation.begin(), operation.end());
    LPOLESTR names[] = {name.data()};
    DISPID id = DISPID_UNKNOWN;
    if (FAILED(dispatch_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)))
      throw host::Error(host::ErrorKind::kHost, "no operation named " + ToUtf8(operation));
    // Every argument goes by reference to a value of its own type; the arguments come last first.
    const std::size_t count = args.size();
    std::vector<VariantHolder> values(count);
    std::vector<VARIANTARG> references(count);
    for (std::size_t i = 0; i < count; ++i) {
      windows::ToVariant(*args[i], values[i].get(), HostObjectBridge());
      references[count - 1 - i] = ByReference(values[i].get());
    }
    DISPPARAMS params{references.data(), nullptr, static_cast<UINT>(count), 0};
    VariantHolder result;
    EXCEPINFO exception{};
    UINT argument_error = 0;
    const HRESULT code = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params,
                                           &result.get(), &exception, &argument_error);
    if (FAILED(code)) Throw(windows::ErrorOf(code, &exception));
    for (std::size_t i = 0; i < count; ++i)
      *args[i] = windows::FromVariant(references[count - 1 - i], HostObjectBridge());
    return windows::FromVariant(result.get(), HostObjectBridge());
  }

  Owned<IDispatch> dispatch_;
  InterfaceInfo info_;
};

}  // namespace

struct LoadedModule::Native {
  HMODULE module;
  std::string product_name;
  std::string file_version;
  VersionRecord version{"", "", false};
  ~Native() { FreeLibrary(module); }
  // Reads the module's version resource: the strings of its first translation.
  void ReadVersion(const std::wstring& path);
};

LoadedModule::LoadedModule(const std::string& path) {
  std::error_code ec;
  const auto absolute = std::filesystem::canonical(std::filesystem::path(Wide(path)), ec);
  if (ec) throw std::runtime_error(path + ": cannot load the add-in module: " + ec.message());
  path_ = ToUtf8(absolute.u16string());
  HMODULE module = LoadLibraryW(absolute.c_str());
  if (module == nullptr) {
    throw std::runtime_error(path_ + ": cannot load the add-in module: " +
                             windows::ErrorOf(HRESULT_FROM_WIN32(GetLastError()), nullptr).message);
  }
  native_ = std::make_unique<Native>(module);
  for (const char* name :
       {"DllRegisterServer", "DllUnregisterServer", "DllGetClassObject", "DllCanUnloadNow"}) {
    Symbol<void*>(name);
  }
  native_->ReadVersion(absolute.wstring());
}

LoadedModule::~LoadedModule() = default;

template <class F>
F LoadedModule::Symbol(const char* name) const {
  FARPROC symbol = GetProcAddress(native_->module, name);
  if (symbol == nullptr) throw std::runtime_error(path_ + ": the module does not export " + name);
  return reinterpret_cast<F>(reinterpret_cast<void*>(symbol));
}

// As the registration tool does: COM is up on the calling thread before the entry point runs.
std::int32_t LoadedModule::RegisterServer() const {
  EnterApartment();
  return Symbol<EntryPoint>("DllRegisterServer")();
}

std::int32_t LoadedModule::UnregisterServer() const {
  EnterApartment();
  return Symbol<EntryPoint>("DllUnregisterServer")();
}

std::int32_t LoadedModule::CanUnloadNow() const { return Symbol<EntryPoint>("DllCanUnloadNow")(); }

std::shared_ptr<DispatchObject> LoadedModule::CreateObject(const std::string& prog_id) const {
  EnterApartment();
  const auto not_registered = [&] {
    return std::runtime_error(path_ + ": class " + prog_id +
                              " is not registered; register the add-in with `orbelt register " + path_ + "`");
  };
  CLSID class_id{};
  if (FAILED(CLSIDFromProgID(Wide(prog_id).c_str(), &class_id))) throw not_registered();
  IDispatch* dispatch = nullptr;
  const HRESULT code = [&] {
    const std::lock_guard lock(creating_);
    return CoCreateInstance(class_id, nullptr, CLSCTX_INPROC_SERVER, IID_IDispatch,
                            reinterpret_cast<void**>(&dispatch));
  }();
  if (code == REGDB_E_CLASSNOTREG) throw not_registered();
  if (FAILED(code) || dispatch == nullptr) {
    throw std::runtime_error(path_ + ": cannot create " + prog_id + ": " +
                             windows::ErrorOf(code, nullptr).message);
  }
  return std::make_shared<DispatchClient>(Owned<IDispatch>(dispatch));
}

const VersionRecord& LoadedModule::Version() const { return native_->version; }

TypeLibraryInfo LoadedModule::TypeLibrary() const {
  ITypeLib* library = nullptr;
  if (FAILED(LoadTypeLibEx(Wide(path_).c_str(), REGKIND_NONE, &library)))
    throw std::runtime_error(path_ + ": the module has no type library");
  const Owned<ITypeLib> owned(library);
  TypeLibraryInfo info;
  BSTR name = nullptr;
  if (SUCCEEDED(library->GetDocumentation(-1, &name, nullptr, nullptr, nullptr))) {
    info.name = ToUtf8(FromBstr(name));
    SysFreeString(name);
  }
  for (UINT i = 0; i < library->GetTypeInfoCount(); ++i) {
    TYPEKIND kind{};
    ITypeInfo* type = nullptr;
    if (FAILED(library->GetTypeInfoType(i, &kind)) || kind != TKIND_COCLASS) continue;
    if (FAILED(library->GetTypeInfo(i, &type))) continue;
    const Owned<ITypeInfo> coclass(type);
    info.classes.push_back({NameOf(*coclass, MEMBERID_NIL), DefaultInterface(*coclass)});
  }
  return info;
}

std::span<const std::uint8_t> LoadedModule::BinaryResource(std::string_view type, std::int32_t id) const {
  const std::wstring type_name = Wide(type);
  HRSRC found = FindResourceExW(native_->module, type_name.c_str(), MAKEINTRESOURCEW(id), kResourceLanguage);
  HGLOBAL loaded = found != nullptr ? LoadResource(native_->module, found) : nullptr;
  const void* data = loaded != nullptr ? LockResource(loaded) : nullptr;
  if (data == nullptr) {
    throw host::Error(host::ErrorKind::kResource,
                      "resource " + std::string(type) + " " + std::to_string(id) + " not found");
  }
  return {static_cast<const std::uint8_t*>(data), SizeofResource(native_->module, found)};
}

void LoadedModule::Native::ReadVersion(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &ignored);
  std::vector<std::byte> block(size);
  if (size == 0 || !GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return;
  struct Translation {
    WORD language;
    WORD code_page;
  };
  Translation* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                      &length) ||
      length < sizeof(Translation))
    return;
  const auto value = [&](const wchar_t* key) -> std::optional<std::string> {
    wchar_t query[64];
    std::swprintf(query, 64, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language,
                  translation->code_page, key);
    wchar_t* text = nullptr;
    UINT chars = 0;
    if (!VerQueryValueW(block.data(), query, reinterpret_cast<void**>(&text), &chars) || text == nullptr)
      return std::nullopt;
    return Narrow(text);
  };
  product_name = value(L"ProductName").value_or("");
  file_version = value(L"FileVersion").value_or("");
  version = {product_name.c_str(), file_version.c_str(), value(L"OLESelfRegister").has_value()};
}

std::string Registry::DefaultPath() { return "HKEY_CLASSES_ROOT"; }

}  // namespace platform
