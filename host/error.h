// Errors that end an event call: the failure kinds that the host reports for a call of the
// add-in, shared by the host's objects, the add-in and the component boundary.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace host {

enum class ErrorKind {
  kHost,          // a host member failed
  kOverflow,      // a 16-bit count overflowed
  kNullObject,    // a member was used on an object that is not set
  kTypeMismatch,  // a value did not convert
  kIndex,         // no such collection entry
  kResource,      // a resource could not be read
};

constexpr std::string_view ToString(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::kHost:
      return "host";
    case ErrorKind::kOverflow:
      return "overflow";
    case ErrorKind::kNullObject:
      return "null-object";
    case ErrorKind::kTypeMismatch:
      return "type-mismatch";
    case ErrorKind::kIndex:
      return "index";
    case ErrorKind::kResource:
      return "resource";
  }
  return "host";
}

// Thrown by host members and by the add-in itself; caught only at the component boundary.
class Error : public std::runtime_error {
 public:
  Error(ErrorKind kind, const std::string& message) : std::runtime_error(message), kind_(kind) {}
  ErrorKind kind() const { return kind_; }

 private:
  ErrorKind kind_;
};

}  // namespace host
