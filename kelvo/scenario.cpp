#include "kelvo/scenario.h"

#include <filesystem>
#include <limits>

#include "kelvo/model.h"
#include "kelvo/model_json.h"
#include "kelvo/report.h"
#include "kelvo/session.h"
#include "kelvo/validation.h"
#include "platform/text.h"
#include "platform/ui.h"

namespace kelvo {

using namespace json_input;

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
    if (value.is_number_unsigned() ? value.get<std::uint64_t>() <= std::numeric_limits<std::int32_t>::max()
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
  if (call && host) Fail(at, "a step is either a \"call\" or a \"host\" step");
  if (host) {
    const std::string kind = platform::ToUtf8(String(*host, Child(at, "host")));
    if (kind == "select") {
      CheckKeys(item, at, {"host", "package"});
      step.kind = ScenarioStep::Kind::select;
      step.target = NullableId(item, "package", at);
    } else if (kind == "open") {
      CheckKeys(item, at, {"host", "diagram"});
      step.kind = ScenarioStep::Kind::open;
      step.target = NullableId(item, "diagram", at);
    } else if (kind == "validate") {
      CheckKeys(item, at, {"host"});
      step.kind = ScenarioStep::Kind::validate;
    } else {
      Fail(Child(at, "host"), "expected \"select\", \"open\" or \"validate\", found \"" + kind + "\"");
    }
    return step;
  }
  if (!call) Fail(at, "missing \"call\" or \"host\"");
  CheckKeys(item, at, {"call", "args", "rule", "ruleId", "element", "connector", "info"});
  step.call = platform::ToUtf8(String(*call, Child(at, "call")));
  if (const Json* args = Member(item, "args")) {
    ExpectArray(*args, Child(at, "args"));
    for (std::size_t i = 0; i < args->size(); ++i) step.args.push_back(String((*args)[i], Child(Child(at, "args"), i)));
  }
  const Json* rule = Member(item, "rule");
  const Json* rule_id = Member(item, "ruleId");
  if (rule && rule_id) Fail(at, "name the rule by \"rule\" or by \"ruleId\", not both");
  if (rule) step.rule = String(*rule, Child(at, "rule"));
  if (rule_id) step.rule_id = String(*rule_id, Child(at, "ruleId"));
  const Json* element = Member(item, "element");
  const Json* connector = Member(item, "connector");
  if (element && connector) Fail(at, "a step passes an \"element\" or a \"connector\", not both");
  if (element) step.element = Int32(*element, Child(at, "element"));
  if (connector) step.connector = Int32(*connector, Child(at, "connector"));
  if (const Json* info = Member(item, "info")) {
    ExpectArray(*info, Child(at, "info"));
    step.info.emplace();
    for (std::size_t i = 0; i < info->size(); ++i) step.info->push_back(InfoValue((*info)[i], Child(Child(at, "info"), i)));
  }
  return step;
}

}  // namespace

