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

void CBPMNRules::CheckEndEvent(const RepositoryRef& Repository, const ElementRef& Element) {
  if (!IsEndEvent(Element)) return;

  CheckEndEventResult(Repository, Element);

  if (CountIncomingSequenceFlows(Element) == 0)
    ReportViolation(Repository, rules::kRule06, messages::kEndEventWithoutIncomingFlow, rules::Level::kError);

  const bool on_boundary = IsOnActivityBoundary(Repository, Element);
  const std::int16_t outgoing = CountOutgoingSequenceFlows(Element);
  if (!on_boundary && outgoing > 0)
    ReportViolation(Repository, rules::kRule06, messages::kEndEventWithOutgoingFlow, rules::Level::kError);

  if (CountIncomingMessageFlows(Element) > 0)
    ReportViolation(Repository, rules::kRule06, messages::kEndEventMessageFlowTarget, rules::Level::kError);

  CheckStartEventBesideEndEvent(Repository, Element);
  CheckWebServiceReference(Repository, Element);
}

void CBPMNRules::CheckEndEventResult(const RepositoryRef& Repository, const ElementRef& Element) const {
  const std::u16string result = GetTagValue(Element, u"Result"sv);
  if (result == u"Cancel"sv) {
    // Inside a transaction: the containing element's IsATransaction is "true"; its kind is
    // not examined.
    const bool in_transaction =
        Element->ParentId() != 0 &&
        GetTagValue(Repository->ElementById(Element->ParentId()), u"IsATransaction"sv) == u"true"sv;
    if (!in_transaction)
      ReportViolation(Repository, rules::kRule06, messages::kEndEventCancelOutsideTransaction,
                      rules::Level::kError);
    return;
  }
  if (result == u"Compensation"sv) {
    if (!HasAssociatedElementOfType(Repository, Element, u"Activity"sv)) {
      ReportViolation(Repository, rules::kRule06, messages::kEndEventCompensationActivityUndefined,
                      rules::Level::kWarning);
    }
    return;
  }
  const auto* row = rules::FindRequiredTag(kResultTags, result);
  if (row && GetTagValue(Element, row->required).empty()) {
    ReportViolation(Repository, rules::kRule06, row->message, rules::Level::kWarning);
  }
}
