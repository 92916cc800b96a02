// Test harness of the rule engine: a compact builder of host models, and a session that runs
// CBPMNRules against the host stand-in and renders every report as "message/rule/level".
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "kelvo/host.h"
#include "kelvo/interceptor.h"
#include "kelvo/model_data.h"
#include "rules/CBPMNRules.h"
#include "support/model_builder.h"

namespace rules_test {

using Tags = std::vector<kelvo::Tag>;

// Where an element lies and how it is based; placed on the active diagram unless said otherwise.
struct Options {
  std::int32_t parent = 0;
  std::u16string base_type = {};
  std::u16string metatype = {};
  bool placed = true;
  std::int32_t package = test_support::ModelBuilder::kProcessPackage;
};

// The shared builder's model with one more package, kOtherPackage, and its first diagram
// active; elements get the ids the tables give them.
class Model {
 public:
  static constexpr std::int32_t kOtherPackage = 3;

  Model();
  kelvo::ModelData& data() { return builder_.data(); }

  Model& Add(std::int32_t id, std::u16string stereotype, Tags tags = {}, Options options = {});
  Model& Connect(std::int32_t id, std::int32_t source, std::int32_t target,
                 std::u16string stereotype = u"SequenceFlow", Tags tags = {});
  Model& Place(std::int32_t id);
  Model& NoActiveDiagram();

 private:
  test_support::ModelBuilder builder_;
};

// One report as the tests compare it: "127/Rule_03/L0".
std::string Report(std::int32_t message, const std::string& local_rule, std::int32_t level);

// A host session with one CBPMNRules that has registered its category and rules once (unless
// told not to). The add-in sees the host through the stand-in's interceptor, which traces every
// member it uses and fails the calls named by `faults`.
class Session {
 public:
  explicit Session(kelvo::ModelData data, std::vector<kelvo::Fault> faults = {}, bool configure = true);

  kelvo::Host& host() { return *host_; }
  CBPMNRules& rules() { return rules_; }
  // The Repository as the add-in is handed it, and an element fetched through it.
  CBPMNRules::RepositoryRef repository() { return repository_; }
  CBPMNRules::ElementRef Element(std::int32_t id) {
    kelvo::ElementObject* element = host_->model().FindElement(id);
    if (!element) return nullptr;
    return interceptor_.Wrap(kelvo::Unowned<host::Element>(*element));
  }
  // Host members used since the last call.
  std::vector<std::string> TakeTrace() { return interceptor_.TakeTrace(); }
  // Registers the category and the rules once more.
  void Configure();

  // The host id that the first registration returned for a local rule ("Rule_04").
  std::u16string HostId(const std::string& local_rule) const;
  // Runs a rule by its local id, or by a host id as written, and returns the reports of the run.
  std::vector<std::string> RunElement(const std::string& local_rule, std::int32_t element_id);
  std::vector<std::string> RunConnector(const std::string& local_rule, std::int32_t connector_id);
  std::vector<std::string> RunElementById(std::u16string host_id, std::int32_t element_id);
  std::vector<std::string> RunConnectorById(std::u16string host_id, std::int32_t connector_id);
  // Reports made so far, taken from the host.
  std::vector<std::string> TakeReports();

 private:
  std::shared_ptr<kelvo::Host> host_;
  kelvo::Interceptor interceptor_;
  CBPMNRules::RepositoryRef repository_;
  CBPMNRules rules_;
  std::vector<std::u16string> first_ids_;  // host ids of the first registration, Rule_01 first
};

// A row of a rule's table: a model, the reports expected, in order, and the element or
// connector checked (10 for element rules, 100 for connector rules, unless said otherwise).
struct CheckCase {
  std::string name;
  Model model;
  std::vector<std::string> expected;
  std::optional<std::int32_t> object_id = std::nullopt;
  std::string rule = {};  // set by Rows
};

inline std::ostream& operator<<(std::ostream& out, const CheckCase& c) { return out << c.name; }
inline std::string CaseName(const testing::TestParamInfo<CheckCase>& info) { return info.param.name; }

// The rows of the table of `local_rule`, for INSTANTIATE_TEST_SUITE_P(Kind, RuleChecks, ...).
inline auto Rows(const std::string& local_rule, std::vector<CheckCase> rows) {
  for (CheckCase& row : rows) row.rule = local_rule;
  return testing::ValuesIn(std::move(rows));
}

// Runs the row's rule on its object and compares the reports.
class RuleChecks : public testing::TestWithParam<CheckCase> {};

}  // namespace rules_test