Scenario ParseScenario(std::string_view text, const std::string& file, const std::string& base_directory) {
  const Json value = Parse(text, file);
  Scenario scenario;
  scenario.file = file;
  std::optional<std::string> model_file;
  std::optional<std::int32_t> build;
  std::optional<std::u16string> model_location;
  try {
    ExpectObject(value, "");
    CheckKeys(value, "", {"format", "model", "host", "trace", "steps"});
    const Json* format = Member(value, "format");
    if (!format) Fail("", "missing \"format\": \"" + std::string(kScenarioFormat) + "\"");
    if (!format->is_string() || format->get<std::string>() != kScenarioFormat) {
      Fail("format", "expected \"" + std::string(kScenarioFormat) + "\", found " + Dump(*format));
    }
    if (const Json* model = Member(value, "model")) {
      if (model->is_string()) {
        std::filesystem::path path = platform::ToUtf8(String(*model, "model"));
        if (path.is_relative() && !base_directory.empty()) path = std::filesystem::path(base_directory) / path;
        model_file = path.string();
      } else {
        scenario.model = ModelFromJson(*model, "model", false);
        try {
          Model::Validate(scenario.model);
        } catch (const ModelError& e) {
          Fail("model", e.what());
        }
      }
    }
    if (const Json* host = Member(value, "host")) {
      ExpectObject(*host, "host");
      CheckKeys(*host, "host", {"build", "modelLocation", "refuseInstall", "refuseRemove", "faults"});
      if (const Json* v = Member(*host, "build")) build = Int32(*v, "host.build");
      if (const Json* v = Member(*host, "modelLocation")) model_location = String(*v, "host.modelLocation");
      if (const Json* v = Member(*host, "refuseInstall")) scenario.options.refuse_install = Bool(*v, "host.refuseInstall");
      if (const Json* v = Member(*host, "refuseRemove")) scenario.options.refuse_remove = Bool(*v, "host.refuseRemove");
      if (const Json* v = Member(*host, "faults")) scenario.faults = ReadFaults(*v, "host.faults");
    }
    if (const Json* trace = Member(value, "trace")) scenario.trace = Bool(*trace, "trace");
    if (const Json* steps = Member(value, "steps")) {
      ExpectArray(*steps, "steps");
      for (std::size_t i = 0; i < steps->size(); ++i) scenario.steps.push_back(ReadStep((*steps)[i], Child("steps", i)));
    }
  } catch (const InputError& e) {
    throw InputError(file + ": " + e.what());
  }

  if (model_file) scenario.model = LoadModelFile(*model_file);  // its errors name the model file
  if (build) scenario.model.host.build = *build;
  if (model_location) scenario.model.host.model_location = *model_location;
  // Packages never come into being during a session: a selection of a missing one is a mistake
  // in the scenario. (Diagrams can: an open step is checked when it is played.)
  for (std::size_t i = 0; i < scenario.steps.size(); ++i) {
    const ScenarioStep& step = scenario.steps[i];
    if (step.kind != ScenarioStep::Kind::select || !step.target) continue;
    bool found = false;
    for (const auto& p : scenario.model.packages) found = found || p.id == *step.target;
    if (!found) {
      throw InputError(file + ": " + Child(Child("steps", i), "package") + ": package " + std::to_string(*step.target) +
                       " does not exist in the model");
    }
  }
  return scenario;
}

Scenario LoadScenarioFile(const std::string& path) {
  const std::string directory = std::filesystem::path(path).parent_path().string();
  return ParseScenario(ReadFile(path), path, directory);
}

namespace {

Json ResultJson(const host::Variant& value) {
  struct Visitor {
    Json operator()(std::monostate) const { return nullptr; }
    Json operator()(bool v) const { return v; }
    Json operator()(std::int16_t v) const { return v; }
    Json operator()(std::int32_t v) const { return v; }
    Json operator()(double v) const { return v; }
    Json operator()(const std::u16string& v) const { return Utf8(v); }
    Json operator()(const host::StringArray& v) const {
      Json list = Json::array();
      for (const auto& s : v) list.push_back(Utf8(s));
      return list;
    }
    Json operator()(const std::shared_ptr<host::Object>&) const { return nullptr; }
  };
  return std::visit(Visitor{}, value);
}

Json ViolationJson(const ReportedViolation& v) {
  return Json{{"object", ObjectJson(v.object, false)},
              {"rule", v.rule ? Json(Utf8(*v.rule)) : Json(nullptr)},
              {"ruleId", Utf8(v.rule_id)},
              {"level", v.level},
              {"message", Utf8(v.message)}};
}

void PutInterface(Json& entry, const platform::RecordingUserInterface& ui) {
  Json boxes = Json::array();
  for (const auto& box : ui.message_boxes) {
    boxes.push_back(Json{{"title", Utf8(box.title)}, {"text", Utf8(box.text)}, {"style", box.style}});
  }
  entry["messageBoxes"] = std::move(boxes);
  Json dialogs = Json::array();
  for (const auto& dialog : ui.dialogs) {
    Json controls = Json::object();
    for (const auto& [name, text] : dialog.controls) controls[name] = Utf8(text);
    dialogs.push_back(Json{{"form", dialog.form}, {"caption", Utf8(dialog.caption)}, {"controls", std::move(controls)}});
  }
  entry["dialogs"] = std::move(dialogs);
  Json help = Json::array();
  for (const auto& h : ui.help) {
    help.push_back(Json{{"file", platform::ToUtf8(platform::FromAnsi(h.file))}, {"command", h.command}, {"data", h.data}});
  }
  entry["help"] = std::move(help);
}

const char* HostStepName(ScenarioStep::Kind kind) {
  switch (kind) {
    case ScenarioStep::Kind::select:
      return "select";
    case ScenarioStep::Kind::open:
      return "open";
    default:
      return "validate";
  }
}

}  // namespace

