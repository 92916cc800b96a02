// The subcommands of `orbelt`, each returning the command's exit status.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"

namespace orbelt::cli {

// Where the add-in module is: --addin, else ORBELT_ADDIN, else the module file (liborbelt.so,
// orbelt.dll) beside the program.
std::string AddinPath(const std::string& addin_flag);

// The threads `orbelt validate` uses unless told: one per core.
unsigned DefaultJobs();

struct ValidateOptions {
  std::vector<std::string> inputs;  // model files, BPMN files or folders; none: the bundled sample
  std::optional<std::string> diagram;
  std::string format = "text";
  std::string output_file;
  bool stats = false;             // report host calls, phase times and peak memory per file
  unsigned jobs = DefaultJobs();  // files validated at once, each on its own thread
};

int Validate(const std::string& addin, const ValidateOptions& options, Output& output);
int PlayScenario(const std::string& addin, const std::string& scenario, Output& output);
int Convert(const std::string& addin, const std::string& file, const std::string& output_file,
            Output& output);
int WriteTechnology(const std::string& addin, const std::string& output_file, Output& output);
int Register(const std::string& addin, bool unregister, Output& output);

// Writes `text` to the file, or to the output when no file is named. False (after saying why)
// when the file cannot be written.
bool Emit(const std::string& text, const std::string& output_file, Output& output);

}  // namespace orbelt::cli
