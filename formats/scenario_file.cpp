#include "formats/scenario_file.h"

#include <algorithm>
#include <filesystem>
#include <limits>

#include "formats/json.h"
#include "formats/model_file.h"
#include "kelvo/model.h"
#include "platform/text.h"

namespace formats {

using kelvo::Fault;
using kelvo::Scenario;
using kelvo::ScenarioStep;

namespace {

std::vector<Fault> ReadFaults(const Json& value, const std::string& path) {
  ExpectArray(value, path);
  std::vector<Fault> faults;
  for (std::size_t i = 0; i < value.size(); ++i) {
    const std::string at = Child(path, i);
    const Json& item = value[i];
    ExpectObject(item, at);
    CheckKeys(item, at, {"member", "nth"});
    const Json* member = Member(item, "member");
    if (!member) Fail(at, "missing \"member\"");
    Fault fault{platform::ToUtf8(String(*member, Child(at, "member"))), std::nullopt};
    if (!host::IsKnownMember(fault.member)) {
      Fail(Child(at, "member"), "\"" + fault.member + "\" is no host member that the add-in can use");
    }
    if (const Json* nth = Member(item, "nth")) {
      const std::int32_t n = Int32(*nth, Child(at, "nth"));
      if (n < 1) Fail(Child(at, "nth"), "calls are counted from 1");
      fault.nth = n;
    }
    faults.push_back(std::move(fault));
  }
  return faults;
}

host::Variant InfoValue(const Json& value, const std::string& path) {
  if (value.is_string()) return String(value, path);
  if (value.is_number_integer()) {
    if (value.is_number_unsigned()
            ? value.get<std::uint64_t>() <= std::numeric_limits<std::int32_t>::max()
            : value.get<std::int64_t>() >= std::numeric_limits<std::int32_t>::min() &&
                  value.get<std::int64_t>() <= std::numeric_limits<std::int32_t>::max()) {
      return Int32(value, path);
    }
    return value.get<double>();
  }
  if (value.is_number()) return value.get<double>();
  Fail(path, "expected a number or a string");
}

std::optional<std::int32_t> NullableId(const Json& step, const char* key, const std::string& path) {
  const Json* value = Member(step, key);
  if (!value) Fail(path, std::string("missing \"") + key + "\" (an id, or null for none)");
  if (value->is_null()) return std::nullopt;
  return Int32(*value, Child(path, key));
}

ScenarioStep ReadStep(const Json& item, const std::string& at) {
  ExpectObject(item, at);
  ScenarioStep step;
  const Json* call = Member(item, "call");
  const Json* host = Member(item, "host");
  if (call && host) Fail(at, R"(a step is either a "call" or a "host" step)");
  if (host) {
    const std::string kind = platform::ToUtf8(String(*host, Child(at, "host")));
    if (kind == "select") {
      CheckKeys(item, at, {"host", "package"});
      step.kind = ScenarioStep::Kind::kSelect;
      step.target = NullableId(item, "package", at);
    } else if (kind == "open") {
      CheckKeys(item, at, {"host", "diagram"});
      step.kind = ScenarioStep::Kind::kOpen;
      step.target = NullableId(item, "diagram", at);
    } else if (kind == "validate") {
      CheckKeys(item, at, {"host"});
      step.kind = ScenarioStep::Kind::kValidate;
    } else {
      Fail(Child(at, "host"), R"(expected "select", "open" or "validate", found ")" + kind + "\"");
    }
    return step;
  }
  if (!call) Fail(at, R"(missing "call" or "host")");
  CheckKeys(item, at, {"call", "args", "rule", "ruleId", "element", "connector", "info"});
  step.call = platform::ToUtf8(String(*call, Child(at, "call")));
  if (const Json* args = Member(item, "args")) {
    ExpectArray(*args, Child(at, "args"));
    for (std::size_t i = 0; i < args->size(); ++i)
      step.args.push_back(String((*args)[i], Child(Child(at, "args"), i)));
  }
  const Json* rule = Member(item, "rule");
  const Json* rule_id = Member(item, "ruleId");
  if (rule && rule_id) Fail(at, R"(name the rule by "rule" or by "ruleId", not both)");
  if (rule) step.rule = String(*rule, Child(at, "rule"));
  if (rule_id) step.rule_id = String(*rule_id, Child(at, "ruleId"));
  const Json* element = Member(item, "element");
  const Json* connector = Member(item, "connector");
  if (element && connector) Fail(at, R"(a step passes an "element" or a "connector", not both)");
  if (element) step.element = Int32(*element, Child(at, "element"));
  if (connector) step.connector = Int32(*connector, Child(at, "connector"));
  if (const Json* info = Member(item, "info")) {
    ExpectArray(*info, Child(at, "info"));
    step.info.emplace();
    for (std::size_t i = 0; i < info->size(); ++i)
      step.info->push_back(InfoValue((*info)[i], Child(Child(at, "info"), i)));
  }
  return step;
}

void CheckFormat(const Json& value) {
  ExpectObject(value, "");
  CheckKeys(value, "", {"format", "model", "host", "trace", "steps"});
  const Json* format = Member(value, "format");
  if (!format) Fail("", R"(missing "format": ")" + std::string(kScenarioFormat) + "\"");
  if (!format->is_string() || format->get<std::string>() != kScenarioFormat) {
    Fail("format", "expected \"" + std::string(kScenarioFormat) + "\", found " + Dump(*format));
  }
}

