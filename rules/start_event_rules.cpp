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

void CBPMNRules::CheckStartEvent(const RepositoryRef& repository, const ElementRef& element) {
  if (!IsStartEvent(element)) return;

  if (CountOutgoingSequenceFlows(element) == 0)
    ReportViolation(repository, rules::kRule04, messages::kStartEventWithoutOutgoingFlow,
                    rules::Level::kError);

  // A Start Event on an activity's boundary may have incoming Sequence Flows.
  if (CountIncomingSequenceFlows(element) > 0 && !IsOnActivityBoundary(repository, element)) {
    ReportViolation(repository, rules::kRule04, messages::kStartEventWithIncomingFlow, rules::Level::kError);
  }

  CheckStartEventTrigger(repository, element);

  if (CountIncomingMessageFlows(element) > 0) {
    const std::u16string trigger = GetTagValue(element, u"Trigger"sv);
    if (trigger != u"Message"sv && trigger != u"Multiple"sv) {
      ReportViolation(repository, rules::kRule04, messages::kStartEventMessageFlowTrigger,
                      rules::Level::kWarning);
    }
  }

  CheckFlowObjectsHaveIncomingFlow(repository, element);
  CheckWebServiceReference(repository, element);
}

// Only the tag of the selected Trigger is read.
void CBPMNRules::CheckStartEventTrigger(const RepositoryRef& repository, const ElementRef& element) const {
  const auto* row = rules::FindRequiredTag(kTriggerTags, GetTagValue(element, u"Trigger"sv));
  if (row && GetTagValue(element, row->required).empty()) {
    ReportViolation(repository, rules::kRule04, row->message, rules::Level::kWarning);
  }
}
