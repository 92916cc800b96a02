// `orbelt validate`: validates each model in a fresh host session and prints one report.
#include <sstream>

#include "cli/commands.h"
#include "cli/inputs.h"
#include "kelvo/json_input.h"
#include "kelvo/model_json.h"
#include "kelvo/report.h"
#include "kelvo/validation.h"

namespace orbelt::cli {

extern const std::string_view kSampleModel;

namespace {

// Validates one model; the diagram choice applies to model files here (BPMN files chose theirs
// when they were read).
kelvo::ModelReport ValidateOne(const platform::LoadedModule& module, std::string file, kelvo::ModelData model,
                               const std::optional<std::string>& diagram) {
  auto host = kelvo::Host::Create(std::move(model));
  const auto open = kelvo::ChooseDiagram(host->model(), diagram.value_or(""));
  return {std::move(file), kelvo::ValidateModel(module, std::move(host), open)};
}

}  // namespace

int Validate(const std::string& addin, const ValidateOptions& options, Output& output) {
  std::vector<kelvo::ModelReport> reports;
  bool unreadable = false;
  try {
    const platform::LoadedModule module(addin);
    if (options.inputs.empty()) {
      reports.push_back(
          ValidateOne(module, "", kelvo::ParseModel(kSampleModel, "sample model"), options.diagram));
    }
    InputReader reader(module);
    for (const auto& file : ExpandInputs(options.inputs)) {
      try {
        auto input = reader.Read(file, options.diagram);
        for (const auto& warning : input.warnings) output.err() << "orbelt: warning: " << warning << "\n";
        const auto diagram = kelvo::IsBpmnPath(file) ? std::nullopt : options.diagram;
        reports.push_back(ValidateOne(module, file, std::move(input.model), diagram));
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
    kelvo::WriteReportJson(report, reports);
  } else {
    kelvo::WriteReportText(report, reports);
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
    auto input = InputReader(module).Read(file, std::nullopt);
    for (const auto& warning : input.warnings) output.err() << "orbelt: warning: " << warning << "\n";
    return Emit(kelvo::WriteModel(input.model), output_file, output) ? kSuccess : kUnusable;
  } catch (const std::exception& e) {
    output.err() << "orbelt: " << e.what() << "\n";
    return kUnusable;
  }
}

}  // namespace orbelt::cli
