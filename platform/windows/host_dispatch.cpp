// An IDispatch over a host object. Each interface gets a table of its members, made from its list
// in host/members.h; the object is found to implement an interface by dynamic_cast, once, when it
// is served.
#include "platform/windows/host_dispatch.h"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "platform/text.h"
#include "platform/windows/counted_dispatch.h"

namespace platform::windows {

namespace {

// Asks a served object for itself: the identity that ServedHostObject checks.
constexpr IID kServedObjectId = {
    0x6f1c2d5a, 0x93b4, 0x4e07, {0x8a, 0x61, 0x2c, 0x5e, 0x0b, 0x7d, 0x14, 0x93}};

// A member call on the interface pointer `self` with the arguments in order.
using MemberCall = host::Variant (*)(void* self, std::string_view name, std::vector<host::Variant>& args);

struct Member {
  std::string_view name;
  host::MemberKind kind;
  MemberCall call;
};

template <class P>
struct Parameter;

template <>
struct Parameter<const std::u16string&> {
  static const std::u16string& From(const host::Variant& value) {
    if (const auto* text = std::get_if<std::u16string>(&value)) return *text;
    throw host::Error(host::ErrorKind::kTypeMismatch, "type mismatch: a string argument was expected");
  }
};

template <>
struct Parameter<std::int32_t> {
  static std::int32_t From(const host::Variant& value) { return host::ToLong(value); }
};

template <>
struct Parameter<std::int16_t> {
  static std::int16_t From(const host::Variant& value) {
    const std::int32_t number = host::ToLong(value);
    if (number < INT16_MIN || number > INT16_MAX)
      throw host::Error(host::ErrorKind::kOverflow, "value out of the 16-bit range");
    return static_cast<std::int16_t>(number);
  }
};

template <>
struct Parameter<bool> {
  static bool From(const host::Variant& value) { return host::ToLong(value) != 0; }
};

template <class R>
host::Variant Result(R&& value) {
  using Plain = std::remove_cvref_t<R>;
  if constexpr (requires { value.shared(); }) {
    return std::shared_ptr<host::Object>(std::forward<R>(value).shared());
  } else if constexpr (std::is_same_v<Plain, host::Variant>) {
    return std::forward<R>(value);
  } else {
    return host::Variant(Plain(std::forward<R>(value)));
  }
}

template <class>
struct EarlyCall;

template <class I, class R, class... A>
struct EarlyCall<R (I::*)(A...)> {
  template <R (I::*kFunction)(A...)>
  static host::Variant Call(void* self, std::string_view, std::vector<host::Variant>& args) {
    if (args.size() != sizeof...(A))
      throw host::Error(host::ErrorKind::kTypeMismatch, "wrong number of arguments");
    auto& object = *static_cast<I*>(self);
    return [&]<std::size_t... K>(std::index_sequence<K...>)->host::Variant {
      if constexpr (std::is_void_v<R>) {
        (object.*kFunction)(Parameter<A>::From(args[K])...);
        return {};
      } else {
        return Result((object.*kFunction)(Parameter<A>::From(args[K])...));
      }
    }
    (std::index_sequence_for<A...>{});
  }
};

template <auto kFunction>
constexpr MemberCall kEarly = &EarlyCall<decltype(kFunction)>::template Call<kFunction>;

template <class I>
host::Variant LateCall(void* self, std::string_view name, std::vector<host::Variant>& args) {
  return static_cast<I*>(self)->InvokeByName(FromUtf8(name), args);
}

// The members of each interface, by their lists.
#define KELVO_SERVED_CALL_read(member) kEarly<&Served::member>
#define KELVO_SERVED_CALL_call(member) kEarly<&Served::member>
#define KELVO_SERVED_CALL_write(member) kEarly<&Served::Set##member>
#define KELVO_SERVED_CALL_late(member) &LateCall<Served>
#define KELVO_SERVED_MEMBER(kind, result, member, parameters, arguments) \
  Member{#member, host::MemberKind::kind, KELVO_SERVED_CALL_##kind(member)},

template <class I>
std::span<const Member> MembersOf();

#define KELVO_SERVED_TABLE(object, members)                          \
  template <>                                                        \
  std::span<const Member> MembersOf<host::object>() {                \
    using Served = host::object;                                     \
    static const Member kMembers[] = {members(KELVO_SERVED_MEMBER)}; \
    return kMembers;                                                 \
  }
HOST_OBJECTS(KELVO_SERVED_TABLE)
#undef KELVO_SERVED_TABLE

template <class T>
std::span<const Member> CollectionMembers() {
  using Served = host::Collection<T>;
  static const Member kMembers[] = {{"Count", host::MemberKind::read, kEarly<&Served::Count>},
                                    {"GetAt", host::MemberKind::call, kEarly<&Served::GetAt>}};
  return kMembers;
}

#undef KELVO_SERVED_MEMBER
#undef KELVO_SERVED_CALL_late
#undef KELVO_SERVED_CALL_write
#undef KELVO_SERVED_CALL_call
#undef KELVO_SERVED_CALL_read

// The interface that `object` implements, with its members.
struct Served {
  void* self = nullptr;
  std::span<const Member> members;
};

template <class I>
bool Find(host::Object& object, std::span<const Member> members, Served& served) {
  auto* self = dynamic_cast<I*>(&object);
  if (self == nullptr) return false;
  served = {self, members};
  return true;
}

Served Find(host::Object& object) {
  Served served;
#define KELVO_FIND_OBJECT(object_name, members) \
  Find<host::object_name>(object, MembersOf<host::object_name>(), served) ||
  (void)(HOST_OBJECTS(KELVO_FIND_OBJECT)  //
         Find<host::Collection<host::TaggedValue>>(object, CollectionMembers<host::TaggedValue>(), served) ||
         Find<host::Collection<host::ConnectorTag>>(object, CollectionMembers<host::ConnectorTag>(),
                                                    served) ||
         Find<host::Collection<host::Connector>>(object, CollectionMembers<host::Connector>(), served) ||
         Find<host::Collection<host::Element>>(object, CollectionMembers<host::Element>(), served) ||
         Find<host::Collection<host::DiagramPlacement>>(object, CollectionMembers<host::DiagramPlacement>(),
                                                        served));
#undef KELVO_FIND_OBJECT
  return served;
}

// Whether a member of this kind answers a call with these flags: reads as properties or methods.
bool Answers(host::MemberKind kind, WORD flags) {
  switch (kind) {
    case host::MemberKind::read:
      return (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) != 0;
    case host::MemberKind::call:
      return (flags & DISPATCH_METHOD) != 0;
    case host::MemberKind::write:
      return (flags & DISPATCH_PROPERTYPUT) != 0;
    case host::MemberKind::late:
      return true;
  }
  return false;
}

class HostDispatch final : public CountedDispatch {
 public:
  explicit HostDispatch(std::shared_ptr<host::Object> object)
      : CountedDispatch(kServedObjectId), object_(std::move(object)), served_(Find(*object_)) {}

  const std::shared_ptr<host::Object>& object() const { return object_; }

  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
    if (count == nullptr) return E_POINTER;
    *count = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
    if (info != nullptr) *info = nullptr;
    return E_NOTIMPL;
  }

  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
    if (count == 0) return S_OK;
    for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
    const std::string name = ToUtf8(reinterpret_cast<const char16_t*>(names[0]));
    for (std::size_t i = 0; i < served_.members.size(); ++i) {
      if (served_.members[i].name == name) {
        ids[0] = static_cast<DISPID>(i + 1);
        return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;  // no named arguments
      }
    }
    return DISP_E_UNKNOWNNAME;
  }

  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                   EXCEPINFO* exception, UINT* argument_error) override {
    if (id < 1 || static_cast<std::size_t>(id) > served_.members.size()) return DISP_E_MEMBERNOTFOUND;
    const Member& member = served_.members[static_cast<std::size_t>(id) - 1];
    if (!Answers(member.kind, flags)) return DISP_E_MEMBERNOTFOUND;
    if (params == nullptr) return E_INVALIDARG;
    const bool put = member.kind == host::MemberKind::write;
    if (params->cNamedArgs > (put ? 1u : 0u)) return DISP_E_NONAMEDARGS;
    if (argument_error != nullptr) *argument_error = 0;

    const CallResult outcome = CallGuarded([&] {
      // The arguments come last to first.
      std::vector<host::Variant> args;
      args.reserve(params->cArgs);
      for (UINT i = params->cArgs; i-- > 0;)
        args.push_back(FromVariant(params->rgvarg[i], HostObjectBridge()));
      host::Variant value = member.call(served_.self, member.name, args);
      if (member.kind == host::MemberKind::late) {
        for (UINT i = 0; i < params->cArgs; ++i)
          StoreByRef(args[params->cArgs - 1 - i], params->rgvarg[i], HostObjectBridge());
      }
      return value;
    });
    if (outcome.error) return Fail(*outcome.error, exception);
    if (result == nullptr) return S_OK;
    VariantInit(result);
    const CallResult stored = CallGuarded([&] {
      ToVariant(outcome.value, *result, HostObjectBridge());
      return host::Variant{};
    });
    return stored.error ? Fail(*stored.error, exception) : S_OK;
  }

