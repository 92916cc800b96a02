// The host's objects as they arrive in the module: IDispatch pointers adapted to the host
// interfaces. Each interface's adapter is made from its member list in host/members.h; every
// member is a late-bound call by name, its result converted to the declared C++ type.
// clang-format off
#include <windows.h>
#include <oleauto.h>
// clang-format on

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "host/objects.h"
#include "platform/component.h"
#include "platform/windows/automation_values.h"
#include "platform/windows/component/server.h"

namespace platform::windows {

namespace {

constexpr WORD kReadFlags = DISPATCH_PROPERTYGET | DISPATCH_METHOD;

// Holds one host IDispatch and calls its members by name.
class DispatchClient {
 public:
  explicit DispatchClient(IDispatch* dispatch) : dispatch_(dispatch) { dispatch_->AddRef(); }
  DispatchClient(const DispatchClient&) = delete;
  DispatchClient& operator=(const DispatchClient&) = delete;
  virtual ~DispatchClient() { dispatch_->Release(); }

  IDispatch* dispatch() const { return dispatch_; }

  // Calls `member` with `args` (first to last) and writes its result into `result`; a failure
  // throws host::Error with the kind and message the object reported.
  void Call(std::u16string_view member, WORD flags, std::vector<host::Variant> args, VARIANT& result) {
    std::u16string name(member);
    auto* name_text = reinterpret_cast<LPOLESTR>(name.data());
    DISPID id = 0;
    HRESULT code = dispatch_->GetIDsOfNames(IID_NULL, &name_text, 1, LOCALE_USER_DEFAULT, &id);
    if (FAILED(code)) Throw(code, nullptr);
    std::vector<VariantHolder> arguments(args.size());
    for (std::size_t i = 0; i < args.size(); ++i) {
      ToVariant(args[i], arguments[args.size() - 1 - i].get(), ModuleObjects());
    }
    std::vector<VARIANT> passed;
    for (auto& a : arguments) passed.push_back(a.get());
    DISPID put = DISPID_PROPERTYPUT;
    DISPPARAMS params{passed.data(), nullptr, static_cast<UINT>(passed.size()), 0};
    if (flags == DISPATCH_PROPERTYPUT) {
      params.rgdispidNamedArgs = &put;
      params.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    code = dispatch_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result, &exception, nullptr);
    if (FAILED(code)) Throw(code, &exception);
  }

  // A string result kept by the adapter, for members that return their string by reference. Only
  // early-bound members do, and their names are literals, so the name itself is the key: no copy
  // of it on every read.
  const std::u16string& Keep(std::u16string_view member, std::u16string value) {
    auto& slot = kept_[member];
    slot = std::move(value);
    return slot;
  }

 private:
  [[noreturn]] static void Throw(HRESULT code, EXCEPINFO* exception) {
    CallError error = ErrorOf(code, exception);
    throw host::Error(error.kind, error.message);
  }