Json PlayScenario(const Scenario& scenario, const platform::LoadedModule& module) {
  std::optional<Interceptor> interceptor;
  if (scenario.trace || !scenario.faults.empty()) interceptor.emplace(scenario.trace, scenario.faults);
  Session session(Host::Create(scenario.model, scenario.options), std::move(interceptor));
  Host& host = session.host();
  auto ui = std::make_shared<platform::RecordingUserInterface>();
  platform::SetUserInterface(ui);

  Json steps = Json::array();
  {
    const std::shared_ptr<platform::DispatchObject> addin = module.CreateObject(kAddinProgId);
    for (std::size_t n = 0; n < scenario.steps.size(); ++n) {
      const ScenarioStep& step = scenario.steps[n];
      ui->Clear();
      if (session.interceptor()) session.interceptor()->TakeTrace();
      const std::size_t first_violation = host.violations().size();

      Json entry = Json::object();
      entry["step"] = n + 1;
      Json result = nullptr;
      Json error = nullptr;
      std::optional<ValidationResult> validation;
      if (step.kind == ScenarioStep::Kind::call) {
        entry["call"] = step.call;
        std::vector<host::Variant> args{session.Repository()};
        for (const auto& arg : step.args) args.emplace_back(arg);
        if (step.rule) args.emplace_back(host.FirstRuleIdNamed(*step.rule).value_or(u""));
        if (step.rule_id) args.emplace_back(*step.rule_id);
        if (step.element) {
          args.emplace_back(session.Element(*step.element));
          if (host.model().FindElement(*step.element)) host.BeginRun(RunObject::Element(*step.element));
        }
        if (step.connector) {
          args.emplace_back(*step.connector);
          host.BeginRun(RunObject::Connector(*step.connector));
        }
        if (step.info) args.emplace_back(session.InfoBag(*step.info));
        const platform::CallResult outcome = Invoke(*addin, platform::FromUtf8(step.call), args);
        host.EndRun();
        result = ResultJson(outcome.value);
        if (outcome.error) error = ErrorJson(*outcome.error);
      } else {
        entry["host"] = HostStepName(step.kind);
        try {
          if (step.kind == ScenarioStep::Kind::select) host.SelectPackage(step.target);
          if (step.kind == ScenarioStep::Kind::open) host.OpenDiagram(step.target);
        } catch (const ModelError& e) {
          error = ErrorJson({host::ErrorKind::host, e.what()});
        }
        if (step.kind == ScenarioStep::Kind::validate) validation = RunValidation(session, *addin);
      }
      entry["result"] = std::move(result);
      entry["error"] = std::move(error);
      PutInterface(entry, *ui);
      Json violations = Json::array();
      const auto& recorded = host.violations();
      for (std::size_t i = first_violation; i < recorded.size(); ++i) violations.push_back(ViolationJson(Resolve(host, recorded[i])));
      entry["violations"] = std::move(violations);
      if (scenario.trace) entry["calls"] = session.interceptor()->TakeTrace();
      if (validation) {
        Json failures = Json::array();
        for (const auto& f : validation->failures) failures.push_back(FailureJson(f));
        entry["failures"] = std::move(failures);
      }
      steps.push_back(std::move(entry));
    }
  }  // the add-in object is destroyed here, before the module can be unloaded
  ui->Clear();
  return Json{{"format", kTranscriptFormat}, {"steps", std::move(steps)}};
}

void WriteTranscript(std::ostream& out, const Json& transcript) { out << Dump(transcript, 2) << "\n"; }

}  // namespace kelvo