// A model inline goes into the scenario at once; a model by path is returned, relative to
// `base_directory`, and read after the scenario itself.
std::optional<std::string> ReadModel(const Json& model, const std::string& base_directory,
                                     Scenario& scenario) {
  if (model.is_string()) {
    std::filesystem::path path = platform::ToUtf8(String(model, "model"));
    if (path.is_relative() && !base_directory.empty()) path = std::filesystem::path(base_directory) / path;
    return path.string();
  }
  scenario.model = ModelFromJson(model, "model", false);
  try {
    kelvo::Model::Validate(scenario.model);
  } catch (const InputError& e) {
    throw e.In({}, "model");
  }
  return std::nullopt;
}

// What the "host" object sets beside the model: the session's options and faults here, the host
// settings that override the model's.
struct HostSettings {
  std::optional<std::int32_t> build;
  std::optional<std::u16string> model_location;
};

HostSettings ReadHost(const Json& host, Scenario& scenario) {
  ExpectObject(host, "host");
  CheckKeys(host, "host",
            {"build", "modelLocation", "refuseInstall", "refuseRemove", "announceValidation", "faults"});
  HostSettings settings;
  if (const Json* v = Member(host, "build")) settings.build = Int32(*v, "host.build");
  if (const Json* v = Member(host, "modelLocation"))
    settings.model_location = String(*v, "host.modelLocation");
  if (const Json* v = Member(host, "refuseInstall"))
    scenario.options.refuse_install = Bool(*v, "host.refuseInstall");
  if (const Json* v = Member(host, "refuseRemove"))
    scenario.options.refuse_remove = Bool(*v, "host.refuseRemove");
  if (const Json* v = Member(host, "announceValidation"))
    scenario.options.announce_validation = Bool(*v, "host.announceValidation");
  if (const Json* v = Member(host, "faults")) scenario.faults = ReadFaults(*v, "host.faults");
  return settings;
}

// Packages never come into being during a session: a selection of a missing one is a mistake in
// the scenario. (Diagrams can: an open step is checked when it is played.)
void CheckSelections(const Scenario& scenario) {
  for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
    const ScenarioStep& step = scenario.steps[i];
    if (step.kind != ScenarioStep::Kind::kSelect || !step.target) continue;
    const auto& packages = scenario.model.packages;
    if (std::any_of(packages.begin(), packages.end(), [&](const auto& p) { return p.id == *step.target; }))
      continue;
    throw InputError({scenario.file, 0, 0, Child(Child("steps", i), "package")},
                     "package " + std::to_string(*step.target) + " does not exist in the model");
  }
}

}  // namespace

Scenario ParseScenario(std::string_view text, const std::string& file, const std::string& base_directory) {
  const Json value = Parse(text, file);
  Scenario scenario;
  scenario.file = file;
  std::optional<std::string> model_file;
  HostSettings settings;
  try {
    CheckFormat(value);
    if (const Json* model = Member(value, "model")) model_file = ReadModel(*model, base_directory, scenario);
    if (const Json* host = Member(value, "host")) settings = ReadHost(*host, scenario);
    if (const Json* trace = Member(value, "trace")) scenario.trace = Bool(*trace, "trace");
    if (const Json* steps = Member(value, "steps")) {
      ExpectArray(*steps, "steps");
      for (std::size_t i = 0; i < steps->size(); ++i)
        scenario.steps.push_back(ReadStep((*steps)[i], Child("steps", i)));
    }
  } catch (const InputError& e) {
    throw e.In(file);
  }
  if (model_file) scenario.model = LoadModelFile(*model_file);  // its errors name the model file
  if (settings.build) scenario.model.host.build = *settings.build;
  if (settings.model_location) scenario.model.host.model_location = *settings.model_location;
  CheckSelections(scenario);
  return scenario;
}

Scenario LoadScenarioFile(const std::string& path) {
  const std::string directory = std::filesystem::path(path).parent_path().string();
  return ParseScenario(kelvo::ReadFile(path, kMaxJsonFileBytes), path, directory);
}

}  // namespace formats
