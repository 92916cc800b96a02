// Checks of the connecting objects: which element kinds a Sequence Flow or a Message Flow may
// join, and that a Sequence Flow stays within one pool.
#include "resources/messages.h"
#include "rules/CBPMNRules.h"
#include "rules/rule_support.h"

namespace {

// Allowed end kinds: stereotype names, each followed by ";" and the first preceded by one.
constexpr std::u16string_view kSequenceFlowSources = u";StartEvent;Activity;Gateway;IntermediateEvent;";
constexpr std::u16string_view kSequenceFlowTargets = u";Activity;Gateway;IntermediateEvent;EndEvent;";
constexpr std::u16string_view kMessageFlowSources = u";Pool;Activity;EndEvent;";
constexpr std::u16string_view kMessageFlowTargets = u";StartEvent;Pool;Activity;IntermediateEvent;";

bool IsStereotypeInList(const host::Ref<host::Element>& element, std::u16string_view list) {
  const std::u16string wrapped = u";" + element->StereotypeName() + u";";
  return list.find(wrapped) != std::u16string_view::npos;
}

}  // namespace

// An end event on an activity's boundary may be a source, a start event on one a target.
void CBPMNRules::CheckSequenceFlow(const RepositoryRef& repository, const ConnectorRef& connector) {
  if (connector->StereotypeName() != u"SequenceFlow"sv) return;

  const ElementRef source = repository->ElementById(connector->SourceId());
  if (!IsStereotypeInList(source, kSequenceFlowSources)) {
    const bool end = IsEndEvent(source);
    const bool on_boundary = IsOnActivityBoundary(repository, source);
    if (!(end && on_boundary))
      ReportViolation(repository, rules::kRule01, messages::kSequenceFlowInvalidSource, rules::Level::kError);
  }

  const ElementRef target = repository->ElementById(connector->TargetId());
  if (!IsStereotypeInList(target, kSequenceFlowTargets)) {
    const bool start = IsStartEvent(target);
    const bool on_boundary = IsOnActivityBoundary(repository, target);
    if (!(start && on_boundary))
      ReportViolation(repository, rules::kRule01, messages::kSequenceFlowInvalidTarget, rules::Level::kError);
  }

  if (GetPoolID(repository, source) != GetPoolID(repository, target)) {
    ReportViolation(repository, rules::kRule01, messages::kSequenceFlowCrossesBoundary, rules::Level::kError);
  }
}

void CBPMNRules::CheckMessageFlow(const RepositoryRef& repository, const ConnectorRef& connector) {
  if (connector->StereotypeName() != u"MessageFlow"sv) return;

  const ElementRef source = repository->ElementById(connector->SourceId());
  if (!IsStereotypeInList(source, kMessageFlowSources)) {
    ReportViolation(repository, rules::kRule02, messages::kMessageFlowInvalidSource, rules::Level::kError);
  }

  const ElementRef target = repository->ElementById(connector->TargetId());
  if (!IsStereotypeInList(target, kMessageFlowTargets)) {
    ReportViolation(repository, rules::kRule02, messages::kMessageFlowInvalidTarget, rules::Level::kError);
  }
}
