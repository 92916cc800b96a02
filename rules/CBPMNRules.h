// CBPMNRules: the BPMN rule engine. It registers the rule category and the nine rules with the
// host's validation service, keeps the pairs of local and host rule ids, dispatches a rule run
// to the check of its element or connector kind, and reports every broken constraint through
// one reporting procedure. The checks live in one unit per BPMN kind; the model queries that
// they share live in model_queries.cpp.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "host/objects.h"
#include "platform/component.h"
#include "rules/run_memory.h"

namespace rules {
enum class Level : std::int32_t;  // rule_support.h
}

class CBPMNRules {
 public:
  using RepositoryRef = host::Ref<host::Repository>;
  using ElementRef = host::Ref<host::Element>;
  using ConnectorRef = host::Ref<host::Connector>;

  static const platform::DispatchInterface<CBPMNRules>& Interface();

  void ConfigureCategories(const RepositoryRef& repository);
  void ConfigureRules(const RepositoryRef& repository);
  void RunConnectorRule(const RepositoryRef& repository, std::u16string& rule_id, std::int32_t& connector_id);
  void RunElementRule(const RepositoryRef& repository, std::u16string& rule_id, const ElementRef& element);
  // The host announces a whole validation run, during which the model does not change, and its end.
  void BeginValidationRun(const RepositoryRef& repository);
  void EndValidationRun(const RepositoryRef& repository);

 private:
  // One row of the rule catalogue (CBPMNRules.cpp).
  struct CatalogueRow;
  static std::span<const CatalogueRow> Catalogue();

  // Rule-id mapping.
  std::u16string GetHostRuleID(std::u16string_view local_id) const;
  std::u16string GetLocalRuleID(std::u16string_view host_id) const;
  static std::u16string LookupPairedValue(std::u16string_view key,
                                          const std::vector<std::u16string>& result_list,
                                          const std::vector<std::u16string>& search_list);
  void AddRuleIDPair(const std::u16string& host_id, std::u16string_view local_id);
  // The one reporting procedure: message `message_id` at `level` under local rule `local_rule_id`.
  void ReportViolation(const RepositoryRef& repository, std::u16string_view local_rule_id,
                       std::int32_t message_id, rules::Level level) const;

  // Checks, one per BPMN kind.
  void CheckSequenceFlow(const RepositoryRef& repository, const ConnectorRef& connector);
  void CheckMessageFlow(const RepositoryRef& repository, const ConnectorRef& connector);
  void CheckStartEvent(const RepositoryRef& repository, const ElementRef& element);
  void CheckIntermediateEvent(const RepositoryRef& repository, const ElementRef& element);
  void CheckEndEvent(const RepositoryRef& repository, const ElementRef& element);
  void CheckActivity(const RepositoryRef& repository, const ElementRef& element);
  void CheckGateway(const RepositoryRef& repository, const ElementRef& element);
  void CheckSwimlane(const RepositoryRef& repository, const ElementRef& element);

  // Steps shared by several checks or too long to stay inside one.
  void CheckWebServiceReference(const RepositoryRef& repository, const ElementRef& element) const;
  void CheckStartEventTrigger(const RepositoryRef& repository, const ElementRef& element) const;
  void CheckFlowObjectsHaveIncomingFlow(const RepositoryRef& repository, const ElementRef& element) const;
  void CheckIntermediateTrigger(const RepositoryRef& repository, const ElementRef& element) const;
  void CheckIntermediateOnBoundary(const RepositoryRef& repository, const ElementRef& element) const;
  void CheckEndEventResult(const RepositoryRef& repository, const ElementRef& element) const;
  void CheckStartEventBesideEndEvent(const RepositoryRef& repository, const ElementRef& element) const;
  bool LacksIncomingFlow(const RepositoryRef& repository, const ElementRef& candidate) const;
  void CheckLoopTags(const RepositoryRef& repository, const ElementRef& element) const;
  void CheckSubProcessTags(const RepositoryRef& repository, const ElementRef& element) const;
  void CheckTaskMessageFlows(const RepositoryRef& repository, const ElementRef& element) const;
  void CheckGatewayKind(const RepositoryRef& repository, const ElementRef& element, std::int16_t gates) const;

  // Model queries (model_queries.cpp).
  // The kind tests are defined here, so that the placement scans, which ask them of every placed
  // element, run them without a call.
  static bool HasStereotype(const ElementRef& element, std::u16string_view stereotype) {
    return element->StereotypeName() == stereotype;
  }
  static constexpr std::u16string_view kStartEvent = u"StartEvent";
  static constexpr std::u16string_view kIntermediateEvent = u"IntermediateEvent";
  static constexpr std::u16string_view kEndEvent = u"EndEvent";
  static constexpr std::u16string_view kActivity = u"Activity";
  static constexpr std::u16string_view kGateway = u"Gateway";
  static bool IsStartEvent(const ElementRef& element) { return HasStereotype(element, kStartEvent); }
  static bool IsIntermediateEvent(const ElementRef& element) {
    return HasStereotype(element, kIntermediateEvent);
  }
  static bool IsEndEvent(const ElementRef& element) { return HasStereotype(element, kEndEvent); }
  static bool IsActivity(const ElementRef& element) { return HasStereotype(element, kActivity); }
  static bool IsGateway(const ElementRef& element) { return HasStereotype(element, kGateway); }
  static bool IsPoolOrLane(const ElementRef& element);
  static bool IsFlowObject(const ElementRef& element);
  static bool IsCompensationActivity(const ElementRef& element);
  static bool IsOnActivityBoundary(const RepositoryRef& repository, const ElementRef& element);
  static std::u16string GetTagValue(const ElementRef& element, std::u16string_view tag_name);
  static std::u16string GetConnectorTagValue(const ConnectorRef& connector, std::u16string_view tag_name);
  // The counts and the pool are remembered during an announced run.
  std::int16_t CountIncomingSequenceFlows(const ElementRef& element) const;
  std::int16_t CountOutgoingSequenceFlows(const ElementRef& element) const;
  std::int16_t CountIncomingMessageFlows(const ElementRef& element) const;
  std::int16_t CountOutgoingMessageFlows(const ElementRef& element) const;
  std::int16_t CountFlows(const ElementRef& element, rules::FlowKind kind) const;
  std::int32_t GetPoolID(const RepositoryRef& repository, const ElementRef& element) const;
  static bool IsLinkIntermediateEvent(const ElementRef& element);
  static bool HasAssociatedElementOfType(const RepositoryRef& repository, const ElementRef& element,
                                         std::u16string_view metatype);
  // Walks the elements placed on the active diagram and hands each to `visit`; during an
  // announced run only those in `element`'s container, the only ones its callers look at.
  template <class Visit>
  void ForEachPlacedElement(const RepositoryRef& repository, const ElementRef& element, Visit&& visit) const;
  // The answer to a question about `element`'s container: computed by `compute()` each time,
  // or once per container during an announced run.
  template <class Compute>
  bool ContainerAnswer(const RepositoryRef& repository, rules::ContainerQuestion question,
                       const ElementRef& element, Compute&& compute) const;

  std::u16string category_id_;
  std::vector<std::u16string> host_rule_ids_;
  std::vector<std::u16string> local_rule_ids_;
  // Set from the announcement of a validation run to its end. A pointer, so that the checks,
  // which change nothing of the engine's state, can still remember what they learn.
  std::unique_ptr<rules::RunMemory> run_;
};
