#include "cli/inputs.h"

#include <algorithm>
#include <filesystem>
#include <stdexcept>

#include "kelvo/json_input.h"
#include "kelvo/model_json.h"
#include "kelvo/session.h"

namespace orbelt::cli {

namespace {

bool IsModelPath(const std::filesystem::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return extension == ".json";
}

}  // namespace

std::vector<std::string> ExpandInputs(const std::vector<std::string>& inputs) {
  std::vector<std::string> files;
  for (const auto& input : inputs) {
    std::error_code ec;
    if (!std::filesystem::is_directory(input, ec)) {
      if (!std::filesystem::exists(input, ec)) throw kelvo::InputError(input + ": no such file or folder");
      files.push_back(input);
      continue;
    }
    std::vector<std::string> found;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(input, ec)) {
      const auto& path = entry.path();
      if (entry.is_regular_file() && (IsModelPath(path) || kelvo::IsBpmnPath(path.string()))) {
        found.push_back(path.string());
      }
    }
    if (ec) throw kelvo::InputError(input + ": cannot read the folder: " + ec.message());
    std::sort(found.begin(), found.end());
    files.insert(files.end(), found.begin(), found.end());
  }
  return files;
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
  if (technology == nullptr) {
    throw std::runtime_error(module.path() + ": the add-in did not install its technology: " +
                             session.host().last_install_error());
  }
  return *technology;
}

const kelvo::Technology& InputReader::Technology() {
  if (!technology_) technology_ = InstallAddinTechnology(module_);
  return *technology_;
}

LoadedInput InputReader::Read(const std::string& file, const std::optional<std::string>& diagram) {
  if (!kelvo::IsBpmnPath(file)) return {kelvo::LoadModelFile(file), {}};
  auto imported = kelvo::ImportBpmnFile(file, Technology());
  if (diagram && !kelvo::ChooseDiagram(imported, *diagram)) {
    throw kelvo::InputError(file + ": no diagram has the id or name \"" + *diagram + "\"");
  }
  return {std::move(imported.model), std::move(imported.warnings)};
}

}  // namespace orbelt::cli