  IDispatch* dispatch_;
  std::unordered_map<std::u16string_view, std::u16string> kept_;
};

template <class I>
struct AdapterOf;

template <class I>
std::shared_ptr<host::Object> Adapt(IDispatch* dispatch) {
  return std::make_shared<typename AdapterOf<I>::type>(dispatch);
}

// Converts a member's result to the type the interface declares.
template <class R>
struct Result {
  static R From(DispatchClient&, std::u16string_view, VARIANT& value) {
    const host::Variant converted = FromVariant(value, ModuleObjects());
    if constexpr (std::is_same_v<R, host::Variant>) {
      return converted;
    } else if constexpr (std::is_same_v<R, std::int32_t>) {
      return host::ToLong(converted);
    } else if constexpr (std::is_same_v<R, std::int16_t>) {
      const std::int32_t wide = host::ToLong(converted);
      if (wide < -32768 || wide > 32767)
        throw host::Error(host::ErrorKind::kOverflow, "value out of the 16-bit range");
      return static_cast<std::int16_t>(wide);
    } else if constexpr (std::is_same_v<R, bool>) {
      if (const auto* flag = std::get_if<bool>(&converted)) return *flag;
      return host::ToLong(converted) != 0;
    } else {
      static_assert(std::is_same_v<R, std::u16string>);
      if (const auto* text = std::get_if<std::u16string>(&converted)) return *text;
      throw host::Error(host::ErrorKind::kTypeMismatch, "type mismatch: a string result was expected");
    }
  }
};

template <>
struct Result<void> {
  static void From(DispatchClient&, std::u16string_view, VARIANT&) {}
};

template <>
struct Result<const std::u16string&> {
  static const std::u16string& From(DispatchClient& self, std::u16string_view member, VARIANT& value) {
    return self.Keep(member, Result<std::u16string>::From(self, member, value));
  }
};

template <class I>
struct Result<host::Ref<I>> {
  static host::Ref<I> From(DispatchClient&, std::u16string_view, VARIANT& value) {
    const ObjectBridge typed{{}, [](IDispatch* dispatch) { return Adapt<I>(dispatch); }};
    const host::Variant converted = FromVariant(value, typed);
    if (std::holds_alternative<std::monostate>(converted)) return {};
    const auto* object = std::get_if<std::shared_ptr<host::Object>>(&converted);
    if (object == nullptr) {
      throw host::Error(host::ErrorKind::kTypeMismatch,
                        std::string("type mismatch: ") + I::kInterfaceName + " expected");
    }
    return host::Ref<I>(std::static_pointer_cast<I>(*object));
  }
};

template <class R>
R CallMember(DispatchClient& self, std::u16string_view member, WORD flags, std::vector<host::Variant> args) {
  VariantHolder result;
  self.Call(member, flags, std::move(args), result.get());
  return Result<R>::From(self, member, result.get());
}

host::Variant CallLate(DispatchClient& self, std::u16string_view member, std::vector<host::Variant>& args) {
  return CallMember<host::Variant>(self, member, DISPATCH_METHOD, args);
}

template <class T>
class CollectionAdapter final : public host::Collection<T>, public DispatchClient {
 public:
  using DispatchClient::DispatchClient;
  std::int32_t Count() override { return CallMember<std::int32_t>(*this, u"Count", kReadFlags, {}); }
  host::Ref<T> GetAt(std::int32_t index) override {
    return CallMember<host::Ref<T>>(*this, u"GetAt", DISPATCH_METHOD, {index});
  }
  host::Variant InvokeByName(std::u16string_view member, std::vector<host::Variant>& args) override {
    return CallLate(*this, member, args);
  }
};

template <class T>
struct AdapterOf<host::Collection<T>> {
  using type = CollectionAdapter<T>;
};

// One adapter class per host interface, one override per early-bound member.
#define ADAPTER_FLAGS_read kReadFlags
#define ADAPTER_FLAGS_call DISPATCH_METHOD
#define ADAPTER_FLAGS_write DISPATCH_PROPERTYPUT
#define ADAPTER_ARGUMENTS(...) __VA_ARGS__
// NOLINTBEGIN(bugprone-macro-parentheses)
#define ADAPTER_MEMBER(kind, result, member, parameters, arguments)                                         \
  HOST_IF_EARLY_BOUND(                                                                                      \
      kind, result HOST_FUNCTION(kind, member) parameters override {                                        \
        return CallMember<result>(*this, u## #member, ADAPTER_FLAGS_##kind, {ADAPTER_ARGUMENTS arguments}); \
      })
// NOLINTEND(bugprone-macro-parentheses)
#define ADAPTER_CLASS(object, members)                                                        \
  class object##Adapter final : public host::object, public DispatchClient {                  \
   public:                                                                                    \
    using DispatchClient::DispatchClient;                                                     \
    members(ADAPTER_MEMBER) host::Variant                                                     \
        InvokeByName(std::u16string_view member, std::vector<host::Variant>& args) override { \
      return CallLate(*this, member, args);                                                   \
    }                                                                                         \
  };                                                                                          \
  template <>                                                                                 \
  struct AdapterOf<host::object> {                                                            \
    using type = object##Adapter;                                                             \
  };
HOST_OBJECTS(ADAPTER_CLASS)
#undef ADAPTER_CLASS
#undef ADAPTER_MEMBER

// An IDispatch passed as an operation argument: its interface is that of the parameter.
class UntypedAdapter final : public UntypedObject, public DispatchClient {
 public:
  using DispatchClient::DispatchClient;
  std::shared_ptr<host::Object> As(std::string_view interface_name) override {
#define ADAPTER_BY_NAME(object, members) \
  if (interface_name == #object) return Adapt<host::object>(dispatch());
    HOST_OBJECTS(ADAPTER_BY_NAME)
#undef ADAPTER_BY_NAME
    throw host::Error(host::ErrorKind::kTypeMismatch,
                      "type mismatch: no host interface named " + std::string(interface_name));
  }
  host::Variant InvokeByName(std::u16string_view member, std::vector<host::Variant>& args) override {
    return CallLate(*this, member, args);
  }
};

}  // namespace

const ObjectBridge& ModuleObjects() {
  static const ObjectBridge kObjects{[](const std::shared_ptr<host::Object>& object) -> IDispatch* {
                                       auto* client = dynamic_cast<DispatchClient*>(object.get());
                                       if (client == nullptr) {
                                         throw host::Error(
                                             host::ErrorKind::kTypeMismatch,
                                             "type mismatch: the module passes only host objects");
                                       }
                                       client->dispatch()->AddRef();
                                       return client->dispatch();
                                     },
                                     [](IDispatch* dispatch) -> std::shared_ptr<host::Object> {
                                       return std::make_shared<UntypedAdapter>(dispatch);
                                     }};
  return kObjects;
}

}  // namespace platform::windows
