// CBPMNRules: the BPMN rule engine. It registers the rule category and the nine rules with the
// host's validation service, keeps the pairs of local and host rule ids, dispatches a rule run
// to the check of its element or connector kind, and reports every broken constraint through
// one reporting procedure. The checks live in one unit per BPMN kind; the model queries that
// they share live in model_queries.cpp.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/objects.h"
#include "platform/component.h"

namespace rules {
enum class Level : std::int32_t;  // rule_support.h
}

class CBPMNRules {
 public:
  using RepositoryRef = host::Ref<host::Repository>;
  using ElementRef = host::Ref<host::Element>;
  using ConnectorRef = host::Ref<host::Connector>;

  static const platform::DispatchInterface<CBPMNRules>& Interface();

  void ConfigureCategories(const RepositoryRef& Repository);
  void ConfigureRules(const RepositoryRef& Repository);
  void RunConnectorRule(const RepositoryRef& Repository, std::u16string& sRuleID, std::int32_t& lConnectorID);
  void RunElementRule(const RepositoryRef& Repository, std::u16string& sRuleID, const ElementRef& Element);

 private:
  // One row of the rule catalogue (CBPMNRules.cpp).
  struct CatalogueRow;
  static std::span<const CatalogueRow> Catalogue();

  // Rule-id mapping.
  std::u16string GetHostRuleID(const std::u16string& local_id) const;
  std::u16string GetLocalRuleID(const std::u16string& host_id) const;
  static std::u16string LookupPairedValue(const std::u16string& key,
                                          const std::vector<std::u16string>& result_list,
                                          const std::vector<std::u16string>& search_list);
  void AddRuleIDPair(const std::u16string& host_id, const std::u16string& local_id);
  // The one reporting procedure: message `message_id` at `level` under local rule `local_rule_id`.
  void ReportViolation(const RepositoryRef& Repository, const char16_t* local_rule_id,
                       std::int32_t message_id, rules::Level level) const;

  // Checks, one per BPMN kind.
  void CheckSequenceFlow(const RepositoryRef& Repository, const ConnectorRef& Connector);
  void CheckMessageFlow(const RepositoryRef& Repository, const ConnectorRef& Connector);
  void CheckStartEvent(const RepositoryRef& Repository, const ElementRef& Element);
  void CheckIntermediateEvent(const RepositoryRef& Repository, const ElementRef& Element);
  void CheckEndEvent(const RepositoryRef& Repository, const ElementRef& Element);
  void CheckActivity(const RepositoryRef& Repository, const ElementRef& Element);
  void CheckGateway(const RepositoryRef& Repository, const ElementRef& Element);
  void CheckSwimlane(const RepositoryRef& Repository, const ElementRef& Element);

  // Steps shared by several checks or too long to stay inside one.
  void CheckWebServiceReference(const RepositoryRef& Repository, const ElementRef& Element) const;
  void CheckStartEventTrigger(const RepositoryRef& Repository, const ElementRef& Element) const;
  void CheckFlowObjectsHaveIncomingFlow(const RepositoryRef& Repository, const ElementRef& Element) const;
  void CheckIntermediateTrigger(const RepositoryRef& Repository, const ElementRef& Element) const;
  void CheckIntermediateOnBoundary(const RepositoryRef& Repository, const ElementRef& Element) const;
  void CheckEndEventResult(const RepositoryRef& Repository, const ElementRef& Element) const;
  void CheckStartEventBesideEndEvent(const RepositoryRef& Repository, const ElementRef& Element) const;
  void CheckLoopTags(const RepositoryRef& Repository, const ElementRef& Element) const;
  void CheckSubProcessTags(const RepositoryRef& Repository, const ElementRef& Element) const;
  void CheckTaskMessageFlows(const RepositoryRef& Repository, const ElementRef& Element) const;
  void CheckGatewayKind(const RepositoryRef& Repository, const ElementRef& Element, std::int16_t gates) const;

  // Model queries (model_queries.cpp).
  // The kind tests are defined here, so that the placement scans, which ask them of every placed
  // element, run them without a call.
  static bool HasStereotype(const ElementRef& Element, std::u16string_view stereotype) {
    return Element->StereotypeName() == stereotype;
  }
  static constexpr std::u16string_view kStartEvent = u"StartEvent";
  static constexpr std::u16string_view kIntermediateEvent = u"IntermediateEvent";
  static constexpr std::u16string_view kEndEvent = u"EndEvent";
  static constexpr std::u16string_view kActivity = u"Activity";
  static constexpr std::u16string_view kGateway = u"Gateway";
  static bool IsStartEvent(const ElementRef& Element) { return HasStereotype(Element, kStartEvent); }
  static bool IsIntermediateEvent(const ElementRef& Element) {
    return HasStereotype(Element, kIntermediateEvent);
  }
  static bool IsEndEvent(const ElementRef& Element) { return HasStereotype(Element, kEndEvent); }
  static bool IsActivity(const ElementRef& Element) { return HasStereotype(Element, kActivity); }
  static bool IsGateway(const ElementRef& Element) { return HasStereotype(Element, kGateway); }
  static bool IsPoolOrLane(const ElementRef& Element);
  static bool IsFlowObject(const ElementRef& Element);
  static bool IsCompensationActivity(const ElementRef& Element);
  static bool IsOnActivityBoundary(const RepositoryRef& Repository, const ElementRef& Element);
  static std::u16string GetTagValue(const ElementRef& Element, std::u16string_view tag_name);
  static std::u16string GetConnectorTagValue(const ConnectorRef& Connector, std::u16string_view tag_name);
  static std::int16_t CountIncomingSequenceFlows(const ElementRef& Element);
  static std::int16_t CountOutgoingSequenceFlows(const ElementRef& Element);
  static std::int16_t CountIncomingMessageFlows(const ElementRef& Element);
  static std::int16_t CountOutgoingMessageFlows(const ElementRef& Element);
  static std::int32_t GetPoolID(const RepositoryRef& Repository, const ElementRef& Element);
  static bool IsLinkIntermediateEvent(const ElementRef& Element);
  static bool HasAssociatedElementOfType(const RepositoryRef& Repository, const ElementRef& Element,
                                         std::u16string_view metatype);
  // Walks the placements of the active diagram and hands each placed element to `visit`. A
  // template, so that the visit of the start and end event scans runs without an indirect call.
  template <class Visit>
  static void ForEachPlacedElement(const RepositoryRef& Repository, Visit&& visit) {
    const host::Ref<host::Diagram> diagram = Repository->ActiveDiagram();
    for (const auto& placement : diagram->Placements())
      visit(Repository->ElementById(placement->PlacedElementId()));
  }

  std::u16string CategoryID;
  std::vector<std::u16string> HostRuleIDs;
  std::vector<std::u16string> LocalRuleIDs;
};
