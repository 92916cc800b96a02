// Reading the models that `orbelt validate` and `orbelt convert` are given: kelvo-model/1 files,
// BPMN 2.0 files (read with the technology that the add-in installs through its own load
// command) and folders of either.
#pragma once

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "bpmn/import.h"
#include "formats/report.h"
#include "kelvo/model_data.h"
#include "kelvo/technology.h"
#include "platform/loader.h"

namespace orbelt::cli {

// An input file, or a path that could not be read while listing the inputs and why.
struct InputFile {
  std::string path;
  std::string fault;  // empty when the path was found
};

// The files that the inputs name, folders expanded to the model and BPMN files they hold
// (recursively, in name order). A missing input, an unreadable folder or file comes with its
// fault in its place, so that the other inputs can still be read.
std::vector<InputFile> ExpandInputs(const std::vector<std::string>& inputs);

// The technology document the add-in embeds (TECHFILE 101), byte for byte.
std::string EmbeddedTechnology(const platform::LoadedModule& module);

// Obtains the technology as a user would: a host session clicks the add-in's "&Load" and the
// host parses the document handed to InstallTechnology. Throws std::runtime_error when the
// add-in does not install it.
kelvo::Technology InstallAddinTechnology(const platform::LoadedModule& module);

// One input read into model data, with the time each phase of reading took.
struct LoadedInput {
  kelvo::ModelData model;
  std::vector<std::string> warnings;
  formats::PhaseTimes times;  // read, technology and import
};

// Reads models, installing the technology the first time a BPMN file needs it. Threads may read
// at once: the first to need the technology installs it while the others wait for it.
class InputReader {
 public:
  explicit InputReader(const platform::LoadedModule& module) : module_(module) {}
  // Throws kelvo::InputError naming the file (and the line or item) when it cannot be read.
  LoadedInput Read(const std::string& file);

 private:
  const kelvo::Technology& Technology();
  const platform::LoadedModule& module_;
  std::mutex installing_;
  std::optional<kelvo::Technology> technology_;
};

}  // namespace orbelt::cli
