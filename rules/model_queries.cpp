// The model queries that every check asks: kinds, tag values, flow counts, boundary, pool and
// association tests. Each reads the host model afresh and changes nothing; during an announced
// validation run the flow counts and pools are made once and remembered.
#include <vector>

#include "rules/CBPMNRules.h"
#include "rules/rule_support.h"

namespace {

using ElementRef = host::Ref<host::Element>;

// Last match wins; no match reads as the empty string.
template <class TagCollection>
std::u16string LastTagValue(TagCollection& tags, std::u16string_view tag_name) {
  std::u16string value;
  for (const auto& tag : tags) {
    if (tag->Name() == tag_name) value = tag->Value();
  }
  return value;
}

// The end a flow count looks at, and the stereotype it counts.
bool CountsTarget(rules::FlowKind kind) {
  return kind == rules::FlowKind::kIncomingSequence || kind == rules::FlowKind::kIncomingMessage;
}

std::u16string_view CountedStereotype(rules::FlowKind kind) {
  const bool sequence =
      kind == rules::FlowKind::kIncomingSequence || kind == rules::FlowKind::kOutgoingSequence;
  return sequence ? u"SequenceFlow"sv : u"MessageFlow"sv;
}

// The outermost pool among the element's ancestors during an announced run: walks up only to the
// first ancestor whose answer is remembered, and remembers the answer of every ancestor fetched.
std::int32_t OutermostPoolAbove(const host::Ref<host::Repository>& repository, const ElementRef& element,
                                rules::RunMemory& memory) {
  struct Ancestor {
    std::int32_t id;
    bool pool;
  };
  std::vector<Ancestor> fetched;
  std::int32_t outermost = 0;
  for (std::int32_t parent = element->ParentId(); parent != 0;) {
    if (const auto known = memory.OutermostPool(parent)) {
      outermost = *known;
      break;
    }
    const ElementRef ancestor = repository->ElementById(parent);
    fetched.push_back({parent, ancestor->MetaTypeName() == u"Pool"sv});
    parent = ancestor->ParentId();
  }
  // From the outermost fetched ancestor inwards.
  for (std::size_t i = fetched.size(); i-- > 0;) {
    if (outermost == 0 && fetched[i].pool) outermost = fetched[i].id;
    memory.RememberOutermostPool(fetched[i].id, outermost);
  }
  return outermost;
}

}  // namespace

// The metatype is read once for each comparison.
bool CBPMNRules::IsPoolOrLane(const ElementRef& element) {
  const bool pool = element->MetaTypeName() == u"Pool"sv;
  const bool lane = element->MetaTypeName() == u"Lane"sv;
  return pool || lane;
}

// All six questions are always asked, in this order.
bool CBPMNRules::IsFlowObject(const ElementRef& element) {
  const bool start = IsStartEvent(element);
  const bool intermediate = IsIntermediateEvent(element);
  const std::u16string trigger = GetTagValue(element, u"Trigger"sv);
  const bool end = IsEndEvent(element);
  const bool activity = IsActivity(element);
  const bool gateway = IsGateway(element);
  return start || end || activity || gateway || (intermediate && trigger != u"Compensation"sv);
}

bool CBPMNRules::IsCompensationActivity(const ElementRef& element) {
  if (!IsActivity(element)) return false;
  return GetTagValue(element, u"IsCompensation"sv) == u"true"sv;
}

// An event based on "ObjectNode" whose parent is an activity sits on that activity's boundary.
bool CBPMNRules::IsOnActivityBoundary(const RepositoryRef& repository, const ElementRef& element) {
  const bool start = IsStartEvent(element);
  const bool intermediate = IsIntermediateEvent(element);
  const bool end = IsEndEvent(element);
  const bool object_node = element->BaseType() == u"ObjectNode"sv;
  if (!object_node || !(start || intermediate || end)) return false;
  if (element->ParentId() <= 0) return false;
  return IsActivity(repository->ElementById(element->ParentId()));
}

