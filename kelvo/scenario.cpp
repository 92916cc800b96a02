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

ScenarioPlayer::ScenarioPlayer(const Scenario& scenario, const platform::LoadedModule& module)
    : trace_(scenario.trace), ui_(std::make_shared<platform::RecordingUserInterface>()) {
  std::optional<Interceptor> interceptor;
  if (scenario.trace || !scenario.faults.empty()) interceptor.emplace(scenario.trace, scenario.faults);
  session_ =
      std::make_unique<Session>(Host::Create(scenario.model, scenario.options), std::move(interceptor));
  platform::SetUserInterface(ui_);
  addin_ = module.CreateObject(kAddinProgId);
}

// The add-in object goes first, before the module can be unloaded.
ScenarioPlayer::~ScenarioPlayer() {
  addin_.reset();
  ui_->Clear();
}

PlayedStep ScenarioPlayer::Play(const ScenarioStep& step) {
  Host& host = session_->host();
  ui_->Clear();
  if (session_->interceptor()) session_->interceptor()->TakeTrace();
  PlayedStep played;
  played.step = &step;
  if (step.kind == ScenarioStep::Kind::kCall) {
    PlayCall(*session_, *addin_, step, played);
  } else {
    PlayHostStep(*session_, *addin_, step, played);
  }
  played.message_boxes = std::move(ui_->message_boxes);
  played.dialogs = std::move(ui_->dialogs);
  played.help = std::move(ui_->help);
  // Taken, not kept: a long session holds no more than one step's violations.
  for (const Violation& violation : host.TakeViolations())
    played.violations.push_back(Resolve(host, violation));
  if (trace_) played.calls = session_->interceptor()->TakeTrace();
  return played;
}

void PlayScenario(const Scenario& scenario, const platform::LoadedModule& module,
                  const std::function<void(const PlayedStep&)>& on_step) {
  ScenarioPlayer player(scenario, module);
  for (const ScenarioStep& step : scenario.steps) on_step(player.Play(step));
}

std::vector<PlayedStep> PlayScenario(const Scenario& scenario, const platform::LoadedModule& module) {
  std::vector<PlayedStep> played;
  PlayScenario(scenario, module, [&played](const PlayedStep& step) { played.push_back(step); });
  return played;
}

}  // namespace kelvo
