// `orbelt validate`: validates each model in a fresh host session, on as many threads as asked,
// and prints one report with the models in the order they were named.
#include <algorithm>
#include <atomic>
#include <mutex>
#include <sstream>
#include <thread>

#include "cli/commands.h"
#include "cli/diagram_choice.h"
#include "cli/inputs.h"
#include "cli/stopwatch.h"
#include "formats/model_file.h"
#include "formats/report.h"
#include "kelvo/input.h"
#include "kelvo/validation.h"
#include "platform/process.h"

namespace orbelt::cli {

extern const std::string_view kSampleModel;

namespace {

constexpr const char* kSampleName = "sample model";

// What validating one input gives: its messages for the error stream and, when it could be
// validated, its part of the report. (Its moves do not throw: every member's move is noexcept.)
struct Outcome {  // NOLINT(bugprone-exception-escape)
  std::string messages;
  bool validated = false;
  bool clean = true;
  std::string text;    // its block of the text report
  formats::Json json;  // its entry of the JSON report
};

// Validates one input at a time; several threads may use one validator at once, each input
// getting its own host and its own add-in object from the one module.
class FileValidator {
 public:
  FileValidator(const platform::LoadedModule& module, const ValidateOptions& options)
      : module_(module), options_(options), reader_(module) {}

  // A path "" is the bundled sample. Never throws: a failure becomes the outcome's message.
  Outcome Validate(const InputFile& input_file) {
    Outcome outcome;
    const std::string& file = input_file.path;
    try {
      if (!input_file.fault.empty()) throw kelvo::InputError::InFile(file, input_file.fault);
      LoadedInput input = Load(file);
      for (const auto& warning : input.warnings) outcome.messages += "orbelt: warning: " + warning + "\n";
      Stopwatch clock;
      const formats::ModelReport report{file, ValidateModel(file, std::move(input.model))};
      input.times.validation = clock.Lap();
      outcome.clean = report.result.clean();
      Render(report, outcome);
      input.times.report = clock.Lap();
      if (options_.stats)
        AddStats({report.result.host_calls, input.times, platform::PeakMemoryBytes()}, outcome);
      outcome.validated = true;
    } catch (const std::exception& e) {
      outcome.messages += "orbelt: " + std::string(e.what()) + "\n";
    }
    return outcome;
  }

 private:
  LoadedInput Load(const std::string& file) {
    if (!file.empty()) return reader_.Read(file);
    LoadedInput input;
    Stopwatch clock;
    input.model = formats::ParseModel(kSampleModel, kSampleName);
    input.times.import = clock.Lap();
    return input;
  }

  // Validates in a fresh session, on the diagram the user chose.
  kelvo::ValidationResult ValidateModel(const std::string& file, kelvo::ModelData model) const {
    const auto open = ChooseDiagram(model, options_.diagram, file.empty() ? kSampleName : file);
    return kelvo::ValidateModel(module_, kelvo::Host::Create(std::move(model)), open);
  }

  void Render(const formats::ModelReport& report, Outcome& outcome) const {
    if (JsonFormat()) {
      outcome.json = formats::ModelJson(report);
    } else {
      outcome.text = formats::ModelText(report);
    }
  }

  void AddStats(const formats::RunStats& stats, Outcome& outcome) const {
    if (JsonFormat()) {
      outcome.json["stats"] = formats::StatsJson(stats);
    } else {
      outcome.text += formats::StatsText(stats);
    }
  }

  bool JsonFormat() const { return options_.format == "json"; }

  const platform::LoadedModule& module_;
  const ValidateOptions& options_;
  InputReader reader_;
};

// Writes the outcomes' messages in the order of the inputs, each as soon as it and every
// outcome before it are done, whichever thread finishes them.
class OrderedMessages {
 public:
  OrderedMessages(const std::vector<Outcome>& outcomes, std::ostream& err)
      : outcomes_(outcomes), err_(err), done_(outcomes.size(), false) {}

  void Done(std::size_t index) {
    const std::lock_guard lock(mutex_);
    done_[index] = true;
    for (; next_ < done_.size() && done_[next_]; ++next_) err_ << outcomes_[next_].messages;
  }

 private:
  const std::vector<Outcome>& outcomes_;
  std::ostream& err_;
  std::mutex mutex_;
  std::vector<bool> done_;
  std::size_t next_ = 0;
};

// Validates the files on up to `jobs` threads, this one among them; the outcomes keep the
// files' order.
std::vector<Outcome> ValidateAll(FileValidator& validator, const std::vector<InputFile>& files, unsigned jobs,
                                 std::ostream& err) {
  std::vector<Outcome> outcomes(files.size());
  OrderedMessages messages(outcomes, err);
  std::atomic<std::size_t> next{0};
  const auto work = [&] {
    for (std::size_t i = next++; i < files.size(); i = next++) {
      outcomes[i] = validator.Validate(files[i]);
      messages.Done(i);
    }
  };
  std::vector<std::thread> helpers;
  const std::size_t threads = std::min<std::size_t>(jobs, files.size());
  for (std::size_t t = 1; t < threads; ++t) helpers.emplace_back(work);
  work();
  for (auto& helper : helpers) helper.join();
  return outcomes;
}

std::string Report(std::vector<Outcome>& outcomes, const std::string& format) {
  std::ostringstream report;
  if (format == "json") {
    formats::Json models = formats::Json::array();
    for (auto& outcome : outcomes) {
      if (outcome.validated) models.push_back(std::move(outcome.json));
    }
    formats::WriteReportJson(report, std::move(models));
  } else {
    for (const auto& outcome : outcomes) report << outcome.text;
  }
  return report.str();
}

}  // namespace

unsigned DefaultJobs() { return std::max(1U, std::thread::hardware_concurrency()); }

int Validate(const std::string& addin, const ValidateOptions& options, Output& output) {
  std::vector<Outcome> outcomes;
  try {
    const platform::LoadedModule module(addin);
    const std::vector<InputFile> files =
        options.inputs.empty() ? std::vector<InputFile>{{}} : ExpandInputs(options.inputs);
    FileValidator validator(module, options);
    outcomes = ValidateAll(validator, files, options.jobs, output.err());
  } catch (const std::exception& e) {
    output.err() << "orbelt: " << e.what() << "\n";
    return kUnusable;
  }
  // The sample is not a file the user named: when it cannot be validated, nothing is reported.
  if (options.inputs.empty() && !outcomes.front().validated) return kUnusable;
  if (!Emit(Report(outcomes, options.format), options.output_file, output)) return kUnusable;
  const auto validated = [](const Outcome& o) { return o.validated; };
  if (!std::all_of(outcomes.begin(), outcomes.end(), validated)) return kUnusable;
  const auto clean = [](const Outcome& o) { return o.clean; };
  return std::all_of(outcomes.begin(), outcomes.end(), clean) ? kSuccess : kFindings;
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
