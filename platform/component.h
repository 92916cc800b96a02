// The component runtime for in-process automation components: operations callable by name
// with arguments by reference, the type library description derived from the same tables,
// class factories, self-registration and the unload query. The module's entry points hand
// over to the platform's server of ModuleServer() at once. No C++ exception leaves Invoke or
// CreateInstance: a failure becomes the call's error result.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

#include "host/error.h"
#include "host/objects.h"
#include "host/variant.h"

namespace platform {

// Result codes of the entry points.
enum ResultCode : std::int32_t {
  kOk = 0,
  kFalse = 1,
  kClassNotAvailable = static_cast<std::int32_t>(0x80040111u),
  kRegistrationFailed = static_cast<std::int32_t>(0x80040201u),
  kInvalidArgument = static_cast<std::int32_t>(0x80070057u),
};

// The reason of the last failing entry point on this thread, kept beside its result code as the
// platform's error-info object keeps it: the entry point sets it, the caller takes it (which
// clears it). Empty when the failure left no reason.
void SetErrorInfo(std::string description);
std::string TakeErrorInfo();

struct CallError {
  host::ErrorKind kind = host::ErrorKind::kHost;
  std::string message;
};

struct CallResult {
  host::Variant value;
  std::optional<CallError> error;
};

using ArgRefs = std::span<host::Variant* const>;

// Runs `body` and turns any exception into an error result.
template <class Body>
CallResult CallGuarded(Body&& body) noexcept {
  try {
    return CallResult{body(), std::nullopt};
  } catch (const host::Error& e) {
    return CallResult{{}, CallError{e.kind(), e.what()}};
  } catch (const std::exception& e) {
    return CallResult{{}, CallError{host::ErrorKind::kHost, e.what()}};
  } catch (...) {
    return CallResult{{}, CallError{host::ErrorKind::kHost, "unknown failure"}};
  }
}

struct InterfaceInfo {
  std::string name;
  std::vector<std::string> operations;  // in declared order
};

struct ClassInfo {
  std::string name;
  InterfaceInfo default_interface;
};

struct TypeLibraryInfo {
  std::string name;
  std::vector<ClassInfo> classes;
};

// An automation object as the host holds it.
class DispatchObject {
 public:
  virtual ~DispatchObject() = default;
  virtual const InterfaceInfo& Interface() const = 0;
  virtual CallResult Invoke(std::u16string_view operation, ArgRefs args) noexcept = 0;
};

// A host object that arrives from another module through late binding only (on Windows, an
// IDispatch pointer): its interface becomes known when an operation names the parameter it is
// passed for. As() gives the object as that interface, or fails with a type mismatch.
class UntypedObject : public host::Object {
 public:
  static constexpr const char* kInterfaceName = "Object";
  virtual std::shared_ptr<host::Object> As(std::string_view interface_name) = 0;
};

namespace detail {

template <class A>
struct Arg;

template <>
struct Arg<std::u16string&> {
  static std::u16string& From(host::Variant& v) {
    if (auto* s = std::get_if<std::u16string>(&v)) return *s;
    throw host::Error(host::ErrorKind::kTypeMismatch, "type mismatch: a string argument was expected");
  }
};

template <>
struct Arg<std::int32_t&> {
  static std::int32_t& From(host::Variant& v) {
    if (!std::holds_alternative<std::int32_t>(v)) v = host::ToLong(v);
    return std::get<std::int32_t>(v);
  }
};

template <class I>
struct Arg<const host::Ref<I>&> {
  static host::Ref<I> From(host::Variant& v) {
    if (std::holds_alternative<std::monostate>(v)) return {};
    auto* object = std::get_if<std::shared_ptr<host::Object>>(&v);
    if (!object)
      throw host::Error(host::ErrorKind::kTypeMismatch,
                        std::string("type mismatch: ") + I::kInterfaceName + " expected");
    if (!*object) return {};
    std::shared_ptr<host::Object> given = *object;
    if (auto untyped = std::dynamic_pointer_cast<UntypedObject>(given))
      given = untyped->As(I::kInterfaceName);
    auto typed = std::dynamic_pointer_cast<I>(given);
    if (!typed)
      throw host::Error(host::ErrorKind::kTypeMismatch,
                        std::string("type mismatch: ") + I::kInterfaceName + " expected");
    return host::Ref<I>(std::move(typed));
  }
};

template <class R>
host::Variant ToVariant(R&& value) {
  return host::Variant(std::forward<R>(value));
}

}  // namespace detail

// One operation of an interface; `call` is empty for the creation and destruction steps,
// which are listed but not callable by name.
template <class T>
struct Operation {
  std::string name;
  std::function<host::Variant(T&, ArgRefs)> call;
};

template <class T, class R, class... A>
Operation<T> Op(std::string name, R (T::*method)(A...)) {
  return {std::move(name), [method](T& self, ArgRefs args) -> host::Variant {
            if (args.size() != sizeof...(A)) {
              throw host::Error(host::ErrorKind::kTypeMismatch, "wrong number of arguments");
            }
            return [&]<std::size_t... I>(std::index_sequence<I...>)->host::Variant {
              if constexpr (std::is_void_v<R>) {
                (self.*method)(detail::Arg<A>::From(*args[I])...);
                return {};
              } else {
                return detail::ToVariant((self.*method)(detail::Arg<A>::From(*args[I])...));
              }
            }
            (std::index_sequence_for<A...>{});
          }};
}

template <class T>
Operation<T> Lifecycle(std::string name) {
  return {std::move(name), {}};
}

// A class's default interface: its name and its operations in declared order.
template <class T>
struct DispatchInterface {
  std::string name;
  std::vector<Operation<T>> operations;

