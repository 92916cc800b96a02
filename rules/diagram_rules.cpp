// The business-process-diagram constraints (Rule_03). They have no run of their own: the
// event and activity checks evaluate them for the element they check. Two look at the flow
// objects that share the element's container on the active diagram; the third is the
// web-service reference that every event and activity must carry.
#include "resources/messages.h"
#include "rules/CBPMNRules.h"
#include "rules/rule_support.h"

// If Implementation is "Web Service", WebService must be referenced; it is read only then.
void CBPMNRules::CheckWebServiceReference(const RepositoryRef& repository, const ElementRef& element) const {
  if (GetTagValue(element, u"Implementation"sv) != u"Web Service"sv) return;
  if (GetTagValue(element, u"WebService"sv).empty())
    ReportViolation(repository, rules::kRule03, messages::kWebServiceUndefined, rules::Level::kError);
}

// Beside a Start Event, every placed flow object of its container needs an incoming Sequence
// Flow, except start events, compensation activities, link events and intermediate events on
// an activity's boundary. One report however many miss one; every placement is visited.
void CBPMNRules::CheckFlowObjectsHaveIncomingFlow(const RepositoryRef& repository,
                                                  const ElementRef& element) const {
  bool all_have_incoming = true;
  ForEachPlacedElement(repository, [&](const ElementRef& candidate) {
    if (candidate->ParentId() != element->ParentId()) return;
    if (!IsFlowObject(candidate)) return;
    const bool start = IsStartEvent(candidate);
    const bool compensation = IsCompensationActivity(candidate);
    const bool intermediate = IsIntermediateEvent(candidate);
    const bool on_boundary = IsOnActivityBoundary(repository, candidate);
    const bool link = IsLinkIntermediateEvent(candidate);
    const bool exempt = (intermediate && on_boundary) || compensation || start || link;
    if (!exempt && CountIncomingSequenceFlows(candidate) == 0) all_have_incoming = false;
  });
  if (!all_have_incoming)
    ReportViolation(repository, rules::kRule03, messages::kFlowObjectWithoutIncomingFlow,
                    rules::Level::kError);
}

// Beside an End Event there must be a Start Event of the same container: first among the
// placements of the active diagram, then, for an End Event inside an element, among that
// element's nested elements. Neither search stops at the first find.
void CBPMNRules::CheckStartEventBesideEndEvent(const RepositoryRef& repository,
                                               const ElementRef& element) const {
  bool found = false;
  const auto look_at = [&](const ElementRef& candidate) {
    const bool start = IsStartEvent(candidate);
    const bool same_container = candidate->ParentId() == element->ParentId();
    if (start && same_container) found = true;
  };
  ForEachPlacedElement(repository, look_at);
  if (!found && element->ParentId() != 0) {
    const auto nested = repository->ElementById(element->ParentId())->NestedElements();
    for (const auto& candidate : *nested) look_at(candidate);
  }
  if (!found)
    ReportViolation(repository, rules::kRule03, messages::kEndEventWithoutStartEvent, rules::Level::kError);
}
