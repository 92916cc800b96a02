// Start Event checks: flows, the tag each Trigger requires, incoming Message Flows, the scan of
// the flow objects beside the event on the active diagram, the web-service reference, and the
// order of all of them.
#include "rules_fixture.h"

namespace rules_test {
namespace {

constexpr std::int32_t kStart = 10;

// A start event (tags as given) with a Sequence Flow into an activity: nothing to report.
Model Start(Tags tags) {
  return Model().Add(kStart, u"StartEvent", std::move(tags)).Add(11, u"Activity").Connect(100, kStart, 11);
}

std::string R4(int message, int level) { return Report(message, "Rule_04", level); }
std::string R3(int message) { return Report(message, "Rule_03", 0); }

const std::vector<CheckCase> kCases = {
    {"not_a_start_event", Model().Add(kStart, u"Activity", {{u"Trigger", u"Message"}}), {}},
    {"connected_start_event", Start({{u"Trigger", u"None"}}), {}},
    {"lone_start_event_only_128", Model().Add(kStart, u"StartEvent", {{u"Trigger", u"None"}}), {R4(128, 0)}},
    {"incoming_flow_off_boundary_129", Start({}).Connect(101, 11, kStart), {R4(129, 0)}},
    {"incoming_flow_on_boundary_accepted",
     Model()
         .Add(11, u"Activity")
         .Add(kStart, u"StartEvent", {}, {.parent = 11, .base_type = u"ObjectNode"})
         .Add(12, u"Activity", {}, {.parent = 11})
         .Connect(100, kStart, 12)
         .Connect(101, 12, kStart),
     {}},
    {"message_without_message_130", Start({{u"Trigger", u"Message"}}), {R4(130, 1)}},
    {"only_selected_tag_is_tested", Start({{u"Trigger", u"Rule"}, {u"RuleName", u"r"}}), {}},
    {"trigger_compared_case_sensitively", Start({{u"Trigger", u"message"}}), {}},
    {"later_duplicate_tag_wins", Start({{u"Trigger", u"Message"}, {u"Trigger", u"Timer"}}), {}},
    {"message_flow_with_trigger_none_134",
     Start({{u"Trigger", u"None"}})
         .Add(20, u"Pool", {}, {.placed = false})
         .Connect(102, 20, kStart, u"MessageFlow"),
     {R4(134, 1)}},
    {"message_flow_with_trigger_multiple_133_not_134",
     Start({{u"Trigger", u"Multiple"}})
         .Add(20, u"Pool", {}, {.placed = false})
         .Connect(102, 20, kStart, u"MessageFlow"),
     {R4(133, 1)}},
    {"flow_object_without_incoming_127", Start({}).Add(12, u"Gateway"), {R3(127)}},
    {"flow_object_in_other_container_ignored", Start({}).Add(12, u"Activity", {}, {.parent = 11}), {}},
    {"flow_object_not_placed_ignored", Start({}).Add(12, u"Activity", {}, {.placed = false}), {}},
    {"placed_flow_object_of_other_package_counts",
     Start({}).Add(12, u"Activity", {}, {.package = Model::kOtherPackage}),
     {R3(127)}},
    {"compensation_activity_exempt", Start({}).Add(12, u"Activity", {{u"IsCompensation", u"true"}}), {}},
    {"compensation_flag_is_lower_case",
     Start({}).Add(12, u"Activity", {{u"IsCompensation", u"True"}}),
     {R3(127)}},
    {"link_event_exempt", Start({}).Add(12, u"IntermediateEvent", {{u"Trigger", u"Link"}}), {}},
    {"compensation_event_is_no_flow_object",
     Start({}).Add(12, u"IntermediateEvent", {{u"Trigger", u"Compensation"}}),
     {}},
    {"boundary_event_exempt",
     Model()
         .Add(11, u"Activity")
         .Add(kStart, u"StartEvent", {}, {.parent = 11})
         .Add(12, u"Activity", {}, {.parent = 11})
         .Connect(100, kStart, 12)
         .Add(13, u"IntermediateEvent", {{u"Trigger", u"Timer"}}, {.parent = 11, .base_type = u"ObjectNode"}),
     {}},
    {"event_based_on_event_is_not_on_boundary",
     Model()
         .Add(11, u"Activity")
         .Add(kStart, u"StartEvent", {}, {.parent = 11})
         .Add(12, u"Activity", {}, {.parent = 11})
         .Connect(100, kStart, 12)
         .Add(13, u"IntermediateEvent", {{u"Trigger", u"Timer"}}, {.parent = 11}),
     {R3(127)}},
    {"several_misses_one_report", Start({}).Add(12, u"Gateway").Add(13, u"Gateway"), {R3(127)}},
    {"everything_broken_in_order",
     Model()
         .Add(kStart, u"StartEvent", {{u"Trigger", u"Rule"}, {u"Implementation", u"Web Service"}})
         .Add(11, u"Activity")
         .Connect(100, 11, kStart)
         .Add(20, u"Pool", {}, {.placed = false})
         .Connect(101, 20, kStart, u"MessageFlow"),
     {R4(128, 0), R4(129, 0), R4(131, 1), R4(134, 1), R3(127), R3(221)}},
};

INSTANTIATE_TEST_SUITE_P(StartEvent, RuleChecks, Rows("Rule_04", kCases), CaseName);

TEST(StartEventRules, EveryStartEventRunsItsOwnScan) {
  Session session(Start({}).Add(12, u"StartEvent").Connect(101, 12, 11).Add(13, u"Gateway").data());
  EXPECT_EQ(session.RunElement("Rule_04", kStart), std::vector<std::string>{R3(127)});
  EXPECT_EQ(session.RunElement("Rule_04", 12), std::vector<std::string>{R3(127)});
}

// Without an open diagram the scan fails; what the steps before it reported stays reported.
TEST(StartEventRules, NoActiveDiagramEndsTheCheckAfterEarlierReports) {
  Session session(
      Model().Add(kStart, u"StartEvent", {{u"Implementation", u"Web Service"}}).NoActiveDiagram().data());
  std::u16string rule = session.HostId("Rule_04");
  try {
    session.rules().RunElementRule(session.repository(), rule, session.Element(kStart));
    FAIL() << "the check went on without a diagram";
  } catch (const host::Error& error) {
    EXPECT_EQ(error.kind(), host::ErrorKind::kNullObject);
  }
  EXPECT_EQ(session.TakeReports(), std::vector<std::string>{R4(128, 0)});
}

}  // namespace
}  // namespace rules_test
