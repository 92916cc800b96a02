#include "kelvo/validation.h"

#include <algorithm>

#include "platform/text.h"

namespace kelvo {

ObjectInfo Describe(const Model& model, RunObject object) {
  ObjectInfo info{object.kind, object.id, {}, {}, {}};
  if (object.kind == RunObject::Kind::kElement) {
    if (const auto& e = model.FindElement(object.id)) {
      info.key = e->data().key;
      info.name = e->data().name;
      info.type = e->data().stereotype;
      return info;
    }
  } else if (object.kind == RunObject::Kind::kConnector) {
    if (const auto& c = model.FindConnector(object.id)) {
      info.key = c->data().key;
      info.name = c->data().name;
      info.type = c->data().stereotype;
      return info;
    }
  }
  if (object.kind != RunObject::Kind::kNone) info.key = platform::FromUtf8(std::to_string(object.id));
  return info;
}

namespace {

std::optional<std::u16string> RuleNameOf(const Host& host, const std::u16string& rule_id) {
  const std::u16string* name = host.RuleName(rule_id);
  if (!name) return std::nullopt;
  return *name;
}

}  // namespace

ReportedViolation Resolve(const Host& host, const Violation& violation) {
  return {Describe(host.model(), violation.object), violation.rule_id, RuleNameOf(host, violation.rule_id),
          violation.level, violation.message};
}

std::size_t ValidationResult::errors() const {
  return static_cast<std::size_t>(std::count_if(violations.begin(), violations.end(),
                                                [](const ReportedViolation& v) { return v.level == 0; }));
}

std::size_t ValidationResult::warnings() const {
  return static_cast<std::size_t>(std::count_if(violations.begin(), violations.end(),
                                                [](const ReportedViolation& v) { return v.level == 1; }));
}

ValidationResult RunValidation(Session& session, platform::DispatchObject& addin) {
  Host& host = session.host();
  const Model& model = host.model();
  ValidationResult result;
  result.elements = model.elements().size();
  result.connectors = model.connectors().size();
  if (const auto id = host.active_diagram()) {
    if (const auto& diagram = model.FindDiagram(*id)) result.diagram = DiagramInfo{*id, diagram->data().name};
  }
  const std::size_t first_violation = host.violations().size();
  const std::int64_t calls_before = host_calls_on_this_thread;

  const auto fail = [&](RunObject object, const std::u16string& rule_id, platform::CallError error) {
    result.failures.push_back(
        {Describe(model, object), rule_id, RuleNameOf(host, rule_id), std::move(error)});
  };

  // The announcement of the run, to an add-in that takes it.
  const auto announce = [&](const char* operation) {
    if (!host.options().announce_validation) return;
    const auto& operations = addin.Interface().operations;
    if (std::find(operations.begin(), operations.end(), operation) == operations.end()) return;
    std::vector<host::Variant> args{session.Repository()};
    auto outcome = Invoke(addin, platform::FromUtf8(operation), args);
    if (outcome.error) fail(RunObject{}, u"", std::move(*outcome.error));
  };
  announce("Kelvo_OnStartValidation");

  // Registration, at the session's first run only.
  if (!session.user_rules()) {
    host.ClearRegisteredRules();
    std::vector<host::Variant> args{session.Repository()};
    host.EndRun();
    auto outcome = Invoke(addin, u"Kelvo_OnInitializeUserRules", args);
    if (outcome.error) fail(RunObject{}, u"", std::move(*outcome.error));
    session.set_user_rules(host.registered_rules());
  }
  const std::vector<RuleRegistration>& rules = *session.user_rules();

  // Element runs, then connector runs. The argument list is reused: only the values change.
  std::vector<host::Variant> args(3);
  const auto run = [&](std::u16string_view operation, RunObject object, const host::Variant& target) {
    for (const auto& rule : rules) {
      args[0] = session.Repository();
      args[1] = rule.id;
      args[2] = target;
      host.BeginRun(object);
      auto outcome = Invoke(addin, operation, args);
      host.EndRun();
      if (outcome.error) fail(object, rule.id, std::move(*outcome.error));
    }
  };
  for (const auto& element : model.elements()) {
    const std::int32_t id = element->data().id;
    run(u"Kelvo_OnRunElementRule", RunObject::Element(id), session.Element(id));
  }
  for (const auto& connector : model.connectors()) {
    const std::int32_t id = connector->data().id;
    run(u"Kelvo_OnRunConnectorRule", RunObject::Connector(id), id);
  }
  announce("Kelvo_OnEndValidation");
  result.host_calls = host_calls_on_this_thread - calls_before;

  const auto& violations = host.violations();
  result.violations.reserve(violations.size() - first_violation);
  for (std::size_t i = first_violation; i < violations.size(); ++i)
    result.violations.push_back(Resolve(host, violations[i]));
  return result;
}

ValidationResult ValidateModel(const platform::LoadedModule& module, std::shared_ptr<Host> host,
                               std::optional<std::int32_t> diagram) {
  host->OpenDiagram(diagram);
  Session session(std::move(host));
  const std::shared_ptr<platform::DispatchObject> addin = module.CreateObject(kAddinProgId);
  return RunValidation(session, *addin);
}

}  // namespace kelvo
