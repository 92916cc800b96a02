// The model queries that every check asks: kinds, tag values, flow counts, boundary, pool and
// association tests. Each reads the host model afresh and changes nothing.
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

enum class FlowEnd { kTarget, kSource };

// The one algorithm of the four flow counts: connectors whose chosen end is the element and
// whose stereotype matches, plus, for an activity, the same count of every child, recursively.
std::int16_t CountFlows(const ElementRef& element, FlowEnd end, std::u16string_view stereotype) {
  std::int16_t count = 0;
  const auto connectors = element->ConnectorList();
  for (const auto& connector : *connectors) {
    const std::int32_t end_id = end == FlowEnd::kTarget ? connector->TargetId() : connector->SourceId();
    const bool at_element = end_id == element->Id();
    const bool of_kind = connector->StereotypeName() == stereotype;
    if (at_element && of_kind) count = rules::AddCounts(count, 1);
  }
  if (element->MetaTypeName() == u"Activity"sv) {
    const auto children = element->Children();
    for (const auto& child : *children) count = rules::AddCounts(count, CountFlows(child, end, stereotype));
  }
  return count;
}

}  // namespace

// The metatype is read once for each comparison.
bool CBPMNRules::IsPoolOrLane(const ElementRef& Element) {
  const bool pool = Element->MetaTypeName() == u"Pool"sv;
  const bool lane = Element->MetaTypeName() == u"Lane"sv;
  return pool || lane;
}

// All six questions are always asked, in this order.
bool CBPMNRules::IsFlowObject(const ElementRef& Element) {
  const bool start = IsStartEvent(Element);
  const bool intermediate = IsIntermediateEvent(Element);
  const std::u16string trigger = GetTagValue(Element, u"Trigger"sv);
  const bool end = IsEndEvent(Element);
  const bool activity = IsActivity(Element);
  const bool gateway = IsGateway(Element);
  return start || end || activity || gateway || (intermediate && trigger != u"Compensation"sv);
}

bool CBPMNRules::IsCompensationActivity(const ElementRef& Element) {
  if (!IsActivity(Element)) return false;
  return GetTagValue(Element, u"IsCompensation"sv) == u"true"sv;
}

// An event based on "ObjectNode" whose parent is an activity sits on that activity's boundary.
bool CBPMNRules::IsOnActivityBoundary(const RepositoryRef& Repository, const ElementRef& Element) {
  const bool start = IsStartEvent(Element);
  const bool intermediate = IsIntermediateEvent(Element);
  const bool end = IsEndEvent(Element);
  const bool object_node = Element->BaseType() == u"ObjectNode"sv;
  if (!object_node || !(start || intermediate || end)) return false;
  if (Element->ParentId() <= 0) return false;
  return IsActivity(Repository->ElementById(Element->ParentId()));
}

std::u16string CBPMNRules::GetTagValue(const ElementRef& Element, std::u16string_view tag_name) {
  return LastTagValue(*Element->Tags(), tag_name);
}

std::u16string CBPMNRules::GetConnectorTagValue(const ConnectorRef& Connector, std::u16string_view tag_name) {
  return LastTagValue(*Connector->Tags(), tag_name);
}

std::int16_t CBPMNRules::CountIncomingSequenceFlows(const ElementRef& Element) {
  return CountFlows(Element, FlowEnd::kTarget, u"SequenceFlow"sv);
}

std::int16_t CBPMNRules::CountOutgoingSequenceFlows(const ElementRef& Element) {
  return CountFlows(Element, FlowEnd::kSource, u"SequenceFlow"sv);
}

std::int16_t CBPMNRules::CountIncomingMessageFlows(const ElementRef& Element) {
  return CountFlows(Element, FlowEnd::kTarget, u"MessageFlow"sv);
}

std::int16_t CBPMNRules::CountOutgoingMessageFlows(const ElementRef& Element) {
  return CountFlows(Element, FlowEnd::kSource, u"MessageFlow"sv);
}

// The id of the outermost pool among the element's ancestors (the element itself if it is a
// pool), 0 when none is.
std::int32_t CBPMNRules::GetPoolID(const RepositoryRef& Repository, const ElementRef& Element) {
  if (Element->MetaTypeName() == u"Pool"sv) return Element->Id();
  std::int32_t pool_id = 0;
  ElementRef current = Element;
  while (current->ParentId() != 0) {
    current = Repository->ElementById(current->ParentId());
    if (current->MetaTypeName() == u"Pool"sv) pool_id = current->Id();
  }
  return pool_id;
}

bool CBPMNRules::IsLinkIntermediateEvent(const ElementRef& Element) {
  const bool intermediate = IsIntermediateEvent(Element);
  const std::u16string trigger = GetTagValue(Element, u"Trigger"sv);
  return intermediate && trigger == u"Link"sv;
}

// True when any association of the element leads to an element of the given metatype.
bool CBPMNRules::HasAssociatedElementOfType(const RepositoryRef& Repository, const ElementRef& Element,
                                            std::u16string_view metatype) {
  bool found = false;
  const auto connectors = Element->ConnectorList();
  for (const auto& connector : *connectors) {
    if (connector->StereotypeName() != u"Association"sv) continue;
    const std::int32_t other_id =
        connector->SourceId() == Element->Id() ? connector->TargetId() : connector->SourceId();
    if (Repository->ElementById(other_id)->MetaTypeName() == metatype) found = true;
  }
  return found;
}
