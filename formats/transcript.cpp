#include "formats/transcript.h"

#include <algorithm>
#include <string_view>

#include "formats/result_json.h"
#include "platform/text.h"

namespace formats {

namespace {

using kelvo::ScenarioStep;

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

Json ViolationJson(const kelvo::ReportedViolation& v) {
  return Json{{"object", ObjectJson(v.object, false)},
              {"rule", RuleJson(v.rule)},
              {"ruleId", Utf8(v.rule_id)},
              {"level", v.level},
              {"message", Utf8(v.message)}};
}

// What the user saw during the step: message boxes, dialogs and help shown.
void PutInterface(Json& entry, const kelvo::PlayedStep& step) {
  Json boxes = Json::array();
  for (const auto& box : step.message_boxes) {
    boxes.push_back(Json{{"title", Utf8(box.title)}, {"text", Utf8(box.text)}, {"style", box.style}});
  }
  entry["messageBoxes"] = std::move(boxes);
  Json dialogs = Json::array();
  for (const auto& dialog : step.dialogs) {
    Json controls = Json::object();
    for (const auto& [name, text] : dialog.controls) controls[name] = Utf8(text);
    dialogs.push_back(
        Json{{"form", dialog.form}, {"caption", Utf8(dialog.caption)}, {"controls", std::move(controls)}});
  }
  entry["dialogs"] = std::move(dialogs);
  Json help = Json::array();
  for (const auto& h : step.help) {
    help.push_back(Json{
        {"file", platform::ToUtf8(platform::FromAnsi(h.file))}, {"command", h.command}, {"data", h.data}});
  }
  entry["help"] = std::move(help);
}

const char* HostStepName(ScenarioStep::Kind kind) {
  switch (kind) {
    case ScenarioStep::Kind::kSelect:
      return "select";
    case ScenarioStep::Kind::kOpen:
      return "open";
    default:
      return "validate";
  }
}

Json StepJson(std::size_t number, const kelvo::PlayedStep& played) {
  const ScenarioStep& step = *played.step;
  Json entry = Json::object();
  entry["step"] = number;
  if (step.kind == ScenarioStep::Kind::kCall) {
    entry["call"] = step.call;
  } else {
    entry["host"] = HostStepName(step.kind);
  }
  entry["result"] = ResultJson(played.result);
  entry["error"] = played.error ? ErrorJson(*played.error) : Json(nullptr);
  PutInterface(entry, played);
  Json violations = Json::array();
  for (const auto& v : played.violations) violations.push_back(ViolationJson(v));
  entry["violations"] = std::move(violations);
  if (played.calls) entry["calls"] = *played.calls;
  if (played.failures) {
    Json failures = Json::array();
    for (const auto& f : *played.failures) failures.push_back(FailureJson(f));
    entry["failures"] = std::move(failures);
  }
  return entry;
}

}  // namespace

Json TranscriptJson(const std::vector<kelvo::PlayedStep>& steps) {
  Json list = Json::array();
  for (std::size_t i = 0; i < steps.size(); ++i) list.push_back(StepJson(i + 1, steps[i]));
  return Json{{"format", kTranscriptFormat}, {"steps", std::move(list)}};
}

TranscriptWriter::TranscriptWriter(std::ostream& out) : out_(out) {
  out_ << "{\n  \"format\": " << Dump(Json(kTranscriptFormat)) << ",\n  \"steps\": [";
}

// Each step as an item of the indented "steps" list, two levels deep.
void TranscriptWriter::Write(const kelvo::PlayedStep& step) {
  std::string text = Dump(StepJson(++steps_, step), 2);
  constexpr std::string_view kIndent = "    ";
  out_ << (steps_ == 1 ? "\n" : ",\n") << kIndent;
  for (std::size_t line = 0, end; line < text.size(); line = end) {
    end = std::min(text.find('\n', line), text.size() - 1) + 1;
    out_.write(text.data() + line, static_cast<std::streamsize>(end - line));
    if (text[end - 1] == '\n') out_ << kIndent;
  }
}

void TranscriptWriter::Finish() { out_ << (steps_ == 0 ? "]" : "\n  ]") << "\n}\n"; }

}  // namespace formats
