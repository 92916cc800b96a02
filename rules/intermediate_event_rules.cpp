// Checks of an Intermediate Event: what it may be connected to depends on its Trigger and on
// whether it sits on an activity's boundary or in normal flow. The Trigger's checks come
// first, then those common to all intermediate events, last the web-service reference.
#include <array>

#include "resources/messages.h"
#include "rules/CBPMNRules.h"
#include "rules/rule_support.h"

namespace {

// What one check of a Trigger's row tests.
enum class TriggerTest {
  kOnBoundary,
  kInNormalFlow,
  kIncomingNotOne,            // in normal flow, and not exactly one incoming Sequence Flow
  kOutgoingNotOne,            // in normal flow, and not exactly one outgoing Sequence Flow
  kTagEmpty,                  // `tag` is empty
  kTagEmptyInNormalFlow,      // `tag` is empty; only then is the position asked
  kUnassociatedInNormalFlow,  // no Association to an Activity and `tag` empty; then the position
  kOutgoingOnBoundary,        // an outgoing Sequence Flow (counted first) while on the boundary
};

struct TriggerCheck {
  TriggerTest test;
  const char16_t* tag;
  std::int32_t message;  // 0: no check in this slot
  rules::Level level;
};

struct TriggerRow {
  const char16_t* trigger;
  std::array<TriggerCheck, 3> checks;
};

using enum TriggerTest;
using enum rules::Level;

constexpr std::array<TriggerRow, 9> kTriggerRows{{
    {u"None",
     {{{kOnBoundary, nullptr, messages::kIntermediateNoTriggerOnBoundary, kError},
       {kIncomingNotOne, nullptr, messages::kIntermediateNoTriggerIncomingNotOne, kError}}}},
    {u"Message",
     {{{kTagEmpty, u"Message", messages::kIntermediateMessageUndefined, kWarning},
       {kOutgoingNotOne, nullptr, messages::kIntermediateMessageOutgoingNotOne, kError}}}},
    {u"Timer", {{{kOutgoingNotOne, nullptr, messages::kIntermediateTimerOutgoingNotOne, kError}}}},
    {u"Error",
     {{{kTagEmptyInNormalFlow, u"ErrorCode", messages::kIntermediateErrorCodeUndefined, kWarning},
       {kIncomingNotOne, nullptr, messages::kIntermediateErrorIncomingNotOne, kError}}}},
    {u"Cancel", {{{kInNormalFlow, nullptr, messages::kIntermediateCancelInNormalFlow, kError}}}},
    {u"Compensation",
     {{{kUnassociatedInNormalFlow, u"Activity", messages::kIntermediateCompensationActivityUndefined,
        kWarning},
       {kIncomingNotOne, nullptr, messages::kIntermediateCompensationIncomingNotOne, kError},
       {kOutgoingOnBoundary, nullptr, messages::kIntermediateCompensationWithOutgoingFlow, kError}}}},
    {u"Rule",
     {{{kTagEmpty, u"RuleName", messages::kIntermediateRuleNameUndefined, kWarning},
       {kOutgoingNotOne, nullptr, messages::kIntermediateRuleOutgoingNotOne, kError}}}},
    {u"Link",
     {{{kOnBoundary, nullptr, messages::kIntermediateLinkOnBoundary, kError},
       {kTagEmpty, u"LinkId", messages::kIntermediateLinkIdUndefined, kWarning},
       {kTagEmpty, u"ProcessRef", messages::kIntermediateProcessRefUndefined, kWarning}}}},
    {u"Multiple",
     {{{kInNormalFlow, nullptr, messages::kIntermediateMultipleInNormalFlow, kError},
       {kTagEmpty, u"Triggers", messages::kIntermediateTriggersUndefined, kWarning}}}},
}};

}  // namespace

void CBPMNRules::CheckIntermediateEvent(const RepositoryRef& repository, const ElementRef& element) {
  if (!IsIntermediateEvent(element)) return;

  CheckIntermediateTrigger(repository, element);
  if (IsOnActivityBoundary(repository, element)) CheckIntermediateOnBoundary(repository, element);
  if (CountOutgoingMessageFlows(element) > 0)
    ReportViolation(repository, rules::kRule05, messages::kIntermediateMessageFlowSource,
                    rules::Level::kError);
  CheckWebServiceReference(repository, element);
}

// The checks of the one Trigger value that matches, in the row's order; every question is
// asked afresh.
void CBPMNRules::CheckIntermediateTrigger(const RepositoryRef& repository, const ElementRef& element) const {
  const auto on_boundary = [&] { return IsOnActivityBoundary(repository, element); };
  const auto tag_empty = [&](const char16_t* name) { return GetTagValue(element, name).empty(); };
  // In normal flow and the count not 1: both are asked, the position first.
  const auto not_one_in_normal_flow = [&](rules::FlowKind kind) {
    const bool normal = !on_boundary();
    return CountFlows(element, kind) != 1 && normal;
  };
  const auto broken = [&](const TriggerCheck& check) {
    switch (check.test) {
      case TriggerTest::kOnBoundary:
        return on_boundary();
      case TriggerTest::kInNormalFlow:
        return !on_boundary();
      case TriggerTest::kIncomingNotOne:
        return not_one_in_normal_flow(rules::FlowKind::kIncomingSequence);
      case TriggerTest::kOutgoingNotOne:
        return not_one_in_normal_flow(rules::FlowKind::kOutgoingSequence);
      case TriggerTest::kTagEmpty:
        return tag_empty(check.tag);
      case TriggerTest::kTagEmptyInNormalFlow:
        return tag_empty(check.tag) && !on_boundary();
      case TriggerTest::kUnassociatedInNormalFlow: {
        const bool associated = HasAssociatedElementOfType(repository, element, u"Activity"sv);
        const bool empty = tag_empty(check.tag);
        return !associated && empty && !on_boundary();
      }
      case TriggerTest::kOutgoingOnBoundary: {
        const std::int16_t outgoing = CountOutgoingSequenceFlows(element);
        return on_boundary() && outgoing > 0;
      }
    }
    return false;
  };

  const std::u16string trigger = GetTagValue(element, u"Trigger"sv);
  for (const auto& row : kTriggerRows) {
    if (trigger != row.trigger) continue;
    for (const auto& check : row.checks) {
      if (check.message != 0 && broken(check))
        ReportViolation(repository, rules::kRule05, check.message, check.level);
    }
    return;
  }
}

// On a boundary: no incoming Sequence Flow, and exactly one outgoing unless the event
// compensates (kIntermediateCompensationWithOutgoingFlow covers that case).
void CBPMNRules::CheckIntermediateOnBoundary(const RepositoryRef& repository,
                                             const ElementRef& element) const {
  if (CountIncomingSequenceFlows(element) > 0)
    ReportViolation(repository, rules::kRule05, messages::kIntermediateBoundaryWithIncomingFlow,
                    rules::Level::kError);
  if (GetTagValue(element, u"Trigger"sv) != u"Compensation"sv && CountOutgoingSequenceFlows(element) != 1) {
    ReportViolation(repository, rules::kRule05, messages::kIntermediateBoundaryOutgoingNotOne,
                    rules::Level::kError);
  }
}