std::u16string CBPMNRules::GetTagValue(const ElementRef& element, std::u16string_view tag_name) {
  return LastTagValue(*element->Tags(), tag_name);
}

std::u16string CBPMNRules::GetConnectorTagValue(const ConnectorRef& connector, std::u16string_view tag_name) {
  return LastTagValue(*connector->Tags(), tag_name);
}

std::int16_t CBPMNRules::CountIncomingSequenceFlows(const ElementRef& element) const {
  return CountFlows(element, rules::FlowKind::kIncomingSequence);
}

std::int16_t CBPMNRules::CountOutgoingSequenceFlows(const ElementRef& element) const {
  return CountFlows(element, rules::FlowKind::kOutgoingSequence);
}

std::int16_t CBPMNRules::CountIncomingMessageFlows(const ElementRef& element) const {
  return CountFlows(element, rules::FlowKind::kIncomingMessage);
}

std::int16_t CBPMNRules::CountOutgoingMessageFlows(const ElementRef& element) const {
  return CountFlows(element, rules::FlowKind::kOutgoingMessage);
}

// The one algorithm of the four flow counts: connectors whose chosen end is the element and
// whose stereotype matches, plus, for an activity, the same count of every child, recursively.
// During an announced run each element's count is made once.
std::int16_t CBPMNRules::CountFlows(const ElementRef& element, rules::FlowKind kind) const {
  std::int32_t remembered_as = 0;
  if (run_) {
    remembered_as = element->Id();
    if (const auto known = run_->FlowCount(remembered_as, kind)) return *known;
  }
  const std::u16string_view stereotype = CountedStereotype(kind);
  std::int16_t count = 0;
  const auto connectors = element->ConnectorList();
  for (const auto& connector : *connectors) {
    const std::int32_t end_id = CountsTarget(kind) ? connector->TargetId() : connector->SourceId();
    const bool at_element = end_id == element->Id();
    const bool of_kind = connector->StereotypeName() == stereotype;
    if (at_element && of_kind) count = rules::AddCounts(count, 1);
  }
  if (element->MetaTypeName() == u"Activity"sv) {
    const auto children = element->Children();
    for (const auto& child : *children) count = rules::AddCounts(count, CountFlows(child, kind));
  }
  if (run_) run_->RememberFlowCount(remembered_as, kind, count);
  return count;
}

// The id of the outermost pool among the element's ancestors (the element itself if it is a
// pool), 0 when none is.
std::int32_t CBPMNRules::GetPoolID(const RepositoryRef& repository, const ElementRef& element) const {
  if (element->MetaTypeName() == u"Pool"sv) return element->Id();
  if (run_) return OutermostPoolAbove(repository, element, *run_);
  std::int32_t pool_id = 0;
  ElementRef current = element;
  while (current->ParentId() != 0) {
    current = repository->ElementById(current->ParentId());
    if (current->MetaTypeName() == u"Pool"sv) pool_id = current->Id();
  }
  return pool_id;
}

bool CBPMNRules::IsLinkIntermediateEvent(const ElementRef& element) {
  const bool intermediate = IsIntermediateEvent(element);
  const std::u16string trigger = GetTagValue(element, u"Trigger"sv);
  return intermediate && trigger == u"Link"sv;
}

// True when any association of the element leads to an element of the given metatype.
bool CBPMNRules::HasAssociatedElementOfType(const RepositoryRef& repository, const ElementRef& element,
                                            std::u16string_view metatype) {
  bool found = false;
  const auto connectors = element->ConnectorList();
  for (const auto& connector : *connectors) {
    if (connector->StereotypeName() != u"Association"sv) continue;
    const std::int32_t other_id =
        connector->SourceId() == element->Id() ? connector->TargetId() : connector->SourceId();
    if (repository->ElementById(other_id)->MetaTypeName() == metatype) found = true;
  }
  return found;
}
