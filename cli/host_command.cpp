// `orbelt host`: plays a scenario against the add-in and prints its transcript.
#include "cli/commands.h"
#include "formats/scenario_file.h"
#include "formats/transcript.h"
#include "kelvo/scenario.h"

namespace orbelt::cli {

int PlayScenario(const std::string& addin, const std::string& scenario_file, Output& output) {
  try {
    const auto scenario = formats::LoadScenarioFile(scenario_file);
    const platform::LoadedModule module(addin);
    formats::TranscriptWriter transcript(output.out());
    kelvo::PlayScenario(scenario, module,
                        [&transcript](const kelvo::PlayedStep& step) { transcript.Write(step); });
    transcript.Finish();
    if (output.out() << std::flush) return kSuccess;
    output.err() << "orbelt: cannot write the standard output\n";
    return kUnusable;
  } catch (const std::exception& e) {
    output.err() << "orbelt: " << e.what() << "\n";
    return kUnusable;
  }
}

}  // namespace orbelt::cli
