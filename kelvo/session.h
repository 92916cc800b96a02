// A host session as the add-in meets it: the host, and optionally the interceptor between the two
// (for tracing and faults). Everything the host hands the add-in goes out through here, wrapped
// when an interceptor is in place and as it is otherwise.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "host/objects.h"
#include "kelvo/host.h"
#include "kelvo/interceptor.h"
#include "platform/component.h"

namespace kelvo {

class Session {
 public:
  explicit Session(std::shared_ptr<Host> host, std::optional<Interceptor> interceptor = std::nullopt);

  Host& host() { return *host_; }
  const Host& host() const { return *host_; }
  const std::shared_ptr<Host>& host_ptr() const { return host_; }
  Interceptor* interceptor() { return interceptor_ ? &*interceptor_ : nullptr; }

  // The objects handed to the add-in as event arguments.
  const std::shared_ptr<host::Object>& Repository() const { return repository_; }
  // Null when the model has no such element.
  std::shared_ptr<host::Object> Element(std::int32_t id) const;
  std::shared_ptr<host::Object> InfoBag(const std::vector<host::Variant>& values) const;

  // The user rules of the session's add-in, registered once, at its first validation run, as a
  // host registers them once per loaded add-in; none before that run.
  const std::optional<std::vector<RuleRegistration>>& user_rules() const { return user_rules_; }
  void set_user_rules(std::vector<RuleRegistration> rules) { user_rules_ = std::move(rules); }

 private:
  std::shared_ptr<Host> host_;
  std::optional<Interceptor> interceptor_;
  std::shared_ptr<host::Object> repository_;
  std::optional<std::vector<RuleRegistration>> user_rules_;
};

// Calls an operation of the add-in by name, passing `args` by reference.
platform::CallResult Invoke(platform::DispatchObject& addin, std::u16string_view operation,
                            std::vector<host::Variant>& args);

// The class that the host creates in the add-in module.
inline constexpr const char* kAddinProgId = "Orbelt.COrbelt";

}  // namespace kelvo
