// Checks of Pools and Lanes: a Pool names its Participant; a Lane lies directly inside a Pool
// or Lane, or names its parent pool or lane in its tags.
#include "rules/CBPMNRules.h"
#include "rules/rule_support.h"

void CBPMNRules::CheckSwimlane(const RepositoryRef& Repository, const ElementRef& Element) {
  if (!IsPoolOrLane(Element)) return;

  const std::u16string metatype = Element->MetaTypeName();
  if (metatype == u"Pool") {
    if (GetTagValue(Element, u"Participant").empty())
      ReportViolation(Repository, rules::kRule09, 209, rules::kLevel1);
    return;
  }
  if (metatype != u"Lane") return;

  // Only the direct parent counts; its metatype is read once for each comparison.
  if (Element->ParentId() != 0) {
    const ElementRef parent = Repository->ElementById(Element->ParentId());
    const bool in_lane = parent->MetaTypeName() == u"Lane";
    const bool in_pool = parent->MetaTypeName() == u"Pool";
    if (in_lane || in_pool) return;
  }
  const bool no_parent_pool = GetTagValue(Element, u"ParentPool").empty();
  const bool no_parent_lane = GetTagValue(Element, u"ParentLane").empty();
  if (no_parent_pool && no_parent_lane) ReportViolation(Repository, rules::kRule09, 210, rules::kLevel0);
}
