// Checks of Pools and Lanes: a Pool names its Participant; a Lane lies directly inside a Pool
// or Lane, or names its parent pool or lane in its tags.
#include "resources/messages.h"
#include "rules/CBPMNRules.h"
#include "rules/rule_support.h"

void CBPMNRules::CheckSwimlane(const RepositoryRef& repository, const ElementRef& element) {
  if (!IsPoolOrLane(element)) return;

  const std::u16string metatype = element->MetaTypeName();
  if (metatype == u"Pool"sv) {
    if (GetTagValue(element, u"Participant"sv).empty())
      ReportViolation(repository, rules::kRule09, messages::kPoolParticipantUndefined,
                      rules::Level::kWarning);
    return;
  }
  if (metatype != u"Lane"sv) return;

  // Only the direct parent counts; its metatype is read once for each comparison.
  if (element->ParentId() != 0) {
    const ElementRef parent = repository->ElementById(element->ParentId());
    const bool in_lane = parent->MetaTypeName() == u"Lane"sv;
    const bool in_pool = parent->MetaTypeName() == u"Pool"sv;
    if (in_lane || in_pool) return;
  }
  const bool no_parent_pool = GetTagValue(element, u"ParentPool"sv).empty();
  const bool no_parent_lane = GetTagValue(element, u"ParentLane"sv).empty();
  if (no_parent_pool && no_parent_lane)
    ReportViolation(repository, rules::kRule09, messages::kLaneOutsidePool, rules::Level::kError);
}
