// The scenario player: reads a "kelvo-scenario/1" file, plays its steps against the add-in module
// as the host would (one COrbelt for the whole scenario, host state carried from step to step,
// the recording user interface), and writes what happened as a "kelvo-transcript/1" document.
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "host/variant.h"
#include "kelvo/host.h"
#include "kelvo/interceptor.h"
#include "kelvo/json_input.h"
#include "kelvo/model_data.h"
#include "platform/loader.h"

namespace kelvo {

inline constexpr std::string_view kScenarioFormat = "kelvo-scenario/1";
inline constexpr std::string_view kTranscriptFormat = "kelvo-transcript/1";

struct ScenarioStep {
  enum class Kind { call, select, open, validate };
  Kind kind = Kind::call;

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

// Reads a scenario and its model. Throws InputError naming the file and the item.
Scenario LoadScenarioFile(const std::string& path);
// `base_directory` resolves a model given by path.
Scenario ParseScenario(std::string_view text, const std::string& file, const std::string& base_directory);

// Plays the scenario against the add-in in `module` and returns the transcript document.
Json PlayScenario(const Scenario& scenario, const platform::LoadedModule& module);
void WriteTranscript(std::ostream& out, const Json& transcript);

}  // namespace kelvo
