// A reference to a host object that may be unset. Using a member through an unset reference
// fails with a null-object error, as the automation runtime reports "object not set".
#pragma once

#include <memory>
#include <string>
#include <utility>

#include "host/error.h"

namespace host {

// Out of line and marked cold: every member use through a Ref checks for an unset reference, and
// only a failing one needs the message built.
[[noreturn]] [[gnu::noinline, gnu::cold]] inline void ThrowObjectNotSet(const char* interface_name) {
  throw Error(ErrorKind::kNullObject, std::string("object variable not set (") + interface_name + ")");
}

template <class T>
class Ref {
 public:
  Ref() = default;
  // Implicit like the pointers they stand for: unset, from an object, and to a base interface.
  Ref(std::nullptr_t) {}                                          // NOLINT(google-explicit-constructor)
  Ref(std::shared_ptr<T> object) : object_(std::move(object)) {}  // NOLINT(google-explicit-constructor)
  template <class U>
  Ref(Ref<U> other) : object_(std::move(other).shared()) {}  // NOLINT(google-explicit-constructor)

  T* operator->() const { return &get(); }
  T& operator*() const { return get(); }
  T& get() const {
    if (!object_) ThrowObjectNotSet(T::kInterfaceName);
    return *object_;
  }
  explicit operator bool() const { return object_ != nullptr; }
  // A reference to a collection can be walked directly: `for (auto c : element->ConnectorList())`
  // keeps the collection alive for the whole walk, which `*element->ConnectorList()` would not.
  auto begin() const { return get().begin(); }
  auto end() const { return get().end(); }
  const std::shared_ptr<T>& shared() const& { return object_; }
  std::shared_ptr<T> shared() && { return std::move(object_); }

 private:
  std::shared_ptr<T> object_;
};

}  // namespace host
