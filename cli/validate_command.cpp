// `orbelt validate`: validates each model in a fresh host session and prints one report.
#include <sstream>

#include "cli/commands.h"
#include "cli/diagram_choice.h"
#include "cli/inputs.h"
#include "formats/model_file.h"
#include "formats/report.h"
#include "kelvo/validation.h"

namespace orbelt::cli {

extern const std::string_view kSampleModel;

namespace {

constexpr const char* kSampleName = "sample model";

// Validates one model in a fresh session, on the diagram the user chose.
formats::ModelReport ValidateOne(const platform::LoadedModule& module, std::string file,
                                 kelvo::ModelData model, const std::optional<std::string>& diagram) {
  const auto open = ChooseDiagram(model, diagram, file.empty() ? kSampleName : file);
  auto host = kelvo::Host::Create(std::move(model));
  return {std::move(file), kelvo::ValidateModel(module, std::move(host), open)};
}

}  // namespace

int Validate(const std::string& addin, const ValidateOptions& options, Output& output) {
  std::vector<formats::ModelReport> reports;
  bool unreadable = false;
  try {
    const platform::LoadedModule module(addin);
    if (options.inputs.empty()) {
      reports.push_back(
          ValidateOne(module, "", formats::ParseModel(kSampleModel, kSampleName), options.diagram));
    }
    InputReader reader(module);
    for (const auto& file : ExpandInputs(options.inputs)) {
      try {
        auto input = reader.Read(file);
        for (const auto& warning : input.warnings) output.err() << "orbelt: warning: " << warning << "\n";
        reports.push_back(ValidateOne(module, file, std::move(input.model), options.diagram));
      } catch (const std::exception& e) {  // a file that cannot be read is skipped
        output.err() << "orbelt: " << e.what() << "\n";
        unreadable = true;
      }
    }
  } catch (const std::exception& e) {
    output.err() << "orbelt: " << e.what() << "\n";
    return kUnusable;
  }
  std::ostringstream report;
  if (options.format == "json") {
    formats::WriteReportJson(report, reports);
  } else {
    formats::WriteReportText(report, reports);
  }
  if (!Emit(report.str(), options.output_file, output)) return kUnusable;
  if (unreadable) return kUnusable;
  const bool clean =
      std::all_of(reports.begin(), reports.end(), [](const auto& r) { return r.result.clean(); });
  return clean ? kSuccess : kFindings;
}

int Convert(const std::string& addin, const std::string& file, const std::string& output_file,
            Output& output) {
  try {
    const platform::LoadedModule module(addin);
    auto input = InputReader(module).Read(file);
    for (const auto& warning : input.warnings) output.err() << "orbelt: warning: " << warning << "\n";
    return Emit(formats::WriteModel(input.model), output_file, output) ? kSuccess : kUnusable;
  } catch (const std::exception& e) {
    output.err() << "orbelt: " << e.what() << "\n";
    return kUnusable;
  }
}

}  // namespace orbelt::cli