 private:
  ~HostDispatch() override = default;

  static HRESULT Fail(const CallError& error, EXCEPINFO* exception) {
    if (exception == nullptr) return ResultCodeOf(error.kind);
    FillException(*exception, error, u"Kelvo");
    return DISP_E_EXCEPTION;
  }

  std::shared_ptr<host::Object> object_;
  Served served_;
};

}  // namespace

IDispatch* ServeHostObject(std::shared_ptr<host::Object> object) {
  if (!object) return nullptr;
  return new HostDispatch(std::move(object));
}

std::shared_ptr<host::Object> ServedHostObject(IDispatch* dispatch) {
  if (dispatch == nullptr) return nullptr;
  void* served = nullptr;
  if (FAILED(dispatch->QueryInterface(kServedObjectId, &served)) || served == nullptr) return nullptr;
  auto* host_dispatch = static_cast<HostDispatch*>(static_cast<IDispatch*>(served));
  std::shared_ptr<host::Object> object = host_dispatch->object();
  host_dispatch->Release();
  return object;
}

const ObjectBridge& HostObjectBridge() {
  static const ObjectBridge bridge{
      [](const std::shared_ptr<host::Object>& object) { return ServeHostObject(object); },
      [](IDispatch* dispatch) -> std::shared_ptr<host::Object> {
        if (dispatch == nullptr) return nullptr;
        if (auto object = ServedHostObject(dispatch)) return object;
        throw host::Error(host::ErrorKind::kTypeMismatch, "type mismatch: an object the host did not make");
      }};
  return bridge;
}

}  // namespace platform::windows
