// Parses the command line and runs the chosen subcommand.
#include "cli/cli.h"

#include <CLI/CLI.hpp>

#include "cli/commands.h"

namespace orbelt::cli {

namespace {

const char* const kVersionText = "orbelt " ORBELT_VERSION " (Tarrow Technology for BPMN 1.3)";

std::string CommandNames(const CLI::App& app) {
  std::string names;
  for (const CLI::App* command : app.get_subcommands([](const CLI::App*) { return true; })) {
    names += (names.empty() ? "" : ", ") + command->get_name();
  }
  return names;
}

}  // namespace

int Run(int argc, const char* const* argv, Output& output) {
  CLI::App app{"orbelt: BPMN validation and modelling for the Kelvo host, played by a host stand-in"};
  app.set_version_flag("--version", kVersionText);
  // Options are written the same everywhere: on Windows too, /path/to/model.json is an argument.
  app.allow_windows_style_options(false);
  app.require_subcommand(1);
  app.fallthrough();  // --addin may follow the subcommand too
  std::string addin;
  app.add_option("--addin", addin,
                 "The add-in module to load (default: ORBELT_ADDIN, else " ORBELT_ADDIN_FILE
                 " beside orbelt)");

  ValidateOptions validate;
  auto* validate_command =
      app.add_subcommand("validate", "Validate models: kelvo-model/1 files, BPMN 2.0 files or folders");
  validate_command->add_option("MODEL", validate.inputs,
                               "Model files or folders (default: the bundled sample)");
  validate_command->add_option("--diagram", validate.diagram,
                               "The diagram open while validating, by id or name");
  validate_command->add_option("--format", validate.format, "Report format")
      ->check(CLI::IsMember({"text", "json"}));
  validate_command->add_option("-o,--output", validate.output_file, "Write the report to this file");
  validate_command->add_flag("--stats", validate.stats,
                             "Report per file the host calls, the time of each phase and the peak memory");
  validate_command
      ->add_option("-j,--jobs", validate.jobs,
                   "Validate this many files at once (default: one per core); the report is the same")
      ->check(CLI::PositiveNumber);

  std::string scenario;
  auto* host_command = app.add_subcommand("host", "Play a kelvo-scenario/1 session and print its transcript");
  host_command->add_option("SCENARIO", scenario, "The scenario file")->required();

  std::string convert_file;
  std::string convert_output;
  auto* convert_command =
      app.add_subcommand("convert", "Print the kelvo-model/1 model that a BPMN 2.0 file becomes");
  convert_command->add_option("FILE", convert_file, "A BPMN 2.0 file (or a kelvo-model/1 file)")->required();
  convert_command->add_option("-o,--output", convert_output, "Write the model to this file");

  std::string technology_output;
  auto* technology_command =
      app.add_subcommand("technology", "Write the technology document that the add-in embeds");
  technology_command->add_option("-o,--output", technology_output, "Write the document to this file");

  // The module to register may also be named after the command, as installers name it.
  std::string registered_module;
  auto* register_command =
      app.add_subcommand("register", "Register the add-in module (its self-registration)");
  register_command->add_option("module", registered_module, "The add-in module (default: as --addin)");
  auto* unregister_command = app.add_subcommand("unregister", "Unregister the add-in module");
  unregister_command->add_option("module", registered_module, "The add-in module (default: as --addin)");

  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    // A word that names no command leaves CLI11 saying only that a command is required.
    if (dynamic_cast<const CLI::RequiredError*>(&e) != nullptr && !app.remaining().empty()) {
      output.err() << "orbelt: \"" << app.remaining().front() << "\" is not a command; the commands are "
                   << CommandNames(app) << " (orbelt --help)\n";
      return kUnusable;
    }
    const int status = app.exit(e, output.out(), output.err());
    return status == 0 ? kSuccess : kUnusable;
  }

  const std::string module = AddinPath(addin);
  if (*validate_command) return Validate(module, validate, output);
  if (*host_command) return PlayScenario(module, scenario, output);
  if (*convert_command) return Convert(module, convert_file, convert_output, output);
  if (*technology_command) return WriteTechnology(module, technology_output, output);
  const std::string named_module = registered_module.empty() ? module : registered_module;
  if (*register_command) return Register(named_module, false, output);
  if (*unregister_command) return Register(named_module, true, output);
  return kUnusable;
}

}  // namespace orbelt::cli
