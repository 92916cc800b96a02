// Checks of a Gateway: no Message Flows, then, by GatewayType, the number of Gates (outgoing
// Sequence Flows), the gateway's condition tags and the condition tags of each Gate.
#include "resources/messages.h"
#include "rules/CBPMNRules.h"
#include "rules/rule_support.h"

namespace {

using ConnectorRef = host::Ref<host::Connector>;
using ElementRef = host::Ref<host::Element>;

// Hands each outgoing Sequence Flow of the gateway to `visit`, in the order of its connector
// list. All three values are read for every connector before they are combined.
template <class Visit>
void ForEachGate(const ElementRef& gateway, Visit&& visit) {
  const auto connectors = gateway->ConnectorList();
  for (const auto& connector : *connectors) {
    const std::int32_t source = connector->SourceId();
    const std::int32_t gateway_id = gateway->Id();
    const bool sequence_flow = connector->StereotypeName() == u"SequenceFlow"sv;
    if (source == gateway_id && sequence_flow) visit(connector);
  }
}

std::int16_t CountGates(const ElementRef& gateway) {
  std::int16_t gates = 0;
  ForEachGate(gateway, [&](const ConnectorRef&) { gates = rules::AddCounts(gates, 1); });
  return gates;
}

}  // namespace

void CBPMNRules::CheckGateway(const RepositoryRef& repository, const ElementRef& element) {
  if (!IsGateway(element)) return;

  if (CountIncomingMessageFlows(element) > 0)
    ReportViolation(repository, rules::kRule08, messages::kGatewayMessageFlowTarget, rules::Level::kError);
  if (CountOutgoingMessageFlows(element) > 0)
    ReportViolation(repository, rules::kRule08, messages::kGatewayMessageFlowSource, rules::Level::kError);
  CheckGatewayKind(repository, element, CountGates(element));
}

// The constraints of the gateway's kind; every report here is at level 1.
void CBPMNRules::CheckGatewayKind(const RepositoryRef& repository, const ElementRef& element,
                                  std::int16_t gates) const {
  const auto report = [&](std::int32_t message) {
    ReportViolation(repository, rules::kRule08, message, rules::Level::kWarning);
  };
  const auto condition_type = [](const ConnectorRef& flow) {
    return GetConnectorTagValue(flow, u"ConditionType"sv);
  };
  // Every Gate whose ConditionType is not "None" gets `message`.
  const auto each_gate_unconditioned = [&](std::int32_t message) {
    ForEachGate(element, [&](const ConnectorRef& flow) {
      if (condition_type(flow) != u"None"sv) report(message);
    });
  };

  const std::u16string gateway_type = GetTagValue(element, u"GatewayType"sv);
  if (gateway_type == u"XOR"sv) {
    const std::u16string xor_type = GetTagValue(element, u"XORType"sv);
    if (xor_type == u"Data"sv) {
      if (gates == 0) report(messages::kDecisionGatewayWithoutGates);
      ForEachGate(element, [&](const ConnectorRef& flow) {
        if (condition_type(flow) == u"Default"sv) return;
        const std::int16_t out = CountOutgoingSequenceFlows(element);
        if (GetConnectorTagValue(flow, u"ConditionExpression"sv).empty() && out > 1)
          report(messages::kDecisionGateConditionUndefined);
      });
    } else if (xor_type == u"Event"sv) {
      if (gates < 2) report(messages::kEventGatewayTooFewGates);
      ForEachGate(element, [&](const ConnectorRef& flow) {
        const std::int16_t out = CountOutgoingSequenceFlows(element);
        if (condition_type(flow) != u"None"sv && out > 1) report(messages::kEventGateWithCondition);
      });
    }
  } else if (gateway_type == u"Complex"sv) {
    if (CountIncomingSequenceFlows(element) <= 1 && gates < 2) report(messages::kComplexGatewayTooFewGates);
    each_gate_unconditioned(messages::kComplexGateWithCondition);
    const std::int16_t in = CountIncomingSequenceFlows(element);
    if (GetTagValue(element, u"IncomingCondition"sv).empty() && in > 1)
      report(messages::kComplexGatewayIncomingConditionUndefined);
    const std::int16_t out = CountOutgoingSequenceFlows(element);
    if (GetTagValue(element, u"OutgoingCondition"sv).empty() && out > 1)
      report(messages::kComplexGatewayOutgoingConditionUndefined);
  } else if (gateway_type == u"AND"sv) {
    if (CountIncomingSequenceFlows(element) <= 1 && gates < 2) report(messages::kAndGatewayTooFewGates);
    each_gate_unconditioned(messages::kAndGateWithCondition);
  }
  // "OR" and every other value: no test.
}
