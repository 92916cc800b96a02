// The scenario player: plays a scripted host session against the add-in module as the host
// would (one COrbelt for the whole scenario, host state carried from step to step, the recording
// user interface) and records what each step did. Reading scenarios and writing transcripts are
// the file formats' business (formats/).
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/variant.h"
#include "kelvo/host.h"
#include "kelvo/interceptor.h"
#include "kelvo/model_data.h"
#include "kelvo/validation.h"
#include "platform/component.h"
#include "platform/loader.h"
#include "platform/ui.h"

namespace kelvo {

class Session;

struct ScenarioStep {
  enum class Kind { kCall, kSelect, kOpen, kValidate };
  Kind kind = Kind::kCall;

  // call steps
  std::string call;                       // the event method of COrbelt
  std::vector<std::u16string> args;       // string arguments after Repository
  std::optional<std::u16string> rule;     // by registered name
  std::optional<std::u16string> rule_id;  // as written
  std::optional<std::int32_t> element;
  std::optional<std::int32_t> connector;
  std::optional<std::vector<host::Variant>> info;

  // select and open steps: the package or diagram, none when unset
  std::optional<std::int32_t> target;
};

struct Scenario {
  std::string file;
  ModelData model;  // with the scenario's host overrides applied
  HostOptions options;
  std::vector<Fault> faults;
  bool trace = false;
  std::vector<ScenarioStep> steps;
};

// What one step did.
struct PlayedStep {
  const ScenarioStep* step = nullptr;
  host::Variant result;
  std::optional<platform::CallError> error;
  std::vector<platform::MessageBoxRecord> message_boxes;
  std::vector<platform::DialogRecord> dialogs;
  std::vector<platform::HelpRecord> help;
  std::vector<ReportedViolation> violations;
  std::optional<std::vector<std::string>> calls;    // the host members used, when the scenario traces
  std::optional<std::vector<RunFailure>> failures;  // validate steps
};

// A scenario's host session in play, a step at a time: one COrbelt for the whole session, host
// state carried from step to step, the recording user interface installed.
class ScenarioPlayer {
 public:
  ScenarioPlayer(const Scenario& scenario, const platform::LoadedModule& module);
  ~ScenarioPlayer();
  ScenarioPlayer(const ScenarioPlayer&) = delete;
  ScenarioPlayer& operator=(const ScenarioPlayer&) = delete;

  // Plays `step`, which must outlive the result (it points to it).
  PlayedStep Play(const ScenarioStep& step);

 private:
  bool trace_;
  std::unique_ptr<Session> session_;
  std::shared_ptr<platform::RecordingUserInterface> ui_;
  std::shared_ptr<platform::DispatchObject> addin_;
};

// Plays the scenario against the add-in in `module`, handing each step to `on_step` when it
// ends, so that a long scenario need not be held in memory.
void PlayScenario(const Scenario& scenario, const platform::LoadedModule& module,
                  const std::function<void(const PlayedStep&)>& on_step);
// Plays the scenario and returns every step.
std::vector<PlayedStep> PlayScenario(const Scenario& scenario, const platform::LoadedModule& module);

}  // namespace kelvo
