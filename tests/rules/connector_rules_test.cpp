// Sequence Flow and Message Flow checks: allowed end kinds, boundary exceptions, pools, and
// that each check leaves connectors of other kinds alone.
#include "rules_fixture.h"

namespace rules_test {
namespace {

constexpr std::int32_t kFlow = 100;

// Source 10 and target 11 of the given stereotypes joined by connector kFlow.
Model Ends(const char16_t* source, const char16_t* target, const char16_t* connector = u"SequenceFlow",
           Options source_options = {}, Options target_options = {}) {
  return Model()
      .Add(10, source, {}, std::move(source_options))
      .Add(11, target, {}, std::move(target_options))
      .Connect(kFlow, 10, 11, connector);
}
// The same with activity 20 as the host of boundary events, pools 30 and 31, lanes 32 and 33
// in pool 30, and sub-process 21 in lane 32.
Model Around(Model model) {
  return model.Add(20, u"Activity")
      .Add(30, u"Pool")
      .Add(31, u"Pool")
      .Add(32, u"Lane", {}, {.parent = 30})
      .Add(33, u"Lane", {}, {.parent = 30})
      .Add(21, u"Activity", {}, {.parent = 32});
}
const Options kOnBoundary{.parent = 20, .base_type = u"ObjectNode"};

std::string R1(int message) { return Report(message, "Rule_01", 0); }
std::string R2(int message) { return Report(message, "Rule_02", 0); }

const std::vector<CheckCase> kSequenceFlowCases = {
    {"message_flow_ignored", Ends(u"StartEvent", u"StartEvent", u"MessageFlow"), {}},
    {"gateway_to_end_event", Ends(u"Gateway", u"EndEvent"), {}},
    {"from_end_event_121", Ends(u"EndEvent", u"Activity"), {R1(121)}},
    {"from_end_event_on_boundary", Around(Ends(u"EndEvent", u"Activity", u"SequenceFlow", kOnBoundary)), {}},
    {"to_start_event_122", Ends(u"Activity", u"StartEvent"), {R1(122)}},
    {"to_start_event_on_boundary",
     Around(Ends(u"Activity", u"StartEvent", u"SequenceFlow", {}, kOnBoundary)),
     {}},
    {"stereotype_compared_case_sensitively", Ends(u"activity", u"Activity"), {R1(121)}},
    {"between_two_pools_123",
     Around(Ends(u"Activity", u"Activity", u"SequenceFlow", {.parent = 30}, {.parent = 31})),
     {R1(123)}},
    {"from_pool_to_outside_123",
     Around(Ends(u"Activity", u"Activity", u"SequenceFlow", {.parent = 30})),
     {R1(123)}},
    {"between_lanes_of_one_pool",
     Around(Ends(u"Activity", u"Activity", u"SequenceFlow", {.parent = 32}, {.parent = 33})),
     {}},
    {"into_sub_process_of_same_pool",
     Around(Ends(u"Activity", u"Activity", u"SequenceFlow", {.parent = 32}, {.parent = 21})),
     {}},
    {"all_three_in_order",
     Around(Ends(u"EndEvent", u"StartEvent", u"SequenceFlow", {.parent = 30}, {.parent = 31})),
     {R1(121), R1(122), R1(123)}},
};

const std::vector<CheckCase> kMessageFlowCases = {
    {"sequence_flow_ignored", Ends(u"Gateway", u"Gateway"), {}},
    {"end_event_to_start_event", Ends(u"EndEvent", u"StartEvent", u"MessageFlow"), {}},
    {"from_start_event_124", Ends(u"StartEvent", u"Pool", u"MessageFlow"), {R2(124)}},
    {"into_end_event_125", Ends(u"Pool", u"EndEvent", u"MessageFlow"), {R2(125)}},
    {"no_boundary_exception",
     Around(Ends(u"IntermediateEvent", u"EndEvent", u"MessageFlow", kOnBoundary, kOnBoundary)),
     {R2(124), R2(125)}},
};

INSTANTIATE_TEST_SUITE_P(SequenceFlow, RuleChecks, Rows("Rule_01", kSequenceFlowCases), CaseName);
INSTANTIATE_TEST_SUITE_P(MessageFlow, RuleChecks, Rows("Rule_02", kMessageFlowCases), CaseName);

}  // namespace
}  // namespace rules_test
