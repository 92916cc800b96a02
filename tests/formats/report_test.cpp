// The validation reports: "orbelt-report/1" and the text report, written whole for a result that
// takes every branch (unnamed rule, unknown rule, registration failure, no diagram, plurals).
#include "formats/report.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

using kelvo::RunObject;

std::vector<formats::ModelReport> Reports() {
  kelvo::ValidationResult result;
  result.diagram = kelvo::DiagramInfo{5, u"Orders"};
  result.elements = 2;
  result.connectors = 1;
  result.violations = {{{RunObject::Kind::kElement, 10, u"StartEvent_1", u"Order \"in\"", u"StartEvent"},
                        u"{R1}",
                        u"Start rule",
                        0,
                        u"no flow"},
                       {{RunObject::Kind::kConnector, 100, u"100", u"", u"SequenceFlow"},
                        u"{R2}",
                        std::nullopt,
                        1,
                        u"odd flow"}};
  result.failures = {{{}, u"", std::nullopt, {host::ErrorKind::kResource, "string 113 missing"}},
                     {{RunObject::Kind::kElement, 11, u"11", u"Work", u"Activity"},
                      u"{R1}",
                      u"Start rule",
                      {host::ErrorKind::kOverflow, "count overflow"}}};
  return {{"orders.json", result}, {"", {}}};
}

TEST(Report, JsonDocument) {
  formats::Json models = formats::Json::array();
  for (const auto& report : Reports()) models.push_back(formats::ModelJson(report));
  std::ostringstream out;
  formats::WriteReportJson(out, std::move(models));
  EXPECT_EQ(formats::Json::parse(out.str()), formats::Json::parse(R"({"format": "orbelt-report/1", "models": [
    {"file": "orders.json", "diagram": {"id": 5, "name": "Orders"},
     "violations": [
       {"object": {"kind": "element", "id": 10, "key": "StartEvent_1", "name": "Order \"in\"", "type": "StartEvent"},
        "rule": "Start rule", "level": 0, "severity": "error", "message": "no flow"},
       {"object": {"kind": "connector", "id": 100, "key": "100", "name": "", "type": "SequenceFlow"},
        "rule": null, "level": 1, "severity": "warning", "message": "odd flow"}],
     "failures": [
       {"object": null, "rule": null, "error": {"kind": "resource", "message": "string 113 missing"}},
       {"object": {"kind": "element", "id": 11, "key": "11", "name": "Work", "type": "Activity"}, "rule": "Start rule",
        "error": {"kind": "overflow", "message": "count overflow"}}],
     "summary": {"elements": 2, "connectors": 1, "errors": 1, "warnings": 1, "failures": 2}},
    {"file": "", "diagram": null, "violations": [], "failures": [],
     "summary": {"elements": 0, "connectors": 0, "errors": 0, "warnings": 0, "failures": 0}}]})"));
}

TEST(Report, Text) {
  std::string text;
  for (const auto& report : Reports()) text += formats::ModelText(report);
  EXPECT_EQ(
      text,
      "orders.json, diagram 5 \"Orders\"\n"
      "  error: element StartEvent_1 \"Order \\\"in\\\"\" (StartEvent): no flow [Start rule]\n"
      "  warning: connector 100 (SequenceFlow): odd flow [rule {R2}]\n"
      "  failure: rule registration: no rule ended with resource error: string 113 missing\n"
      "  failure: element 11 \"Work\" (Activity): Start rule ended with overflow error: count overflow\n"
      "  2 elements, 1 connector: 1 error, 1 warning, 2 failures\n"
      "(sample model), no diagram open\n"
      "  0 elements, 0 connectors: 0 errors, 0 warnings, 0 failures\n");
}

TEST(Report, StatsInBothFormats) {
  const formats::RunStats stats{1234, {0.001, 0, 0.0125, 0.5, 0.00025}, 3 * 1024 * 1024 + 512 * 1024};
  EXPECT_EQ(formats::StatsJson(stats), formats::Json::parse(R"({"hostCalls": 1234,
    "seconds": {"read": 0.001, "technology": 0, "import": 0.0125, "validation": 0.5, "report": 0.00025},
    "peakMemoryBytes": 3670016})"));
  EXPECT_EQ(formats::StatsText(stats),
            "  host calls: 1234\n"
            "  time: read 1.000 ms, technology install 0.000 ms, import 12.500 ms, validation 500.000 ms, "
            "report 0.250 ms\n"
            "  peak memory: 3.5 MiB\n");
}

}  // namespace
