// End Event checks: what each Result requires, transactions, flows, the search for a Start
// Event in the same container, and the order of the reports.
#include "rules_fixture.h"

namespace rules_test {
namespace {

constexpr std::int32_t kEnd = 10;

// A placed start event, an activity, and the end event (tags as given) that the activity flows
// into: nothing to report.
Model End(Tags tags, Options options = {}) {
  return Model()
      .Add(12, u"StartEvent")
      .Add(11, u"Activity")
      .Connect(100, 12, 11)
      .Add(kEnd, u"EndEvent", std::move(tags), std::move(options))
      .Connect(101, 11, kEnd);
}

// An end event inside sub-process 30 (tags of the sub-process as given), which nests a start
// event that is not placed on the diagram.
Model EndInside(Tags end_tags, Tags sub_process_tags) {
  return Model()
      .Add(30, u"Activity", std::move(sub_process_tags))
      .Add(31, u"StartEvent", {}, {.parent = 30, .placed = false})
      .Add(11, u"Activity", {}, {.parent = 30})
      .Add(kEnd, u"EndEvent", std::move(end_tags), {.parent = 30})
      .Connect(101, 11, kEnd);
}

std::string R6(int message, int level = 0) { return Report(message, "Rule_06", level); }
std::string R3(int message) { return Report(message, "Rule_03", 0); }

const std::vector<CheckCase> kCases = {
    {"not_an_end_event", Model().Add(kEnd, u"StartEvent", {{u"Result", u"Message"}}), {}},
    {"result_none", End({{u"Result", u"None"}}), {}},
    {"message_empty_158", End({{u"Result", u"Message"}}), {R6(158, 1)}},
    {"cancel_directly_in_package_160", End({{u"Result", u"Cancel"}}), {R6(160)}},
    {"cancel_in_transaction", EndInside({{u"Result", u"Cancel"}}, {{u"IsATransaction", u"true"}}), {}},
    {"cancel_transaction_flag_is_lower_case",
     EndInside({{u"Result", u"Cancel"}}, {{u"IsATransaction", u"True"}}),
     {R6(160)}},
    {"compensation_tag_alone_161", End({{u"Result", u"Compensation"}, {u"Activity", u"a"}}), {R6(161, 1)}},
    {"compensation_associated_with_activity",
     End({{u"Result", u"Compensation"}}).Connect(102, 11, kEnd, u"Association"),
     {}},
    {"no_connectors_164_only", Model().Add(12, u"StartEvent").Add(kEnd, u"EndEvent"), {R6(164)}},
    {"outgoing_sequence_flow_165", End({}).Connect(102, kEnd, 11), {R6(165)}},
    {"outgoing_flow_on_boundary_accepted",
     EndInside({}, {})
         .Add(13, u"EndEvent", {}, {.parent = 30, .base_type = u"ObjectNode"})
         .Connect(102, 11, 13)
         .Connect(103, 13, 11),
     {},
     13},
    {"message_flow_target_166", End({}).Add(20, u"Pool").Connect(102, 20, kEnd, u"MessageFlow"), {R6(166)}},
    {"start_event_only_inside_sub_process_126",
     Model()
         .Add(30, u"Activity")
         .Add(31, u"StartEvent", {}, {.parent = 30})
         .Add(11, u"Activity")
         .Add(kEnd, u"EndEvent")
         .Connect(101, 11, kEnd),
     {R3(126)}},
    {"nested_start_event_off_diagram_found", EndInside({}, {}), {}},
    {"placed_start_event_of_other_package_counts",
     Model()
         .Add(12, u"StartEvent", {}, {.package = Model::kOtherPackage})
         .Add(11, u"Activity")
         .Add(kEnd, u"EndEvent")
         .Connect(101, 11, kEnd),
     {}},
    {"unplaced_start_event_of_same_package_126",
     Model()
         .Add(12, u"StartEvent", {}, {.placed = false})
         .Add(11, u"Activity")
         .Add(kEnd, u"EndEvent")
         .Connect(101, 11, kEnd),
     {R3(126)}},
    {"everything_broken_in_order",
     Model()
         .Add(kEnd, u"EndEvent", {{u"Result", u"Message"}, {u"Implementation", u"Web Service"}})
         .Add(11, u"Activity")
         .Connect(100, kEnd, 11)
         .Add(20, u"Pool")
         .Connect(101, 20, kEnd, u"MessageFlow"),
     {R6(158, 1), R6(164), R6(165), R6(166), R3(126), R3(221)}},
};

INSTANTIATE_TEST_SUITE_P(EndEvent, RuleChecks, Rows("Rule_06", kCases), CaseName);

}  // namespace
}  // namespace rules_test
