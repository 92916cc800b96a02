// Checks of an End Event: what its Result requires, its Sequence and Message Flows, and the two
// diagram-wide constraints that it carries (a Start Event beside it, web-service reference).
#include <array>

#include "resources/messages.h"
#include "rules/CBPMNRules.h"
#include "rules/rule_support.h"

namespace {

// The tag each Result requires; Cancel and Compensation are tested otherwise, the others
// require nothing.
constexpr std::array<rules::RequiredTag, 4> kResultTags{{
    {u"Message", u"Message", messages::kEndEventMessageUndefined},
    {u"Error", u"ErrorCode", messages::kEndEventErrorCodeUndefined},
    {u"Link", u"LinkId", messages::kEndEventLinkIdUndefined},
    {u"Multiple", u"Results", messages::kEndEventResultsUndefined},
}};

}  // namespace

void CBPMNRules::CheckEndEvent(const RepositoryRef& repository, const ElementRef& element) {
  if (!IsEndEvent(element)) return;

  CheckEndEventResult(repository, element);

  if (CountIncomingSequenceFlows(element) == 0)
    ReportViolation(repository, rules::kRule06, messages::kEndEventWithoutIncomingFlow, rules::Level::kError);

  const bool on_boundary = IsOnActivityBoundary(repository, element);
  const std::int16_t outgoing = CountOutgoingSequenceFlows(element);
  if (!on_boundary && outgoing > 0)
    ReportViolation(repository, rules::kRule06, messages::kEndEventWithOutgoingFlow, rules::Level::kError);

  if (CountIncomingMessageFlows(element) > 0)
    ReportViolation(repository, rules::kRule06, messages::kEndEventMessageFlowTarget, rules::Level::kError);

  CheckStartEventBesideEndEvent(repository, element);
  CheckWebServiceReference(repository, element);
}

void CBPMNRules::CheckEndEventResult(const RepositoryRef& repository, const ElementRef& element) const {
  const std::u16string result = GetTagValue(element, u"Result"sv);
  if (result == u"Cancel"sv) {
    // Inside a transaction: the containing element's IsATransaction is "true"; its kind is
    // not examined.
    const bool in_transaction =
        element->ParentId() != 0 &&
        GetTagValue(repository->ElementById(element->ParentId()), u"IsATransaction"sv) == u"true"sv;
    if (!in_transaction)
      ReportViolation(repository, rules::kRule06, messages::kEndEventCancelOutsideTransaction,
                      rules::Level::kError);
    return;
  }
  if (result == u"Compensation"sv) {
    if (!HasAssociatedElementOfType(repository, element, u"Activity"sv)) {
      ReportViolation(repository, rules::kRule06, messages::kEndEventCompensationActivityUndefined,
                      rules::Level::kWarning);
    }
    return;
  }
  const auto* row = rules::FindRequiredTag(kResultTags, result);
  if (row && GetTagValue(element, row->required).empty()) {
    ReportViolation(repository, rules::kRule06, row->message, rules::Level::kWarning);
  }
}
