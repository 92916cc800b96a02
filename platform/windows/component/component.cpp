// The in-process server on Windows: the embedded type library, class factories by CLSID for the
// creatable classes, the unload query, and IDispatch over the module's automation objects.
// clang-format off
#include <windows.h>
#include <oleauto.h>
// clang-format on

#include <atomic>
#include <memory>
#include <vector>

#include "platform/module_info.h"
#include "platform/text.h"
#include "platform/windows/automation_values.h"
#include "platform/windows/component/server.h"
#include "platform/windows/counted_dispatch.h"

namespace platform {

namespace {
std::atomic<int> live_objects{0};
std::atomic<int> server_locks{0};
}  // namespace

void ObjectCounter::Add(int delta) { live_objects += delta; }
int ObjectCounter::Live() { return live_objects; }

namespace windows {

namespace {

constexpr char16_t kSource[] = u"Orbelt";

std::u16string Wide(std::string_view text) { return FromUtf8(text); }

// IDispatch over one automation object, described by its class's default interface.
class AutomationDispatch final : public CountedDispatch {
 public:
  AutomationDispatch(std::shared_ptr<DispatchObject> object, ITypeInfo* info)
      : CountedDispatch(GuidOf(*info)), object_(std::move(object)), info_(info) {
    info_->AddRef();
  }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 1;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    info_->AddRef();
    *out = info_;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    return DispGetIDsOfNames(info_, names, count, ids);
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT*) override {
    BSTR name = nullptr;
    UINT names = 0;
    if (FAILED(info_->GetNames(member, &name, 1, &names)) || names == 0) return DISP_E_MEMBERNOTFOUND;
    const std::u16string operation = FromBstr(name);
    SysFreeString(name);
    if (params == nullptr) return E_POINTER;
    if (params->cNamedArgs != 0) return DISP_E_NONAMEDARGS;
    const CallResult outcome = Call(operation, *params, result);
    if (!outcome.error) return S_OK;
    if (exception != nullptr) FillException(*exception, *outcome.error, kSource);
    return DISP_E_EXCEPTION;
  }

 private:
  ~AutomationDispatch() override { info_->Release(); }

  // Converts the arguments (rgvarg holds them last first), calls, writes every by-reference
  // argument back and converts the result.
  CallResult Call(std::u16string_view operation, DISPPARAMS& params, VARIANT* result) {
    const ObjectBridge& objects = ModuleObjects();
    std::vector<host::Variant> values(params.cArgs);
    std::vector<host::Variant*> refs(params.cArgs);
    const auto argument = [&](UINT i) -> VARIANT& { return params.rgvarg[params.cArgs - 1 - i]; };
    CallResult converted = CallGuarded([&]() -> host::Variant {
      for (UINT i = 0; i < params.cArgs; ++i) {
        values[i] = FromVariant(argument(i), objects);
        refs[i] = &values[i];
      }
      return {};
    });
    if (converted.error) return converted;
    CallResult outcome = object_->Invoke(operation, refs);
    if (outcome.error) return outcome;
    return CallGuarded([&]() -> host::Variant {
      for (UINT i = 0; i < params.cArgs; ++i) StoreByRef(values[i], argument(i), objects);
      if (result != nullptr) ToVariant(outcome.value, *result, objects);
      return {};
    });
  }

  std::shared_ptr<DispatchObject> object_;
  ITypeInfo* info_;
};

// The factory of one creatable class; it lives as long as the module.
class Factory final : public IClassFactory {
 public:
  explicit Factory(const CoClass& co_class) : co_class_(co_class) {
    if (ITypeInfo* type = FindType(co_class.info.name)) {
      class_id_ = GuidOf(*type);
      type->Release();
    }
  }
  const CLSID& class_id() const { return class_id_; }

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (id != IID_IUnknown && id != IID_IClassFactory) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }

  HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID id, void** out) override {
    if (out == nullptr) return E_POINTER;
    *out = nullptr;
    if (outer != nullptr) return CLASS_E_NOAGGREGATION;
    std::shared_ptr<DispatchObject> object;
    const CallResult created = CallGuarded([&]() -> host::Variant {
      object = co_class_.create();
      return {};
    });
    if (created.error) {
      SetErrorInfo(created.error->message);
      return ResultCodeOf(created.error->kind);
    }
    ITypeInfo* info = DefaultInterfaceOf(co_class_.info.name);
    if (info == nullptr) return E_UNEXPECTED;
    IDispatch* dispatch = ServeObject(std::move(object), info);
    info->Release();
    const HRESULT queried = dispatch->QueryInterface(id, out);
    dispatch->Release();
    return queried;
  }
  HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
    server_locks += lock ? 1 : -1;
    return S_OK;
  }

 private:
  const CoClass& co_class_;
  CLSID class_id_{};
};

}  // namespace

HMODULE ThisModule() {
  HMODULE module = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ThisModule), &module);
  return module;
}

ITypeLib* ModuleTypeLibrary() {
  static ITypeLib* const library = []() -> ITypeLib* {
    ITypeLib* loaded = nullptr;
    const std::u16string path = FromUtf8(ThisModulePath());
    if (FAILED(LoadTypeLibEx(reinterpret_cast<LPCOLESTR>(path.c_str()), REGKIND_NONE, &loaded)))
      return nullptr;
    return loaded;
  }();
  return library;
}

ITypeInfo* FindType(const std::string& name) {
  ITypeLib* library = ModuleTypeLibrary();
  if (library == nullptr) return nullptr;
  std::u16string text = Wide(name);
  ITypeInfo* type = nullptr;
  MEMBERID member = 0;
  USHORT found = 1;
  if (FAILED(library->FindName(reinterpret_cast<LPOLESTR>(text.data()), 0, &type, &member, &found)) ||
      found == 0) {
    return nullptr;
  }
  return type;
}

GUID GuidOf(ITypeInfo& type) {
  TYPEATTR* attributes = nullptr;
  if (FAILED(type.GetTypeAttr(&attributes))) return GUID_NULL;
  const GUID id = attributes->guid;
  type.ReleaseTypeAttr(attributes);
  return id;
}

std::string SystemMessage(DWORD code) {
  char text[256] = "";
  FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                 sizeof text, nullptr);
  std::string message = text;
  while (!message.empty() && (message.back() == '\n' || message.back() == '\r' || message.back() == '.')) {
    message.pop_back();
  }
  return message.empty() ? "error " + std::to_string(code) : message;
}

ITypeInfo* DefaultInterfaceOf(const std::string& class_name) {
  ITypeInfo* co_class = FindType(class_name);
  if (co_class == nullptr) return nullptr;
  ITypeInfo* default_interface = nullptr;
  TYPEATTR* attributes = nullptr;
  co_class->GetTypeAttr(&attributes);
  for (UINT i = 0; i < attributes->cImplTypes && default_interface == nullptr; ++i) {
    INT flags = 0;
    HREFTYPE reference = 0;
    if (SUCCEEDED(co_class->GetImplTypeFlags(i, &flags)) && (flags & IMPLTYPEFLAG_FDEFAULT) &&
        SUCCEEDED(co_class->GetRefTypeOfImplType(i, &reference))) {
      co_class->GetRefTypeInfo(reference, &default_interface);
    }
  }
  co_class->ReleaseTypeAttr(attributes);
  co_class->Release();
  return default_interface;
}

IDispatch* ServeObject(std::shared_ptr<DispatchObject> object, ITypeInfo* interface_info) {
  return new AutomationDispatch(std::move(object), interface_info);
}

HRESULT GetClassObject(const InProcessServer& server, REFCLSID class_id, REFIID interface_id, void** out) {
  if (out == nullptr) return E_POINTER;
  *out = nullptr;
  // One factory per creatable class, made on first use; a module has one server.
  static const std::vector<std::unique_ptr<Factory>> factories = [&server] {
    std::vector<std::unique_ptr<Factory>> made;
    for (const auto& c : server.classes()) {
      if (c.create) made.push_back(std::make_unique<Factory>(c));
    }
    return made;
  }();
  for (const auto& f : factories) {
    if (f->class_id() == class_id) return f->QueryInterface(interface_id, out);
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CanUnloadNow() { return ObjectCounter::Live() == 0 && server_locks == 0 ? S_OK : S_FALSE; }

}  // namespace windows

}  // namespace platform