  InterfaceInfo Info() const {
    InterfaceInfo info{name, {}};
    for (const auto& op : operations) info.operations.push_back(op.name);
    return info;
  }
};

// Counts live objects and server locks for the unload query.
class ObjectCounter {
 public:
  static void Add(int delta);
  static int Live();
};

// Holds one T and makes it callable by name through T::Interface().
template <class T>
class AutomationObject final : public DispatchObject {
 public:
  AutomationObject() : object_(std::make_unique<T>()), info_(T::Interface().Info()) { ObjectCounter::Add(1); }
  ~AutomationObject() override {
    object_.reset();
    ObjectCounter::Add(-1);
  }
  const InterfaceInfo& Interface() const override { return info_; }
  CallResult Invoke(std::u16string_view operation, ArgRefs args) noexcept override {
    return CallGuarded([&]() -> host::Variant {
      for (const auto& op : T::Interface().operations) {
        if (op.call && std::equal(op.name.begin(), op.name.end(), operation.begin(), operation.end())) {
          return op.call(*object_, args);
        }
      }
      throw host::Error(host::ErrorKind::kHost,
                        "no operation named " + std::string(operation.begin(), operation.end()));
    });
  }
  T& object() { return *object_; }

 private:
  std::unique_ptr<T> object_;
  InterfaceInfo info_;
};

class ClassFactory {
 public:
  virtual ~ClassFactory() = default;
  virtual CallResult CreateInstance(std::shared_ptr<DispatchObject>* out) noexcept = 0;
};

// A creatable class of the component: its type library entry and its factory.
struct CoClass {
  ClassInfo info;
  std::function<std::shared_ptr<DispatchObject>()> create;  // empty for classes not creatable by the host
};

template <class T>
CoClass MakeCoClass(std::string name, bool creatable) {
  CoClass c{ClassInfo{std::move(name), T::Interface().Info()}, {}};
  if (creatable) c.create = [] { return std::make_shared<AutomationObject<T>>(); };
  return c;
}

// What a module serves: its library name and classes. Each platform's entry points serve it
// (platform/linux/component/server.h, platform/windows/component/server.h).
class InProcessServer {
 public:
  InProcessServer(std::string library, std::vector<CoClass> classes)
      : library_(std::move(library)), classes_(std::move(classes)) {}

  const std::string& library() const { return library_; }
  const std::vector<CoClass>& classes() const { return classes_; }
  TypeLibraryInfo TypeLibrary() const {
    TypeLibraryInfo info{library_, {}};
    for (const auto& c : classes_) info.classes.push_back(c.info);
    return info;
  }

 private:
  std::string library_;
  std::vector<CoClass> classes_;
};

// The server of the module this code is linked into, defined by the module itself.
InProcessServer& ModuleServer();

}  // namespace platform
