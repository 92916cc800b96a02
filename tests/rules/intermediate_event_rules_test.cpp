// Intermediate Event checks: the checks of each Trigger in normal flow and on an activity's
// boundary, the common checks, and the order of the reports.
#include "rules_fixture.h"

namespace rules_test {
namespace {

constexpr std::int32_t kEvent = 10;
constexpr std::int32_t kHost = 11;  // the activity that a boundary event is attached to

// An intermediate event with `in` incoming and `out` outgoing Sequence Flows, each to or from
// its own activity; on the boundary of activity kHost when `on_boundary`.
Model Event(Tags tags, int in, int out, bool on_boundary = false) {
  Model model;
  model.Add(kHost, u"Activity");
  model.Add(kEvent, u"IntermediateEvent", std::move(tags),
            on_boundary ? Options{.parent = kHost, .base_type = u"ObjectNode"} : Options{});
  for (int i = 0; i < in; ++i) model.Add(20 + i, u"Activity").Connect(100 + i, 20 + i, kEvent);
  for (int i = 0; i < out; ++i) model.Add(30 + i, u"Activity").Connect(110 + i, kEvent, 30 + i);
  return model;
}
Model Boundary(Tags tags, int in, int out) { return Event(std::move(tags), in, out, true); }

std::string R5(int message, int level = 0) { return Report(message, "Rule_05", level); }

const std::vector<CheckCase> kCases = {
    {"not_an_intermediate_event", Model().Add(kEvent, u"EndEvent", {{u"Trigger", u"Cancel"}}), {}},
    {"none_on_boundary_135_only", Boundary({{u"Trigger", u"None"}}, 0, 1), {R5(135)}},
    {"none_in_flow_two_incoming_136", Event({{u"Trigger", u"None"}}, 2, 1), {R5(136)}},
    {"none_in_flow_one_incoming", Event({{u"Trigger", u"None"}}, 1, 0), {}},
    {"message_empty_on_boundary_137_only", Boundary({{u"Trigger", u"Message"}}, 0, 1), {R5(137, 1)}},
    {"message_in_flow_without_outgoing_138",
     Event({{u"Trigger", u"Message"}, {u"Message", u"m"}}, 1, 0),
     {R5(138)}},
    {"timer_on_boundary_without_outgoing_156", Boundary({{u"Trigger", u"Timer"}}, 0, 0), {R5(156)}},
    {"error_code_empty_in_flow_140", Event({{u"Trigger", u"Error"}}, 1, 0), {R5(140, 1)}},
    {"error_code_empty_on_boundary_accepted", Boundary({{u"Trigger", u"Error"}}, 0, 1), {}},
    {"cancel_in_flow_142", Event({{u"Trigger", u"Cancel"}}, 1, 1), {R5(142)}},
    {"cancel_on_boundary_accepted", Boundary({{u"Trigger", u"Cancel"}}, 0, 1), {}},
    {"compensation_associated_with_activity",
     Event({{u"Trigger", u"Compensation"}}, 1, 0)
         .Add(12, u"Activity")
         .Connect(120, kEvent, 12, u"Association"),
     {}},
    {"compensation_associated_with_non_activity_144",
     Event({{u"Trigger", u"Compensation"}}, 1, 0)
         .Add(12, u"DataObject")
         .Connect(120, 12, kEvent, u"Association"),
     {R5(144, 1)}},
    {"compensation_activity_tag_in_flow_no_incoming_145",
     Event({{u"Trigger", u"Compensation"}, {u"Activity", u"a"}}, 0, 0),
     {R5(145)}},
    {"compensation_on_boundary_with_outgoing_146_not_156",
     Boundary({{u"Trigger", u"Compensation"}}, 0, 1),
     {R5(146)}},
    {"rule_empty_in_flow_without_outgoing", Event({{u"Trigger", u"Rule"}}, 0, 2), {R5(148, 1), R5(149)}},
    {"link_tags_empty_in_flow", Event({{u"Trigger", u"Link"}}, 0, 0), {R5(151, 1), R5(152, 1)}},
    {"link_on_boundary", Boundary({{u"Trigger", u"Link"}}, 0, 1), {R5(150), R5(151, 1), R5(152, 1)}},
    {"unknown_trigger_runs_common_checks", Boundary({{u"Trigger", u"Bogus"}}, 1, 0), {R5(155), R5(156)}},
    {"trigger_compared_case_sensitively", Boundary({{u"Trigger", u"none"}}, 0, 1), {}},
    {"missing_trigger_selects_no_branch", Event({}, 0, 0), {}},
    {"message_flow_source_157",
     Event({{u"Trigger", u"None"}}, 1, 0).Add(12, u"Pool").Connect(120, kEvent, 12, u"MessageFlow"),
     {R5(157)}},
    {"everything_broken_in_order",
     Boundary({{u"Trigger", u"Link"}, {u"Implementation", u"Web Service"}}, 1, 0)
         .Add(12, u"Pool")
         .Connect(120, kEvent, 12, u"MessageFlow"),
     {R5(150), R5(151, 1), R5(152, 1), R5(155), R5(156), R5(157), Report(221, "Rule_03", 0)}},
};

INSTANTIATE_TEST_SUITE_P(IntermediateEvent, RuleChecks, Rows("Rule_05", kCases), CaseName);

}  // namespace
}  // namespace rules_test
