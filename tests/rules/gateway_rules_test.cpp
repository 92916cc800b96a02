// Gateway checks: Message Flows, Gates, the constraints of each gateway kind on its own and
// its outgoing flows' condition tags, and the order of the reports.
#include "rules_fixture.h"

namespace rules_test {
namespace {

constexpr std::int32_t kGateway = 10;

// A gateway with `in` incoming Sequence Flows and one outgoing Sequence Flow per entry of
// `gates`, carrying that entry's tags.
Model Gateway(Tags tags, int in, std::vector<Tags> gates) {
  Model model;
  model.Add(kGateway, u"Gateway", std::move(tags));
  for (int i = 0; i < in; ++i) model.Add(20 + i, u"Activity").Connect(100 + i, 20 + i, kGateway);
  for (std::size_t i = 0; i < gates.size(); ++i) {
    const std::int32_t target = 30 + static_cast<std::int32_t>(i);
    model.Add(target, u"Activity")
        .Connect(110 + static_cast<std::int32_t>(i), kGateway, target, u"SequenceFlow", gates[i]);
  }
  return model;
}
Model Data(int in, std::vector<Tags> gates) {
  return Gateway({{u"GatewayType", u"XOR"}, {u"XORType", u"Data"}}, in, std::move(gates));
}
Model EventBased(std::vector<Tags> gates) {
  return Gateway({{u"GatewayType", u"XOR"}, {u"XORType", u"Event"}}, 1, std::move(gates));
}
Model Of(const char16_t* type, int in, std::vector<Tags> gates) {
  return Gateway({{u"GatewayType", type}}, in, std::move(gates));
}
Model WithMessageFlows(Model model) {
  return model.Add(40, u"Pool")
      .Connect(120, 40, kGateway, u"MessageFlow")
      .Connect(121, kGateway, 40, u"MessageFlow");
}

const Tags kNone{{u"ConditionType", u"None"}};
const Tags kExpression{{u"ConditionType", u"Expression"}, {u"ConditionExpression", u"x > 1"}};
const Tags kBareExpression{{u"ConditionType", u"Expression"}};
const Tags kDefault{{u"ConditionType", u"Default"}};

std::string R8(int message, int level = 1) { return Report(message, "Rule_08", level); }

const std::vector<CheckCase> kCases = {
    {"not_a_gateway", WithMessageFlows(Model().Add(kGateway, u"Activity")), {}},
    {"message_flows_before_kind_checks", WithMessageFlows(Data(1, {})), {R8(189, 0), R8(190, 0), R8(192)}},
    {"type_compared_case_sensitively", Of(u"xor", 0, {}), {}},
    {"xor_without_xor_type", Of(u"XOR", 0, {}), {}},
    {"data_without_gates_192", Data(1, {}), {R8(192)}},
    {"data_single_gate_needs_no_expression", Data(1, {kNone}), {}},
    {"data_default_skipped_bare_flow_194", Data(1, {kDefault, kExpression, kNone}), {R8(194)}},
    {"data_each_bare_flow_reported", Data(1, {{}, kBareExpression}), {R8(194), R8(194)}},
    {"data_ignores_incoming_flows", Data(3, {kExpression, kExpression}), {}},
    {"event_single_gate_197_only", EventBased({kExpression}), {R8(197)}},
    {"event_flow_without_condition_type_198", EventBased({kNone, {}}), {R8(198)}},
    {"inclusive_runs_no_test", WithMessageFlows(Of(u"OR", 0, {})), {R8(189, 0), R8(190, 0)}},
    {"complex_one_in_one_out_202", Of(u"Complex", 1, {kNone}), {R8(202)}},
    {"complex_two_in_one_out_204", Of(u"Complex", 2, {kNone}), {R8(204)}},
    {"complex_conditions_set",
     Gateway({{u"GatewayType", u"Complex"}, {u"IncomingCondition", u"i"}, {u"OutgoingCondition", u"o"}}, 2,
             {kNone, kNone}),
     {}},
    {"and_two_in_one_out", Of(u"AND", 2, {kNone}), {}},
    {"and_one_in_two_out", Of(u"AND", 1, {kNone, kNone}), {}},
    {"and_one_in_one_out_207", Of(u"AND", 1, {kNone}), {R8(207)}},
    {"and_single_conditioned_gate_208", Of(u"AND", 2, {kBareExpression}), {R8(208)}},
    {"complex_everything_broken_in_order",
     WithMessageFlows(Of(u"Complex", 2, {kExpression, kDefault})),
     {R8(189, 0), R8(190, 0), R8(203), R8(203), R8(204), R8(205)}},
};

INSTANTIATE_TEST_SUITE_P(Gateway, RuleChecks, Rows("Rule_08", kCases), CaseName);

}  // namespace
}  // namespace rules_test
