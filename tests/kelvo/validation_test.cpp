// The validation run: registration once, then every element and every connector in model order
// under every rule registered during that call; failed runs recorded, the run going on; reports
// attributed to the object of their run and named from every registration of the session.
#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>

#include "formats/report.h"
#include "kelvo/session.h"
#include "kelvo/validation.h"
#include "platform/loader.h"
#include "support/model_builder.h"

namespace {

using test_support::ModelBuilder;

// An add-in written for the test: registers two rules, reports from element and connector runs,
// and fails where told to. It records each event it receives.
class FakeAddin final : public platform::DispatchObject {
 public:
  std::vector<std::string> events;
  std::int32_t fail_on_element = 0;
  bool fail_registration_after_first_rule = false;

  const platform::InterfaceInfo& Interface() const override {
    static const platform::InterfaceInfo info{"_Fake", {}};
    return info;
  }
  platform::CallResult Invoke(std::u16string_view operation, platform::ArgRefs args) noexcept override {
    return platform::CallGuarded([&]() -> host::Variant {
      auto repository = std::dynamic_pointer_cast<host::Repository>(std::get<std::shared_ptr<host::Object>>(*args[0]));
      if (operation == u"Kelvo_OnInitializeUserRules") {
        events.push_back("init");
        auto service = repository->ValidationService();
        const auto category = service->AddRuleCategory(u"Fake rules");
        rules_.push_back(service->AddRule(category, 0, u"Element rule"));
        if (fail_registration_after_first_rule) throw host::Error(host::ErrorKind::resource, "string 113 missing");
        rules_.push_back(service->AddRule(category, 0, u"Connector rule"));
        return {};
      }
      const auto& rule = std::get<std::u16string>(*args[1]);
      const std::string rule_text = rule == FirstRule() ? "R1" : rule == SecondRule() ? "R2" : "R?";
      if (operation == u"Kelvo_OnRunElementRule") {
        auto element = std::dynamic_pointer_cast<host::Element>(std::get<std::shared_ptr<host::Object>>(*args[2]));
        events.push_back("element " + std::to_string(element->Id()) + " " + rule_text);
        if (element->Id() == fail_on_element) throw host::Error(host::ErrorKind::overflow, "count overflow");
        if (rule == FirstRule() && element->StereotypeName() == u"StartEvent") {
          repository->ValidationService()->ReportViolation(rule, 0, u"start problem");
          repository->ValidationService()->ReportViolation(FirstRuleEver(), 1, u"old id");
        }
        return {};
      }
      if (operation == u"Kelvo_OnRunConnectorRule") {
        const std::int32_t id = std::get<std::int32_t>(*args[2]);
        events.push_back("connector " + std::to_string(id) + " " + rule_text);
        if (rule == SecondRule()) repository->ValidationService()->ReportViolation(rule, 1, u"flow warning");
        return {};
      }
      throw host::Error(host::ErrorKind::host, "unexpected operation");
    });
  }

