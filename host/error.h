// Errors that end an event call: the failure kinds that the host reports for a call of the
// add-in, shared by the host's objects, the add-in and the component boundary.
#pragma once

#include <stdexcept>
#include <string>
#include <string_view>

namespace host {

enum class ErrorKind {
  host,           // a host member failed
  overflow,       // a 16-bit count overflowed
  null_object,    // a member was used on an object that is not set
  type_mismatch,  // a value did not convert
  index,          // no such collection entry
  resource,       // a resource could not be read
};

constexpr std::string_view ToString(ErrorKind kind) {
  switch (kind) {
    case ErrorKind::host:
      return "host";
    case ErrorKind::overflow:
      return "overflow";
    case ErrorKind::null_object:
      return "null-object";
    case ErrorKind::type_mismatch:
      return "type-mismatch";
    case ErrorKind::index:
      return "index";
    case ErrorKind::resource:
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
