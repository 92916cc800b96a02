// The host members each check uses, in order, as the stand-in's interceptor traces them: which
// tag is read in which branch, that counts read every value of every connector, that the
// validation service is fetched anew for each report; and host failures in mid-check, which
// end the run and keep the reports made before them.
#include "platform/text.h"
#include "rules_fixture.h"

namespace rules_test {
namespace {

using Lines = std::vector<std::string>;

Lines Join(std::initializer_list<Lines> parts) {
  Lines all;
  for (const auto& part : parts) all.insert(all.end(), part.begin(), part.end());
  return all;
}
// One tag lookup over `count` tags whose `matched`-th (1-based, 0 for none) has the name.
Lines TagLookup(int count, int matched) {
  Lines lines{"Element.Tags"};
  for (int i = 1; i <= count; ++i) {
    lines.push_back("TaggedValue.Name");
    if (i == matched) lines.push_back("TaggedValue.Value");
  }
  return lines;
}
// One flow count of an element without connectors that is no activity.
const Lines kEmptyCount{"Element.ConnectorList", "Element.MetaTypeName"};
Lines Reported(const std::string& rule_id, int level, const std::string& text) {
  return {"Repository.ValidationService()", "ValidationService.ReportViolation(\"" + rule_id + "\", " +
                                                std::to_string(level) + ", " +
                                                kelvo::TraceValue(platform::FromUtf8(text)) + ")"};
}

struct TraceCase {
  std::string name;
  Model model;
  std::string rule;
  std::int32_t object_id;
  Lines expected;
};
std::ostream& operator<<(std::ostream& out, const TraceCase& c) { return out << c.name; }

class HostCalls : public testing::TestWithParam<TraceCase> {};

// Runs the rule; a failure ends the run as it would end the host's event call.
TEST_P(HostCalls, InOrder) {
  Model model = GetParam().model;
  Session session(model.data());
  std::u16string rule = session.HostId(GetParam().rule);
  try {
    session.rules().RunElementRule(session.repository(), rule, session.Element(GetParam().object_id));
  } catch (const host::Error&) {
    // Where the run stops shows in the trace.
  }
  EXPECT_EQ(session.TakeTrace(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostCalls,
    testing::Values(
        // Without an open diagram the run stops at the container scan, after step 4.
        TraceCase{"start_trigger_rule_reads_rule_name_only",
                  Model()
                      .Add(10, u"StartEvent", {{u"Trigger", u"Rule"}, {u"RuleName", u"r"}, {u"LinkId", u""}})
                      .NoActiveDiagram(),
                  "Rule_04", 10,
                  Join({{"Element.StereotypeName"},
                        kEmptyCount,
                        Reported("{KV-RULE-0004}", 0, "Start Event must be source for a Sequence Flow"),
                        kEmptyCount,
                        TagLookup(3, 1),
                        TagLookup(3, 2),
                        kEmptyCount,
                        {"Repository.ActiveDiagram"}})},
        TraceCase{"start_trigger_timer_reads_no_other_tag",
                  Model()
                      .Add(10, u"StartEvent", {{u"Trigger", u"Timer"}, {u"RuleName", u""}, {u"LinkId", u""}})
                      .NoActiveDiagram(),
                  "Rule_04", 10,
                  Join({{"Element.StereotypeName"},
                        kEmptyCount,
                        Reported("{KV-RULE-0004}", 0, "Start Event must be source for a Sequence Flow"),
                        kEmptyCount,
                        TagLookup(3, 1),
                        kEmptyCount,
                        {"Repository.ActiveDiagram"}})},
        // Every connector's end, the element's id and the stereotype are read, matching or not.
        TraceCase{"gateway_counts_read_every_value",
                  Model().Add(10, u"Gateway").Add(11, u"Activity").Connect(100, 11, 10),
                  "Rule_08",
                  10,
                  {"Element.StereotypeName", "Element.ConnectorList", "Connector.TargetId", "Element.Id",
                   "Connector.StereotypeName", "Element.MetaTypeName", "Element.ConnectorList",
                   "Connector.SourceId", "Element.Id", "Connector.StereotypeName", "Element.MetaTypeName",
                   "Element.ConnectorList", "Connector.SourceId", "Element.Id", "Connector.StereotypeName",
                   "Element.Tags"}},
        // The parent's metatype is read once for each comparison; the tags only after it.
        TraceCase{"lane_parent_then_both_tags",
                  Model().Add(20, u"Activity").Add(10, u"Lane", {}, {.parent = 20}), "Rule_09", 10,
                  Join({{"Element.MetaTypeName", "Element.MetaTypeName", "Element.MetaTypeName",
                         "Element.ParentId", "Element.ParentId", "Repository.ElementById(20)",
                         "Element.MetaTypeName", "Element.MetaTypeName"},
                        TagLookup(0, 0),
                        TagLookup(0, 0),
                        Reported("{KV-RULE-0009}", 0,
                                 "A Lane must be contained in a Pool or ParentPool must be defined")})},
        // Only "Web Service" makes the reference be read.
        TraceCase{
            "other_implementation_reads_no_reference",
            Model().Add(10, u"Activity",
                        {{u"StartQuantity", u"1"}, {u"Implementation", u"Other"}, {u"WebService", u""}}),
            "Rule_07", 10,
            Join({{"Element.StereotypeName"},
                  TagLookup(3, 1),
                  TagLookup(3, 0),
                  TagLookup(3, 0),
                  TagLookup(3, 0),
                  TagLookup(3, 2)})},
        // The error code is filled, so the position is not asked for message 140.
        TraceCase{
            "intermediate_error_code_set_skips_position",
            Model().Add(10, u"IntermediateEvent", {{u"Trigger", u"Error"}, {u"ErrorCode", u"e"}}), "Rule_05",
            10,
            Join({{"Element.StereotypeName"},
                  TagLookup(2, 1),
                  TagLookup(2, 2),
                  {"Element.StereotypeName", "Element.StereotypeName", "Element.StereotypeName",
                   "Element.BaseType"},
                  kEmptyCount,
                  Reported("{KV-RULE-0005}", 0,
                           "Error-triggered Intermediate Event in normal flow must have exactly one incoming "
                           "Sequence Flow"),
                  {"Element.StereotypeName", "Element.StereotypeName", "Element.StereotypeName",
                   "Element.BaseType"},
                  kEmptyCount,
                  TagLookup(2, 0)})}),
    [](const testing::TestParamInfo<TraceCase>& info) { return info.param.name; });

TEST(HostCalls, RegistrationFetchesTheServiceOncePerOperation) {
  Session session(Model().data(), {}, false);
  session.rules().ConfigureCategories(session.repository());
  session.rules().ConfigureRules(session.repository());
  Lines expected{"Repository.ValidationService()",
                 "ValidationService.AddRuleCategory(\"Business Process Modeling Notation (BPMN) Rules\")",
                 "Repository.ValidationService()"};
  for (const char* name :
       {"BPMN Sequence Flow constraints", "BPMN Message Flow constraints",
        "BPMN Business Process Diagram constraints", "BPMN Start Event constraints",
        "BPMN Intermediate Event constraints", "BPMN End Event constraints", "BPMN Activity constraints",
        "BPMN Gateway constraints", "BPMN Swimlane constraints"}) {
    expected.push_back("ValidationService.AddRule(\"{KV-CAT-0001}\", 0, \"" + std::string(name) + "\")");
  }
  EXPECT_EQ(session.TakeTrace(), expected);
}

TEST(HostCalls, MissingConnectorEndsTheRunAtTheFetch) {
  Session session(Model().data());
  EXPECT_EQ(session.RunConnector("Rule_01", 999), Lines{});
  EXPECT_EQ(session.TakeTrace(), Lines{"Repository.ConnectorById(999)"});
}

// A host failure ends the run; the reports made before it stay.
struct FaultCase {
  std::string name;
  Model model;
  std::string rule;
  kelvo::Fault fault;
  Lines reports_before;
};
std::ostream& operator<<(std::ostream& out, const FaultCase& c) { return out << c.name; }

class HostFaults : public testing::TestWithParam<FaultCase> {};

TEST_P(HostFaults, EndTheRunAndKeepEarlierReports) {
  Model model = GetParam().model;
  Session session(model.data(), {GetParam().fault});
  std::u16string rule = session.HostId(GetParam().rule);
  try {
    session.rules().RunElementRule(session.repository(), rule, session.Element(10));
    FAIL() << "the run went on past the failure";
  } catch (const host::Error& error) {
    EXPECT_EQ(error.kind(), host::ErrorKind::host);
  }
  EXPECT_EQ(session.TakeReports(), GetParam().reports_before);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, HostFaults,
    testing::Values(FaultCase{"second_report_fails",
                              Model().Add(10, u"IntermediateEvent", {{u"Trigger", u"Link"}}),
                              "Rule_05",
                              {"ValidationService.ReportViolation", 2},
                              {Report(151, "Rule_05", 1)}},
                    FaultCase{
                        "fresh_service_for_each_report",
                        Model().Add(10, u"IntermediateEvent", {{u"Trigger", u"Link"}}),
                        "Rule_05",
                        // Registration fetched the service twice; the third fetch is for the second report.
                        {"Repository.ValidationService", 4},
                        {Report(151, "Rule_05", 1)}},
                    FaultCase{"placed_element_fetch_fails",
                              Model().Add(10, u"StartEvent").Add(11, u"Gateway"),
                              "Rule_04",
                              {"Repository.ElementById", 1},
                              {Report(128, "Rule_04", 0)}},
                    FaultCase{"nested_elements_read_fails",
                              Model().Add(30, u"Activity").Add(10, u"EndEvent", {}, {.parent = 30}),
                              "Rule_06",
                              {"Element.NestedElements", 1},
                              {Report(164, "Rule_06", 0)}}),
    [](const testing::TestParamInfo<FaultCase>& info) { return info.param.name; });

}  // namespace
}  // namespace rules_test
