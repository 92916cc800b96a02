// CBPMNRules: the rule catalogue, the registration of the category and the rules, the mapping
// between local and host rule ids, the dispatch of rule runs and the one reporting procedure.
#include "rules/CBPMNRules.h"

#include <array>

#include "platform/resources.h"
#include "resources/messages.h"
#include "rules/rule_support.h"

namespace {

using rules::kRule01;
using rules::kRule02;
using rules::kRule03;
using rules::kRule04;
using rules::kRule05;
using rules::kRule06;
using rules::kRule07;
using rules::kRule08;
using rules::kRule09;

constexpr std::int32_t kRuleKind = 0;

// Which run event serves a rule; Rule_03 is reported from inside other checks only.
enum class RunKind { kConnector, kElement, kNone };

}  // namespace

struct CBPMNRules::CatalogueRow {
  std::u16string_view local_id;
  std::int32_t name_string;
  RunKind run_kind;
  void (CBPMNRules::*connector_check)(const RepositoryRef&, const ConnectorRef&);
  void (CBPMNRules::*element_check)(const RepositoryRef&, const ElementRef&);
};

// The rule catalogue, in the order of registration.
std::span<const CBPMNRules::CatalogueRow> CBPMNRules::Catalogue() {
  static const std::array<CatalogueRow, 9> kRows{{
      {kRule01, messages::kSequenceFlowConstraints, RunKind::kConnector, &CBPMNRules::CheckSequenceFlow,
       nullptr},
      {kRule02, messages::kMessageFlowConstraints, RunKind::kConnector, &CBPMNRules::CheckMessageFlow,
       nullptr},
      {kRule03, messages::kProcessDiagramConstraints, RunKind::kNone, nullptr, nullptr},
      {kRule04, messages::kStartEventConstraints, RunKind::kElement, nullptr, &CBPMNRules::CheckStartEvent},
      {kRule05, messages::kIntermediateEventConstraints, RunKind::kElement, nullptr,
       &CBPMNRules::CheckIntermediateEvent},
      {kRule06, messages::kEndEventConstraints, RunKind::kElement, nullptr, &CBPMNRules::CheckEndEvent},
      {kRule07, messages::kActivityConstraints, RunKind::kElement, nullptr, &CBPMNRules::CheckActivity},
      {kRule08, messages::kGatewayConstraints, RunKind::kElement, nullptr, &CBPMNRules::CheckGateway},
      {kRule09, messages::kSwimlaneConstraints, RunKind::kElement, nullptr, &CBPMNRules::CheckSwimlane},
  }};
  return kRows;
}

const platform::DispatchInterface<CBPMNRules>& CBPMNRules::Interface() {
  static const platform::DispatchInterface<CBPMNRules> kInterface{
      "_CBPMNRules",
      {
          platform::Lifecycle<CBPMNRules>("Class_Initialize"),
          platform::Lifecycle<CBPMNRules>("Class_Terminate"),
          platform::Op("ConfigureCategories", &CBPMNRules::ConfigureCategories),
          platform::Op("ConfigureRules", &CBPMNRules::ConfigureRules),
          platform::Op("RunConnectorRule", &CBPMNRules::RunConnectorRule),
          platform::Op("RunElementRule", &CBPMNRules::RunElementRule),
          platform::Op("BeginValidationRun", &CBPMNRules::BeginValidationRun),
          platform::Op("EndValidationRun", &CBPMNRules::EndValidationRun),
      }};
  return kInterface;
}

void CBPMNRules::ConfigureCategories(const RepositoryRef& repository) {
  const host::Ref<host::ValidationService> service = repository->ValidationService();
  const std::u16string name = platform::LoadStringResource(messages::kRuleCategoryName);
  category_id_ = service->AddRuleCategory(name);
}

void CBPMNRules::ConfigureRules(const RepositoryRef& repository) {
  const host::Ref<host::ValidationService> service = repository->ValidationService();
  for (const auto& row : Catalogue()) {
    const std::u16string name = platform::LoadStringResource(row.name_string);
    AddRuleIDPair(service->AddRule(category_id_, kRuleKind, name), row.local_id);
  }
}

void CBPMNRules::RunConnectorRule(const RepositoryRef& repository, std::u16string& rule_id,
                                  std::int32_t& connector_id) {
  const ConnectorRef connector = repository->ConnectorById(connector_id);
  if (!connector) return;
  const std::u16string local_id = GetLocalRuleID(rule_id);
  for (const auto& row : Catalogue()) {
    if (row.run_kind == RunKind::kConnector && rules::SameText(local_id, row.local_id)) {
      (this->*row.connector_check)(repository, connector);
      return;
    }
  }
}

void CBPMNRules::RunElementRule(const RepositoryRef& repository, std::u16string& rule_id,
                                const ElementRef& element) {
  if (!element) return;
  const std::u16string local_id = GetLocalRuleID(rule_id);
  for (const auto& row : Catalogue()) {
    if (row.run_kind == RunKind::kElement && rules::SameText(local_id, row.local_id)) {
      (this->*row.element_check)(repository, element);
      return;
    }
  }
}

// A new announcement starts with an empty memory, whatever an unfinished run left.
void CBPMNRules::BeginValidationRun(const RepositoryRef& /*repository*/) {
  run_ = std::make_unique<rules::RunMemory>();
}

void CBPMNRules::EndValidationRun(const RepositoryRef& /*repository*/) { run_.reset(); }

std::u16string CBPMNRules::GetHostRuleID(std::u16string_view local_id) const {
  return LookupPairedValue(local_id, host_rule_ids_, local_rule_ids_);
}

std::u16string CBPMNRules::GetLocalRuleID(std::u16string_view host_id) const {
  return LookupPairedValue(host_id, local_rule_ids_, host_rule_ids_);
}

// Linear scan; the first equal entry wins. The number of entries is a 16-bit collection count.
std::u16string CBPMNRules::LookupPairedValue(std::u16string_view key,
                                             const std::vector<std::u16string>& result_list,
                                             const std::vector<std::u16string>& search_list) {
  const std::int16_t count = rules::ToCount(search_list.size());
  for (std::int16_t i = 0; i < count; ++i) {
    if (rules::SameText(search_list[i], key)) return result_list[i];
  }
  return {};
}

void CBPMNRules::AddRuleIDPair(const std::u16string& host_id, std::u16string_view local_id) {
  host_rule_ids_.push_back(host_id);
  local_rule_ids_.emplace_back(local_id);
}

// The one way a check reports: host id, text, a fresh validation service, the report.
void CBPMNRules::ReportViolation(const RepositoryRef& repository, std::u16string_view local_rule_id,
                                 std::int32_t message_id, rules::Level level) const {
  const std::u16string host_id = GetHostRuleID(local_rule_id);
  const std::u16string text = platform::LoadStringResource(message_id);
  const host::Ref<host::ValidationService> service = repository->ValidationService();
  service->ReportViolation(host_id, static_cast<std::int32_t>(level), text);
}
