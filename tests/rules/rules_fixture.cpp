#include "rules_fixture.h"

#include <gtest/gtest.h>

#include <map>

#include "platform/resources.h"
#include "platform/text.h"

namespace rules_test {

namespace {

// Message text -> string id, over the module's string table.
const std::map<std::u16string, std::int32_t>& MessageIds() {
  static const std::map<std::u16string, std::int32_t> ids = [] {
    std::map<std::u16string, std::int32_t> m;
    for (std::int32_t id = 121; id <= 221; ++id) {
      try {
        m.emplace(platform::LoadStringResource(id), id);
      } catch (const host::Error&) {
        // Not every id in the range is used.
      }
    }
    return m;
  }();
  return ids;
}

}  // namespace

Model::Model() {
  builder_.Package(u"Other");
  builder_.Diagram(u"Process");
}

Model& Model::Add(std::int32_t id, std::u16string stereotype, Tags tags, Options options) {
  kelvo::ElementData element;
  element.id = id;
  element.package = options.package;
  element.parent = options.parent;
  element.stereotype = std::move(stereotype);
  element.metatype = options.metatype;
  element.base_type = options.base_type;
  element.tags = std::move(tags);
  data().elements.push_back(std::move(element));
  if (options.placed) Place(id);
  return *this;
}

Model& Model::Connect(std::int32_t id, std::int32_t source, std::int32_t target, std::u16string stereotype,
                      Tags tags) {
  kelvo::ConnectorData connector;
  connector.id = id;
  connector.source = source;
  connector.target = target;
  connector.stereotype = std::move(stereotype);
  connector.tags = std::move(tags);
  data().connectors.push_back(std::move(connector));
  return *this;
}

Model& Model::Place(std::int32_t id) {
  data().diagrams.front().placements.push_back(id);
  return *this;
}

Model& Model::NoActiveDiagram() {
  data().active_diagram.reset();
  return *this;
}

std::string Report(std::int32_t message, const std::string& local_rule, std::int32_t level) {
  return std::to_string(message) + "/" + local_rule + "/L" + std::to_string(level);
}

Session::Session(kelvo::ModelData data, std::vector<kelvo::Fault> faults, bool configure)
    : host_(kelvo::Host::Create(std::move(data))),
      interceptor_(true, std::move(faults)),
      repository_(interceptor_.Wrap(std::shared_ptr<host::Repository>(host_))) {
  if (configure) Configure();
}

void Session::Configure() {
  rules_.ConfigureCategories(repository());
  rules_.ConfigureRules(repository());
  if (first_ids_.empty()) {
    for (const auto& registration : host_->registered_rules()) first_ids_.push_back(registration.id);
  }
  TakeTrace();
}

std::u16string Session::HostId(const std::string& local_rule) const {
  const std::size_t index = static_cast<std::size_t>(std::stoi(local_rule.substr(5)) - 1);
  return index < first_ids_.size() ? first_ids_[index] : u"";
}

std::vector<std::string> Session::RunElement(const std::string& local_rule, std::int32_t element_id) {
  return RunElementById(HostId(local_rule), element_id);
}

std::vector<std::string> Session::RunConnector(const std::string& local_rule, std::int32_t connector_id) {
  return RunConnectorById(HostId(local_rule), connector_id);
}

std::vector<std::string> Session::RunElementById(std::u16string host_id, std::int32_t element_id) {
  host_->BeginRun(kelvo::RunObject::Element(element_id));
  rules_.RunElementRule(repository(), host_id, Element(element_id));
  host_->EndRun();
  return TakeReports();
}

std::vector<std::string> Session::RunConnectorById(std::u16string host_id, std::int32_t connector_id) {
  host_->BeginRun(kelvo::RunObject::Connector(connector_id));
  rules_.RunConnectorRule(repository(), host_id, connector_id);
  host_->EndRun();
  return TakeReports();
}

// Renders each report with the local rule whose first registration returned its host id.
std::vector<std::string> Session::TakeReports() {
  std::vector<std::string> reports;
  for (const auto& violation : host_->TakeViolations()) {
    const auto text = MessageIds().find(violation.message);
    const std::int32_t message = text == MessageIds().end() ? -1 : text->second;
    std::string rule = "?" + platform::ToUtf8(violation.rule_id);
    for (std::size_t i = 0; i < first_ids_.size(); ++i) {
      if (first_ids_[i] == violation.rule_id) rule = "Rule_0" + std::to_string(i + 1);
    }
    reports.push_back(Report(message, rule, violation.level));
  }
  return reports;
}

TEST_P(RuleChecks, ReportsInOrder) {
  const CheckCase& row = GetParam();
  Session session(Model(row.model).data());
  const bool connector_rule = row.rule == "Rule_01" || row.rule == "Rule_02";
  EXPECT_EQ(connector_rule ? session.RunConnector(row.rule, row.object_id.value_or(100))
                           : session.RunElement(row.rule, row.object_id.value_or(10)),
            row.expected);
}

}  // namespace rules_test
