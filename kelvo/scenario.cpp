#include "kelvo/scenario.h"

#include <memory>
#include <utility>

#include "kelvo/session.h"
#include "platform/text.h"

namespace kelvo {

namespace {

// Calls the step's event method of the add-in with the Repository and the step's arguments.
void PlayCall(Session& session, platform::DispatchObject& addin, const ScenarioStep& step,
              PlayedStep& played) {
  Host& host = session.host();
  std::vector<host::Variant> args{session.Repository()};
  for (const auto& arg : step.args) args.emplace_back(arg);
  if (step.rule) args.emplace_back(host.FirstRuleIdNamed(*step.rule).value_or(u""));
  if (step.rule_id) args.emplace_back(*step.rule_id);
  if (step.element) {
    args.emplace_back(session.Element(*step.element));
    if (host.model().FindElement(*step.element)) host.BeginRun(RunObject::Element(*step.element));
  }
  if (step.connector) {
    args.emplace_back(*step.connector);
    host.BeginRun(RunObject::Connector(*step.connector));
  }
  if (step.info) args.emplace_back(session.InfoBag(*step.info));
  platform::CallResult outcome = Invoke(addin, platform::FromUtf8(step.call), args);
  host.EndRun();
  played.result = std::move(outcome.value);
  played.error = std::move(outcome.error);
}

// A choice or a validation run on the host's side.
void PlayHostStep(Session& session, platform::DispatchObject& addin, const ScenarioStep& step,
                  PlayedStep& played) {
  try {
    if (step.kind == ScenarioStep::Kind::kSelect) session.host().SelectPackage(step.target);
    if (step.kind == ScenarioStep::Kind::kOpen) session.host().OpenDiagram(step.target);
  } catch (const host::Error& e) {
    played.error = platform::CallError{e.kind(), e.what()};
  }
  if (step.kind == ScenarioStep::Kind::kValidate) played.failures = RunValidation(session, addin).failures;
}

}  // namespace

void PlayScenario(const Scenario& scenario, const platform::LoadedModule& module,
                  const std::function<void(const PlayedStep&)>& on_step) {
  std::optional<Interceptor> interceptor;
  if (scenario.trace || !scenario.faults.empty()) interceptor.emplace(scenario.trace, scenario.faults);
  Session session(Host::Create(scenario.model, scenario.options), std::move(interceptor));
  Host& host = session.host();
  auto ui = std::make_shared<platform::RecordingUserInterface>();
  platform::SetUserInterface(ui);

  {
    const std::shared_ptr<platform::DispatchObject> addin = module.CreateObject(kAddinProgId);
    for (const ScenarioStep& step : scenario.steps) {
      ui->Clear();
      if (session.interceptor()) session.interceptor()->TakeTrace();
      PlayedStep entry;
      entry.step = &step;
      if (step.kind == ScenarioStep::Kind::kCall) {
        PlayCall(session, *addin, step, entry);
      } else {
        PlayHostStep(session, *addin, step, entry);
      }
      entry.message_boxes = std::move(ui->message_boxes);
      entry.dialogs = std::move(ui->dialogs);
      entry.help = std::move(ui->help);
      // Taken, not kept: a long session holds no more than one step's violations.
      for (const Violation& violation : host.TakeViolations())
        entry.violations.push_back(Resolve(host, violation));
      if (scenario.trace) entry.calls = session.interceptor()->TakeTrace();
      on_step(entry);
    }
  }  // the add-in object is destroyed here, before the module can be unloaded
  ui->Clear();
}

std::vector<PlayedStep> PlayScenario(const Scenario& scenario, const platform::LoadedModule& module) {
  std::vector<PlayedStep> played;
  PlayScenario(scenario, module, [&played](const PlayedStep& step) { played.push_back(step); });
  return played;
}

}  // namespace kelvo
