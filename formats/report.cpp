#include "formats/report.h"

#include <iomanip>
#include <sstream>

#include "formats/result_json.h"

namespace formats {

using kelvo::ObjectInfo;
using kelvo::RunObject;
using kelvo::ValidationResult;

std::string_view Severity(std::int32_t level) {
  switch (level) {
    case 0:
      return "error";
    case 1:
      return "warning";
    default:
      return "info";
  }
}

Json ModelJson(const ModelReport& report) {
  const ValidationResult& r = report.result;
  Json model = Json::object();
  model["file"] = report.file;
  model["diagram"] = r.diagram ? Json{{"id", r.diagram->id}, {"name", Utf8(r.diagram->name)}} : Json(nullptr);
  Json violations = Json::array();
  for (const auto& v : r.violations) {
    violations.push_back(Json{{"object", ObjectJson(v.object, true)},
                              {"rule", RuleJson(v.rule)},
                              {"level", v.level},
                              {"severity", Severity(v.level)},
                              {"message", Utf8(v.message)}});
  }
  model["violations"] = std::move(violations);
  Json failures = Json::array();
  for (const auto& f : r.failures) {
    Json entry = FailureJson(f);
    if (!entry["object"].is_null()) entry["object"]["type"] = Utf8(f.object.type);
    failures.push_back(std::move(entry));
  }
  model["failures"] = std::move(failures);
  model["summary"] = Json{{"elements", r.elements},
                          {"connectors", r.connectors},
                          {"errors", r.errors()},
                          {"warnings", r.warnings()},
                          {"failures", r.failures.size()}};
  return model;
}

Json StatsJson(const RunStats& stats) {
  const PhaseTimes& t = stats.seconds;
  return Json{{"hostCalls", stats.host_calls},
              {"seconds",
               {{"read", t.read},
                {"technology", t.technology},
                {"import", t.import},
                {"validation", t.validation},
                {"report", t.report}}},
              {"peakMemoryBytes", stats.peak_memory_bytes}};
}

void WriteReportJson(std::ostream& out, Json models) {
  const Json document{{"format", kReportFormat}, {"models", std::move(models)}};
  out << Dump(document, 2) << "\n";
}

namespace {

std::string Plural(std::size_t n, const char* word) {
  return std::to_string(n) + " " + word + (n == 1 ? "" : "s");
}

// `element StartEvent_1 "Order received" (StartEvent)`
std::string ObjectText(const ObjectInfo& object) {
  if (object.kind == RunObject::Kind::kNone) return "rule registration";
  std::string text = object.kind == RunObject::Kind::kElement ? "element " : "connector ";
  text += Utf8(object.key);
  if (!object.name.empty()) text += " " + Dump(Json(Utf8(object.name)));
  if (!object.type.empty()) text += " (" + Utf8(object.type) + ")";
  return text;
}

// "12.345 ms" for 0.012345 seconds.
std::string Milliseconds(double seconds) {
  std::ostringstream out;
  out << std::fixed << std::setprecision(3) << seconds * 1000 << " ms";
  return out.str();
}

constexpr double kMebibyte = 1024.0 * 1024.0;

std::string RuleText(const std::optional<std::u16string>& rule, const std::u16string& rule_id) {
  if (rule) return Utf8(*rule);
  return rule_id.empty() ? std::string("no rule") : "rule " + Utf8(rule_id);
}

}  // namespace

std::string ModelText(const ModelReport& report) {
  const ValidationResult& r = report.result;
  std::ostringstream out;
  out << (report.file.empty() ? std::string("(sample model)") : report.file);
  if (r.diagram) {
    out << ", diagram " << r.diagram->id << " " << Dump(Json(Utf8(r.diagram->name)));
  } else {
    out << ", no diagram open";
  }
  out << "\n";
  for (const auto& v : r.violations) {
    out << "  " << Severity(v.level) << ": " << ObjectText(v.object) << ": " << Utf8(v.message) << " ["
        << RuleText(v.rule, v.rule_id) << "]\n";
  }
  for (const auto& f : r.failures) {
    out << "  failure: " << ObjectText(f.object) << ": " << RuleText(f.rule, f.rule_id) << " ended with "
        << host::ToString(f.error.kind) << " error: " << f.error.message << "\n";
  }
  out << "  " << Plural(r.elements, "element") << ", " << Plural(r.connectors, "connector") << ": "
      << Plural(r.errors(), "error") << ", " << Plural(r.warnings(), "warning") << ", "
      << Plural(r.failures.size(), "failure") << "\n";
  return out.str();
}

std::string StatsText(const RunStats& stats) {
  const PhaseTimes& t = stats.seconds;
  std::ostringstream out;
  out << "  host calls: " << stats.host_calls << "\n"
      << "  time: read " << Milliseconds(t.read) << ", technology install " << Milliseconds(t.technology)
      << ", import " << Milliseconds(t.import) << ", validation " << Milliseconds(t.validation) << ", report "
      << Milliseconds(t.report) << "\n"
      << std::fixed << std::setprecision(1)
      << "  peak memory: " << static_cast<double>(stats.peak_memory_bytes) / kMebibyte << " MiB\n";
  return out.str();
}

}  // namespace formats
