#include "cli/inputs.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "bpmn/import.h"
#include "cli/stopwatch.h"
#include "formats/model_file.h"
#include "kelvo/input.h"
#include "kelvo/session.h"
#include "platform/text.h"

namespace orbelt::cli {

namespace {

namespace fs = std::filesystem;

bool IsModelPath(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return extension == ".json";
}

bool IsInputPath(const fs::path& path) { return IsModelPath(path) || bpmn::IsBpmnPath(path.string()); }

// Adds the model and BPMN files under `folder` to `found`, with a fault in place of a folder or
// an input file that cannot be read. Links to folders are not followed.
void Collect(const fs::path& folder, std::vector<InputFile>& found) {
  std::error_code error;
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    std::error_code status_error;
    const fs::file_status status = it->status(status_error);
    if (status_error) {
      if (IsInputPath(it->path()))
        found.push_back({it->path().string(), "cannot be read: " + status_error.message()});
    } else if (fs::is_directory(status)) {
      if (!it->is_symlink(status_error)) Collect(it->path(), found);
    } else if (fs::is_regular_file(status) && IsInputPath(it->path())) {
      found.push_back({it->path().string(), {}});
    }
  }
  if (error) found.push_back({folder.string(), "cannot read the folder: " + error.message()});
}

}  // namespace

std::vector<InputFile> ExpandInputs(const std::vector<std::string>& inputs) {
  std::vector<InputFile> files;
  for (const auto& input : inputs) {
    std::error_code error;
    if (!fs::is_directory(input, error)) {
      files.push_back({input, fs::exists(input, error) ? "" : "no such file or folder"});
      continue;
    }
    std::vector<InputFile> found;
    Collect(input, found);
    std::sort(found.begin(), found.end(),
              [](const InputFile& a, const InputFile& b) { return a.path < b.path; });
    files.insert(files.end(), found.begin(), found.end());
  }
  return files;
}

std::string EmbeddedTechnology(const platform::LoadedModule& module) {
  const auto document = module.BinaryResource("TECHFILE", 101);
  return {reinterpret_cast<const char*>(document.data()), document.size()};
}

kelvo::Technology InstallAddinTechnology(const platform::LoadedModule& module) {
  kelvo::ModelData empty;
  empty.packages.push_back({1, u"Model", 0});
  kelvo::Session session(kelvo::Host::Create(std::move(empty)));
  const auto addin = module.CreateObject(kelvo::kAddinProgId);
  std::vector<host::Variant> args{session.Repository(), std::u16string(u"MainMenu"),
                                  std::u16string(u"-&BPMN Technology"), std::u16string(u"&Load")};
  const auto result = kelvo::Invoke(*addin, u"Kelvo_MenuClick", args);
  if (result.error)
    throw std::runtime_error(module.path() + ": loading the technology failed: " + result.error->message);
  const kelvo::Technology* technology = session.host().InstalledTechnology(u"BPMN");
  if (technology != nullptr) return *technology;
  // The host only learns that the install failed; why, the document the add-in embeds tells.
  kelvo::ParseTechnology(platform::FromAnsi(EmbeddedTechnology(module)), module.path() + " (TECHFILE 101)");
  throw std::runtime_error(module.path() + ": the add-in did not install its technology");
}

const kelvo::Technology& InputReader::Technology() {
  const std::lock_guard lock(installing_);
  if (!technology_) technology_ = InstallAddinTechnology(module_);
  return *technology_;
}

LoadedInput InputReader::Read(const std::string& file) {
  LoadedInput input;
  Stopwatch clock;
  if (!bpmn::IsBpmnPath(file)) {
    const std::string bytes = kelvo::ReadFile(file, formats::kMaxJsonFileBytes);
    input.times.read = clock.Lap();
    input.model = formats::ParseModel(bytes, file);
    input.times.import = clock.Lap();
    return input;
  }
  const kelvo::Technology& technology = Technology();  // a failed install is named before the file
  input.times.technology = clock.Lap();
  std::string bytes = kelvo::ReadFile(file);
  input.times.read = clock.Lap();
  auto imported = bpmn::ImportText(std::move(bytes), file, technology);
  input.times.import = clock.Lap();
  input.model = std::move(imported.model);
  input.warnings = std::move(imported.warnings);
  return input;
}

}  // namespace orbelt::cli