 private:
  // The ids of the latest registration, and the first id ever returned.
  std::u16string FirstRule() const { return rules_.size() >= 2 ? rules_[rules_.size() - 2] : rules_.empty() ? u"" : rules_.back(); }
  std::u16string SecondRule() const { return rules_.size() >= 2 ? rules_.back() : u""; }
  std::u16string FirstRuleEver() const { return rules_.empty() ? u"" : rules_.front(); }
  std::vector<std::u16string> rules_;
};

class ValidationRun : public testing::Test {
 protected:
  ValidationRun() {
    start_ = builder_.Element(u"StartEvent", u"Begin");
    task_ = builder_.Element(u"Activity", u"Work");
    flow_ = builder_.Connector(start_, task_, u"SequenceFlow");
    builder_.Diagram(u"Main", {start_, task_});
  }
  ModelBuilder builder_;
  std::int32_t start_ = 0, task_ = 0, flow_ = 0;
  FakeAddin addin_;
};

TEST_F(ValidationRun, RegistersOnceThenRunsElementsThenConnectorsUnderEveryRule) {
  kelvo::Session session(builder_.Host());
  const kelvo::ValidationResult result = kelvo::RunValidation(session, addin_);
  EXPECT_EQ(addin_.events, (std::vector<std::string>{"init", "element 10 R1", "element 10 R2", "element 11 R1",
                                                     "element 11 R2", "connector 100 R1", "connector 100 R2"}));
  EXPECT_EQ(result.elements, 2u);
  EXPECT_EQ(result.connectors, 1u);
  ASSERT_TRUE(result.diagram);
  EXPECT_EQ(result.diagram->name, u"Main");
  ASSERT_EQ(result.violations.size(), 3u);
  EXPECT_EQ(result.violations[0].object.kind, kelvo::RunObject::Kind::element);
  EXPECT_EQ(result.violations[0].object.id, start_);
  EXPECT_EQ(result.violations[0].object.type, u"StartEvent");
  EXPECT_EQ(result.violations[0].rule, u"Element rule");
  EXPECT_EQ(result.violations[2].object.kind, kelvo::RunObject::Kind::connector);
  EXPECT_EQ(result.violations[2].object.id, flow_);
  EXPECT_EQ(result.violations[2].rule, u"Connector rule");
  EXPECT_EQ(result.errors(), 1u);
  EXPECT_EQ(result.warnings(), 2u);
  EXPECT_TRUE(result.failures.empty());
  EXPECT_FALSE(result.clean());
}

TEST_F(ValidationRun, ASecondRunRunsOnlyItsOwnRegistrationButNamesReportsUnderEarlierIds) {
  kelvo::Session session(builder_.Host());
  kelvo::RunValidation(session, addin_);
  addin_.events.clear();
  const kelvo::ValidationResult second = kelvo::RunValidation(session, addin_);
  EXPECT_EQ(addin_.events.size(), 7u);  // two rules, not four
  ASSERT_EQ(second.violations.size(), 3u);
  EXPECT_EQ(second.violations[1].message, u"old id");
  EXPECT_EQ(second.violations[1].rule_id, u"{KV-RULE-0001}");
  EXPECT_EQ(second.violations[1].rule, u"Element rule");
  EXPECT_EQ(session.host().registered_rules().size(), 2u);
}

TEST_F(ValidationRun, AFailedRunIsRecordedAndTheRunGoesOn) {
  addin_.fail_on_element = start_;
  kelvo::Session session(builder_.Host());
  const kelvo::ValidationResult result = kelvo::RunValidation(session, addin_);
  EXPECT_EQ(addin_.events.size(), 7u);
  ASSERT_EQ(result.failures.size(), 2u);
  EXPECT_EQ(result.failures[0].object.id, start_);
  EXPECT_EQ(result.failures[0].rule, u"Element rule");
  EXPECT_EQ(result.failures[1].rule, u"Connector rule");
  EXPECT_EQ(result.failures[0].error.kind, host::ErrorKind::overflow);
  EXPECT_EQ(result.errors(), 0u);
  EXPECT_FALSE(result.clean());
}

TEST_F(ValidationRun, AFailedRegistrationKeepsTheRulesRegisteredBeforeIt) {
  addin_.fail_registration_after_first_rule = true;
  kelvo::Session session(builder_.Host());
  const kelvo::ValidationResult result = kelvo::RunValidation(session, addin_);
  ASSERT_FALSE(result.failures.empty());
  EXPECT_EQ(result.failures[0].object.kind, kelvo::RunObject::Kind::none);
  EXPECT_EQ(result.failures[0].error.kind, host::ErrorKind::resource);
  EXPECT_EQ(addin_.events, (std::vector<std::string>{"init", "element 10 R1", "element 11 R1", "connector 100 R1"}));
}

TEST_F(ValidationRun, TracedRunsSeeWrappedObjects) {
  kelvo::Session session(builder_.Host(), kelvo::Interceptor(true, {{"ValidationService.ReportViolation", 2}}));
  const kelvo::ValidationResult result = kelvo::RunValidation(session, addin_);
  // The second report (the old-id one) failed and ended that run.
  ASSERT_EQ(result.failures.size(), 1u);
  EXPECT_EQ(result.failures[0].error.kind, host::ErrorKind::host);
  EXPECT_EQ(result.violations.size(), 2u);
  const auto trace = session.interceptor()->TakeTrace();
  ASSERT_FALSE(trace.empty());
  EXPECT_EQ(trace[0], "Repository.ValidationService()");
}

TEST_F(ValidationRun, ReportJsonCarriesTheSummaryAndObjects) {
  kelvo::Session session(builder_.Host());
  addin_.fail_on_element = task_;
  const kelvo::ValidationResult result = kelvo::RunValidation(session, addin_);
  std::ostringstream out;
  formats::WriteReportJson(out, {{"orders.json", result}});
  const formats::Json report = formats::Json::parse(out.str());
  EXPECT_EQ(report["format"], "orbelt-report/1");
  const auto& model = report["models"][0];
  EXPECT_EQ(model["file"], "orders.json");
  EXPECT_EQ(model["diagram"], (formats::Json{{"id", 1}, {"name", "Main"}}));
  EXPECT_EQ(model["violations"][0],
            (formats::Json{{"object", {{"kind", "element"}, {"id", 10}, {"key", "10"}, {"name", "Begin"}, {"type", "StartEvent"}}},
                         {"rule", "Element rule"},
                         {"level", 0},
                         {"severity", "error"},
                         {"message", "start problem"}}));
  EXPECT_EQ(model["violations"][2]["object"]["kind"], "connector");
  EXPECT_EQ(model["failures"][0]["error"], (formats::Json{{"kind", "overflow"}, {"message", "count overflow"}}));
  EXPECT_EQ(model["failures"][0]["rule"], "Element rule");
  EXPECT_EQ(model["summary"],
            (formats::Json{{"elements", 2}, {"connectors", 1}, {"errors", 1}, {"warnings", 2}, {"failures", 2}}));

  std::ostringstream text;
  formats::WriteReportText(text, {{"orders.json", result}});
  EXPECT_NE(text.str().find("error: element 10 \"Begin\" (StartEvent): start problem [Element rule]"), std::string::npos)
      << text.str();
  EXPECT_NE(text.str().find("2 elements, 1 connector: 1 error, 2 warnings, 2 failures"), std::string::npos) << text.str();
}

// The real add-in module, when the build names it.
TEST(ValidationWithTheAddin, AStartEventWithoutOutgoingFlowIsReported) {
  const char* path = std::getenv("ORBELT_ADDIN");
  if (!path || !*path) GTEST_SKIP() << "ORBELT_ADDIN not set";
  platform::LoadedModule module(path);
  ModelBuilder b;
  const auto start = b.Element(u"StartEvent", u"Lonely");
  b.element(start).key = u"StartEvent_1";
  b.DiagramOfAll();
  auto host = b.Host();
  const kelvo::ValidationResult result = kelvo::ValidateModel(module, host, host->model().diagrams().front()->data().id);
  EXPECT_TRUE(result.failures.empty());
  bool found = false;
  for (const auto& v : result.violations) {
    if (v.object.key == u"StartEvent_1" && v.rule == u"BPMN Start Event constraints") found = true;
  }
  EXPECT_TRUE(found);
  EXPECT_FALSE(result.clean());
}

TEST(ValidationWithTheAddin, WithNoDiagramOpenTheDiagramChecksFail) {
  const char* path = std::getenv("ORBELT_ADDIN");
  if (!path || !*path) GTEST_SKIP() << "ORBELT_ADDIN not set";
  platform::LoadedModule module(path);
  ModelBuilder b;
  b.Element(u"StartEvent", u"Lonely");
  const kelvo::ValidationResult result = kelvo::ValidateModel(module, b.Host(), std::nullopt);
  ASSERT_FALSE(result.failures.empty());
  EXPECT_EQ(result.failures[0].error.kind, host::ErrorKind::null_object);
  EXPECT_FALSE(result.diagram);
}

}  // namespace
