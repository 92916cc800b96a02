// Checks of a Start Event: its Sequence Flows, the tag its Trigger requires, incoming Message
// Flows, and the two diagram-wide constraints that it carries (incoming flows of the flow
// objects beside it, web-service reference).
#include <array>

#include "resources/messages.h"
#include "rules/CBPMNRules.h"
#include "rules/rule_support.h"

namespace {

// The tag each Trigger requires; any other Trigger requires none.
constexpr std::array<rules::RequiredTag, 4> kTriggerTags{{
    {u"Message", u"Message", messages::kStartEventMessageUndefined},
    {u"Rule", u"RuleName", messages::kStartEventRuleNameUndefined},
    {u"Link", u"LinkId", messages::kStartEventLinkIdUndefined},
    {u"Multiple", u"Triggers", messages::kStartEventTriggersUndefined},
}};

}  // namespace

void CBPMNRules::CheckStartEvent(const RepositoryRef& Repository, const ElementRef& Element) {
  if (!IsStartEvent(Element)) return;

  if (CountOutgoingSequenceFlows(Element) == 0)
    ReportViolation(Repository, rules::kRule04, messages::kStartEventWithoutOutgoingFlow,
                    rules::Level::kError);

  // A Start Event on an activity's boundary may have incoming Sequence Flows.
  if (CountIncomingSequenceFlows(Element) > 0 && !IsOnActivityBoundary(Repository, Element)) {
    ReportViolation(Repository, rules::kRule04, messages::kStartEventWithIncomingFlow, rules::Level::kError);
  }

  CheckStartEventTrigger(Repository, Element);

  if (CountIncomingMessageFlows(Element) > 0) {
    const std::u16string trigger = GetTagValue(Element, u"Trigger"sv);
    if (trigger != u"Message"sv && trigger != u"Multiple"sv) {
      ReportViolation(Repository, rules::kRule04, messages::kStartEventMessageFlowTrigger,
                      rules::Level::kWarning);
    }
  }

  CheckFlowObjectsHaveIncomingFlow(Repository, Element);
  CheckWebServiceReference(Repository, Element);
}

// Only the tag of the selected Trigger is read.
void CBPMNRules::CheckStartEventTrigger(const RepositoryRef& Repository, const ElementRef& Element) const {
  const auto* row = rules::FindRequiredTag(kTriggerTags, GetTagValue(Element, u"Trigger"sv));
  if (row && GetTagValue(Element, row->required).empty()) {
    ReportViolation(Repository, rules::kRule04, row->message, rules::Level::kWarning);
  }
}
