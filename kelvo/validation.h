// The host's validation run, the way Kelvo validates: it announces the run
// (Kelvo_OnStartValidation, unless the host options say otherwise); at the session's first run it
// clears its list of registered rules and lets the add-in register its user rules
// (Kelvo_OnInitializeUserRules), which later runs reuse; it runs every rule registered during
// that call on every element in model order (Kelvo_OnRunElementRule) and then
// on every connector in model order (Kelvo_OnRunConnectorRule), and announces the end
// (Kelvo_OnEndValidation). A failed run is recorded and the run goes on; every violation belongs
// to the object of the run that reported it. The model does not change in between.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "kelvo/host.h"
#include "kelvo/session.h"
#include "platform/component.h"
#include "platform/loader.h"

namespace kelvo {

// A model object as reports show it.
struct ObjectInfo {
  RunObject::Kind kind = RunObject::Kind::kNone;
  std::int32_t id = 0;
  std::u16string key;  // the element's or connector's key; the decimal id for an unknown object
  std::u16string name;
  std::u16string type;  // the stereotype
};
ObjectInfo Describe(const Model& model, RunObject object);

struct ReportedViolation {
  ObjectInfo object;
  std::u16string rule_id;
  std::optional<std::u16string> rule;  // the rule's name, when the host ever registered the id
  std::int32_t level = 0;              // 0 error, 1 warning
  std::u16string message;
};
ReportedViolation Resolve(const Host& host, const Violation& violation);

struct RunFailure {
  ObjectInfo object;  // kind none for the rule registration
  std::u16string rule_id;
  std::optional<std::u16string> rule;
  platform::CallError error;
};

struct DiagramInfo {
  std::int32_t id = 0;
  std::u16string name;
};

struct ValidationResult {
  std::optional<DiagramInfo> diagram;  // open during the run
  std::vector<ReportedViolation> violations;
  std::vector<RunFailure> failures;
  std::size_t elements = 0;
  std::size_t connectors = 0;
  // The host members used during the run, counted by the host's objects (kelvo/host_calls.h).
  std::int64_t host_calls = 0;

  std::size_t errors() const;    // violations of level 0
  std::size_t warnings() const;  // violations of level 1
  bool clean() const { return errors() == 0 && failures.empty(); }
};

// One validation run in the session, on the diagram open at that moment. The violations are
// also left in the host's record.
ValidationResult RunValidation(Session& session, platform::DispatchObject& addin);

// Validates in a fresh session: creates the add-in object from `module`, opens `diagram`, runs,
// and destroys the object again.
ValidationResult ValidateModel(const platform::LoadedModule& module, std::shared_ptr<Host> host,
                               std::optional<std::int32_t> diagram);

}  // namespace kelvo
