// `orbelt host`: plays a scenario against the add-in and prints its transcript.
#include "cli/commands.h"
#include "kelvo/json_input.h"
#include "kelvo/scenario.h"

namespace orbelt::cli {

int PlayScenario(const std::string& addin, const std::string& scenario_file, Output& output) {
  try {
    const auto scenario = kelvo::LoadScenarioFile(scenario_file);
    const platform::LoadedModule module(addin);
    kelvo::WriteTranscript(output.out(), kelvo::PlayScenario(scenario, module));
    return kSuccess;
  } catch (const std::exception& e) {
    output.err() << "orbelt: " << e.what() << "\n";
    return kUnusable;
  }
}

}  // namespace orbelt::cli
