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
// Flow. One report however many miss one; every placement is visited.
void CBPMNRules::CheckFlowObjectsHaveIncomingFlow(const RepositoryRef& repository,
                                                  const ElementRef& element) const {
  const bool lacking =
      ContainerAnswer(repository, rules::ContainerQuestion::kFlowObjectLacksIncomingFlow, element, [&] {
        bool any_lacks = false;
        ForEachPlacedElement(repository, element, [&](const ElementRef& candidate) {
          if (candidate->ParentId() != element->ParentId()) return;
          if (LacksIncomingFlow(repository, candidate)) any_lacks = true;
        });
        return any_lacks;
      });
  if (lacking)
    ReportViolation(repository, rules::kRule03, messages::kFlowObjectWithoutIncomingFlow,
                    rules::Level::kError);
}

// A flow object without an incoming Sequence Flow that needs one: start events, compensation
// activities, link events and intermediate events on an activity's boundary do not.
bool CBPMNRules::LacksIncomingFlow(const RepositoryRef& repository, const ElementRef& candidate) const {
  if (!IsFlowObject(candidate)) return false;
  const bool start = IsStartEvent(candidate);
  const bool compensation = IsCompensationActivity(candidate);
  const bool intermediate = IsIntermediateEvent(candidate);
  const bool on_boundary = IsOnActivityBoundary(repository, candidate);
  const bool link = IsLinkIntermediateEvent(candidate);
  const bool exempt = (intermediate && on_boundary) || compensation || start || link;
  return !exempt && CountIncomingSequenceFlows(candidate) == 0;
}

// Beside an End Event there must be a Start Event of the same container: first among the
// placements of the active diagram, then, for an End Event inside an element, among that
// element's nested elements. Neither search stops at the first find.
void CBPMNRules::CheckStartEventBesideEndEvent(const RepositoryRef& repository,
                                               const ElementRef& element) const {
  const bool found = ContainerAnswer(repository, rules::ContainerQuestion::kHasStartEvent, element, [&] {
    bool any_start = false;
    const auto look_at = [&](const ElementRef& candidate) {
      const bool start = IsStartEvent(candidate);
      const bool same_container = candidate->ParentId() == element->ParentId();
      if (start && same_container) any_start = true;
    };
    ForEachPlacedElement(repository, element, look_at);
    if (!any_start && element->ParentId() != 0) {
      const auto nested = repository->ElementById(element->ParentId())->NestedElements();
      for (const auto& candidate : *nested) look_at(candidate);
    }
    return any_start;
  });
  if (!found)
    ReportViolation(repository, rules::kRule03, messages::kEndEventWithoutStartEvent, rules::Level::kError);
}

template <class Visit>
void CBPMNRules::ForEachPlacedElement(const RepositoryRef& repository, const ElementRef& element,
                                      Visit&& visit) const {
  if (run_) {
    run_->ForEachPlacedIn(repository, element->ParentId(), visit);
    return;
  }
  const host::Ref<host::Diagram> diagram = repository->ActiveDiagram();
  for (const auto& placement : diagram->Placements())
    visit(repository->ElementById(placement->PlacedElementId()));
}

template <class Compute>
bool CBPMNRules::ContainerAnswer(const RepositoryRef& repository, rules::ContainerQuestion question,
                                 const ElementRef& element, Compute&& compute) const {
  if (!run_) return compute();
  return run_->Answer(repository, question, element->ParentId(), compute);
}
