// Checks of an Intermediate Event: what it may be connected to depends on its Trigger and on
// whether it sits on an activity's boundary or in normal flow. The Trigger's checks come
// first, then those common to all intermediate events, last the web-service reference.
#include "rules/CBPMNRules.h"
#include "rules/rule_support.h"

void CBPMNRules::CheckIntermediateEvent(const RepositoryRef& Repository, const ElementRef& Element) {
  if (!IsIntermediateEvent(Element)) return;

  CheckIntermediateTrigger(Repository, Element);
  if (IsOnActivityBoundary(Repository, Element)) CheckIntermediateOnBoundary(Repository, Element);
  if (CountOutgoingMessageFlows(Element) > 0)
    ReportViolation(Repository, rules::kRule05, 157, rules::kLevel0);
  CheckWebServiceReference(Repository, Element);
}

// The checks of the one Trigger value that matches; every question is asked afresh.
void CBPMNRules::CheckIntermediateTrigger(const RepositoryRef& Repository, const ElementRef& Element) const {
  const auto report = [&](std::int32_t message, std::int32_t level) {
    ReportViolation(Repository, rules::kRule05, message, level);
  };
  const auto on_boundary = [&] { return IsOnActivityBoundary(Repository, Element); };
  const auto tag_empty = [&](const char16_t* name) { return GetTagValue(Element, name).empty(); };
  // "In normal flow and the count is not 1": both are asked, the boundary first.
  const auto in_normal_flow_and_not_one = [&](std::int16_t (*count)(const ElementRef&)) {
    const bool normal = !on_boundary();
    return count(Element) != 1 && normal;
  };
  const auto incoming_not_one = [&] { return in_normal_flow_and_not_one(&CountIncomingSequenceFlows); };
  const auto outgoing_not_one = [&] { return in_normal_flow_and_not_one(&CountOutgoingSequenceFlows); };

  const std::u16string trigger = GetTagValue(Element, u"Trigger");
  if (trigger == u"None") {
    if (on_boundary()) report(135, rules::kLevel0);
    if (incoming_not_one()) report(136, rules::kLevel0);
  } else if (trigger == u"Message") {
    if (tag_empty(u"Message")) report(137, rules::kLevel1);
    if (outgoing_not_one()) report(138, rules::kLevel0);
  } else if (trigger == u"Timer") {
    if (outgoing_not_one()) report(139, rules::kLevel0);
  } else if (trigger == u"Error") {
    if (tag_empty(u"ErrorCode") && !on_boundary()) report(140, rules::kLevel1);
    if (incoming_not_one()) report(141, rules::kLevel0);
  } else if (trigger == u"Cancel") {
    if (!on_boundary()) report(142, rules::kLevel0);
  } else if (trigger == u"Compensation") {
    const bool associated = HasAssociatedElementOfType(Repository, Element, u"Activity");
    const bool activity_empty = tag_empty(u"Activity");
    if (!associated && activity_empty && !on_boundary()) report(144, rules::kLevel1);
    if (incoming_not_one()) report(145, rules::kLevel0);
    const std::int16_t outgoing = CountOutgoingSequenceFlows(Element);
    if (on_boundary() && outgoing > 0) report(146, rules::kLevel0);
  } else if (trigger == u"Rule") {
    if (tag_empty(u"RuleName")) report(148, rules::kLevel1);
    if (outgoing_not_one()) report(149, rules::kLevel0);
  } else if (trigger == u"Link") {
    if (on_boundary()) report(150, rules::kLevel0);
    if (tag_empty(u"LinkId")) report(151, rules::kLevel1);
    if (tag_empty(u"ProcessRef")) report(152, rules::kLevel1);
  } else if (trigger == u"Multiple") {
    if (!on_boundary()) report(153, rules::kLevel0);
    if (tag_empty(u"Triggers")) report(154, rules::kLevel1);
  }
}

// On a boundary: no incoming Sequence Flow, and exactly one outgoing unless the event
// compensates (message 146 covers that case).
void CBPMNRules::CheckIntermediateOnBoundary(const RepositoryRef& Repository,
                                             const ElementRef& Element) const {
  if (CountIncomingSequenceFlows(Element) > 0)
    ReportViolation(Repository, rules::kRule05, 155, rules::kLevel0);
  if (GetTagValue(Element, u"Trigger") != u"Compensation" && CountOutgoingSequenceFlows(Element) != 1) {
    ReportViolation(Repository, rules::kRule05, 156, rules::kLevel0);
  }
}
