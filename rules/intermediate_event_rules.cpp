// Checks of an Intermediate Event: what it may be connected to depends on its Trigger and on
// whether it sits on an activity's boundary or in normal flow. The Trigger's checks come
// first, then those common to all intermediate events, last the web-service reference.
#include <array>

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
  std::int32_t level;
};

struct TriggerRow {
  const char16_t* trigger;
  std::array<TriggerCheck, 3> checks;
};

using enum TriggerTest;
constexpr std::int32_t k0 = rules::kLevel0;
constexpr std::int32_t k1 = rules::kLevel1;

constexpr std::array<TriggerRow, 9> kTriggerRows{{
    {u"None", {{{kOnBoundary, nullptr, 135, k0}, {kIncomingNotOne, nullptr, 136, k0}}}},
    {u"Message", {{{kTagEmpty, u"Message", 137, k1}, {kOutgoingNotOne, nullptr, 138, k0}}}},
    {u"Timer", {{{kOutgoingNotOne, nullptr, 139, k0}}}},
    {u"Error", {{{kTagEmptyInNormalFlow, u"ErrorCode", 140, k1}, {kIncomingNotOne, nullptr, 141, k0}}}},
    {u"Cancel", {{{kInNormalFlow, nullptr, 142, k0}}}},
    {u"Compensation",
     {{{kUnassociatedInNormalFlow, u"Activity", 144, k1},
       {kIncomingNotOne, nullptr, 145, k0},
       {kOutgoingOnBoundary, nullptr, 146, k0}}}},
    {u"Rule", {{{kTagEmpty, u"RuleName", 148, k1}, {kOutgoingNotOne, nullptr, 149, k0}}}},
    {u"Link",
     {{{kOnBoundary, nullptr, 150, k0},
       {kTagEmpty, u"LinkId", 151, k1},
       {kTagEmpty, u"ProcessRef", 152, k1}}}},
    {u"Multiple", {{{kInNormalFlow, nullptr, 153, k0}, {kTagEmpty, u"Triggers", 154, k1}}}},
}};

}  // namespace

void CBPMNRules::CheckIntermediateEvent(const RepositoryRef& Repository, const ElementRef& Element) {
  if (!IsIntermediateEvent(Element)) return;

  CheckIntermediateTrigger(Repository, Element);
  if (IsOnActivityBoundary(Repository, Element)) CheckIntermediateOnBoundary(Repository, Element);
  if (CountOutgoingMessageFlows(Element) > 0)
    ReportViolation(Repository, rules::kRule05, 157, rules::kLevel0);
  CheckWebServiceReference(Repository, Element);
}

// The checks of the one Trigger value that matches, in the row's order; every question is
// asked afresh.
void CBPMNRules::CheckIntermediateTrigger(const RepositoryRef& Repository, const ElementRef& Element) const {
  const auto on_boundary = [&] { return IsOnActivityBoundary(Repository, Element); };
  const auto tag_empty = [&](const char16_t* name) { return GetTagValue(Element, name).empty(); };
  // In normal flow and the count not 1: both are asked, the position first.
  const auto not_one_in_normal_flow = [&](std::int16_t (*count)(const ElementRef&)) {
    const bool normal = !on_boundary();
    return count(Element) != 1 && normal;
  };
  const auto broken = [&](const TriggerCheck& check) {
    switch (check.test) {
      case TriggerTest::kOnBoundary:
        return on_boundary();
      case TriggerTest::kInNormalFlow:
        return !on_boundary();
      case TriggerTest::kIncomingNotOne:
        return not_one_in_normal_flow(&CountIncomingSequenceFlows);
      case TriggerTest::kOutgoingNotOne:
        return not_one_in_normal_flow(&CountOutgoingSequenceFlows);
      case TriggerTest::kTagEmpty:
        return tag_empty(check.tag);
      case TriggerTest::kTagEmptyInNormalFlow:
        return tag_empty(check.tag) && !on_boundary();
      case TriggerTest::kUnassociatedInNormalFlow: {
        const bool associated = HasAssociatedElementOfType(Repository, Element, u"Activity"sv);
        const bool empty = tag_empty(check.tag);
        return !associated && empty && !on_boundary();
      }
      case TriggerTest::kOutgoingOnBoundary: {
        const std::int16_t outgoing = CountOutgoingSequenceFlows(Element);
        return on_boundary() && outgoing > 0;
      }
    }
    return false;
  };

  const std::u16string trigger = GetTagValue(Element, u"Trigger"sv);
  for (const auto& row : kTriggerRows) {
    if (trigger != row.trigger) continue;
    for (const auto& check : row.checks) {
      if (check.message != 0 && broken(check))
        ReportViolation(Repository, rules::kRule05, check.message, check.level);
    }
    return;
  }
}

// On a boundary: no incoming Sequence Flow, and exactly one outgoing unless the event
// compensates (message 146 covers that case).
void CBPMNRules::CheckIntermediateOnBoundary(const RepositoryRef& Repository,
                                             const ElementRef& Element) const {
  if (CountIncomingSequenceFlows(Element) > 0)
    ReportViolation(Repository, rules::kRule05, 155, rules::kLevel0);
  if (GetTagValue(Element, u"Trigger"sv) != u"Compensation"sv && CountOutgoingSequenceFlows(Element) != 1) {
    ReportViolation(Repository, rules::kRule05, 156, rules::kLevel0);
  }
}
