// A forwarding layer between the add-in and the host's objects: it wraps a Repository and every
// object handed out through it, records each member the add-in uses as a trace line, and makes
// chosen calls fail with a host error and no effect (fault injection).
//
// Trace lines: a read is `Object.Member`, a call `Object.Member(arg, ...)` (`Diagram.Save()`
// without arguments), a write `Object.Member=value`. Strings are JSON-quoted, or written
// `<string of N characters>` beyond 64 characters; numbers are decimal, Booleans true/false.
// Walking a collection (its Count and GetAt) is not listed; the members read on its items are.
// A call that fails is listed too.
//
// Without trace and faults no interceptor is needed: the host's objects are handed out as they
// are (they count their own uses, kelvo/host_calls.h).
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/objects.h"

namespace kelvo {

// Make the `nth` call (1-based, counted over the whole session) of `member` ("Object.Member",
// e.g. "Repository.ActiveDiagram", "ValidationService.ExportDiagramToBPEL"; see
// host::IsKnownMember) fail; every call of it without `nth`.
struct Fault {
  std::string member;
  std::optional<std::int64_t> nth;
};

class Interceptor {
 public:
  Interceptor(bool trace, std::vector<Fault> faults);

  // Wrap host objects for handing them to the add-in; an unset pointer stays unset.
  std::shared_ptr<host::Repository> Wrap(std::shared_ptr<host::Repository> object) const;
  std::shared_ptr<host::Element> Wrap(std::shared_ptr<host::Element> object) const;
  std::shared_ptr<host::InfoBag> Wrap(std::shared_ptr<host::InfoBag> object) const;

  // The trace lines recorded since the last TakeTrace (none when tracing is off).
  std::vector<std::string> TakeTrace();
  bool tracing() const;
  // How often the add-in has used `member` in the session.
  std::int64_t CallCount(const std::string& member) const;

  struct State;

 private:
  std::shared_ptr<State> state_;
};

// A trace argument as written in a trace line: quoted, or its length beyond 64 characters.
std::string TraceValue(const std::u16string& text);

}  // namespace kelvo
