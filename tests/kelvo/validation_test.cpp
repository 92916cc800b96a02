// The validation run: registration once, then every element and every connector in model order
// under every rule registered during that call; failed runs recorded, the run going on; reports
// attributed to the object of their run and named from every registration of the session.
#include "kelvo/validation.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "kelvo/session.h"
#include "platform/loader.h"
#include "platform/text.h"
#include "support/addin_path.h"
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
  platform::InterfaceInfo interface {
    "_Fake", {}
  };  // lists the operations an announcement needs

  const platform::InterfaceInfo& Interface() const override { return interface; }
  platform::CallResult Invoke(std::u16string_view operation, platform::ArgRefs args) noexcept override {
    return platform::CallGuarded([&]() -> host::Variant {
      auto repository =
          std::dynamic_pointer_cast<host::Repository>(std::get<std::shared_ptr<host::Object>>(*args[0]));
      if (operation == u"Kelvo_OnStartValidation" || operation == u"Kelvo_OnEndValidation") {
        events.push_back(operation == u"Kelvo_OnStartValidation" ? "start" : "end");
        return {};
      }
      if (operation == u"Kelvo_OnInitializeUserRules") {
        events.push_back("init");
        rules_.clear();
        auto service = repository->ValidationService();
        const auto category = service->AddRuleCategory(u"Fake rules");
        rules_.push_back(service->AddRule(category, 0, u"Element rule"));
        if (first_ever_.empty()) first_ever_ = rules_.front();
        if (fail_registration_after_first_rule)
          throw host::Error(host::ErrorKind::kResource, "string 113 missing");
        rules_.push_back(service->AddRule(category, 0, u"Connector rule"));
        return {};
      }
      const auto& rule = std::get<std::u16string>(*args[1]);
      const std::string rule_text = rule == rules_[0] ? " R1" : " R2";
      if (operation == u"Kelvo_OnRunElementRule") {
        auto element =
            std::dynamic_pointer_cast<host::Element>(std::get<std::shared_ptr<host::Object>>(*args[2]));
        events.push_back("element " + std::to_string(element->Id()) + rule_text);
        if (element->Id() == fail_on_element) throw host::Error(host::ErrorKind::kOverflow, "count overflow");
        if (rule == rules_[0] && element->StereotypeName() == u"StartEvent") {
          repository->ValidationService()->ReportViolation(rule, 0, u"start problem");
          repository->ValidationService()->ReportViolation(first_ever_, 1, u"old id");
        }
        return {};
      }
      events.push_back("connector " + std::to_string(std::get<std::int32_t>(*args[2])) + rule_text);
      if (rule != rules_[0]) repository->ValidationService()->ReportViolation(rule, 1, u"flow warning");
      return {};
    });
  }

 private:
  std::vector<std::u16string> rules_;  // of the latest registration
  std::u16string first_ever_;
};

// "KIND ID TYPE [RULE] TAIL": one line per violation (tail: level and message) and failure
// (tail: error kind).
std::string Line(const kelvo::ObjectInfo& o, const std::optional<std::u16string>& rule,
                 const std::string& tail) {
  using Kind = kelvo::RunObject::Kind;
  const char* kind = o.kind == Kind::kNone ? "none" : o.kind == Kind::kElement ? "element" : "connector";
  return std::string(kind) + " " + std::to_string(o.id) + " " + platform::ToUtf8(o.type) + " [" +
         platform::ToUtf8(rule.value_or(u"?")) + "] " + tail;
}
std::vector<std::string> Lines(const kelvo::ValidationResult& result) {
  std::vector<std::string> lines;
  for (const auto& v : result.violations) {
    lines.push_back(Line(v.object, v.rule, std::to_string(v.level) + " " + platform::ToUtf8(v.message)));
  }
  for (const auto& f : result.failures)
    lines.push_back(Line(f.object, f.rule, std::string(host::ToString(f.error.kind))));
  return lines;
}

class ValidationRun : public testing::Test {
 protected:
  ValidationRun() {
    const auto start = builder_.Element(u"StartEvent", u"Begin");
    const auto task = builder_.Element(u"Activity", u"Work");
    builder_.Connector(start, task, u"SequenceFlow");
    builder_.Diagram(u"Main", {start, task});
  }
  ModelBuilder builder_;
  FakeAddin addin_;
};

TEST_F(ValidationRun, RegistersOnceThenRunsElementsThenConnectorsUnderEveryRule) {
  kelvo::Session session(builder_.Host());
  const kelvo::ValidationResult result = kelvo::RunValidation(session, addin_);
  EXPECT_EQ(addin_.events,
            (std::vector<std::string>{"init", "element 10 R1", "element 10 R2", "element 11 R1",
                                      "element 11 R2", "connector 100 R1", "connector 100 R2"}));
  EXPECT_EQ(Lines(result),
            (std::vector<std::string>{"element 10 StartEvent [Element rule] 0 start problem",
                                      "element 10 StartEvent [Element rule] 1 old id",
                                      "connector 100 SequenceFlow [Connector rule] 1 flow warning"}));

  // A second run of the session registers nothing and runs the same rules.
  addin_.events.clear();
  const kelvo::ValidationResult second = kelvo::RunValidation(session, addin_);
  EXPECT_EQ(addin_.events.size(), 6u);
  EXPECT_EQ(Lines(second), Lines(result));
  EXPECT_EQ(session.host().registered_rules().size(), 2u);
}

// An add-in that takes the announcements hears of the run before the registration and after the
// last rule run, unless the host is one that does not announce.
TEST_F(ValidationRun, IsAnnouncedToAnAddinThatTakesIt) {
  addin_.interface.operations = {"Kelvo_OnStartValidation", "Kelvo_OnEndValidation"};
  kelvo::Session session(builder_.Host());
  kelvo::RunValidation(session, addin_);
  EXPECT_EQ(addin_.events.front() + " " + addin_.events[1] + " " + addin_.events.back(), "start init end");
  addin_.events.clear();
  session.host().options().announce_validation = false;
  kelvo::RunValidation(session, addin_);
  EXPECT_EQ(addin_.events.front(), "element 10 R1");
}

// The add-in's rule-id lists are 16-bit collections and grow with every initialization: a
// session that initialized the user rules before each run failed every rule run from the
// 3,641st run on.
TEST_F(ValidationRun, ALongSessionRegistersTheUserRulesOnce) {
  const platform::LoadedModule module(test_support::AddinPath());
  kelvo::Session session(builder_.Host());
  const auto addin = module.CreateObject(kelvo::kAddinProgId);
  kelvo::ValidationResult last;
  for (int run = 0; run < 3'700; ++run) last = kelvo::RunValidation(session, *addin);
  EXPECT_TRUE(last.failures.empty());
}

TEST_F(ValidationRun, FailedRunsAreRecordedAndTheRunGoesOn) {
  addin_.fail_on_element = 10;
  kelvo::Session session(builder_.Host());
  const kelvo::ValidationResult result = kelvo::RunValidation(session, addin_);
  EXPECT_EQ(addin_.events.size(), 7u);
  EXPECT_EQ(Lines(result),
            (std::vector<std::string>{"connector 100 SequenceFlow [Connector rule] 1 flow warning",
                                      "element 10 StartEvent [Element rule] overflow",
                                      "element 10 StartEvent [Connector rule] overflow"}));
  EXPECT_EQ(result.errors(), 0u);
  EXPECT_FALSE(result.clean());
}

TEST_F(ValidationRun, AFailedRegistrationKeepsTheRulesRegisteredBeforeIt) {
  addin_.fail_registration_after_first_rule = true;
  kelvo::Session session(builder_.Host());
  const kelvo::ValidationResult result = kelvo::RunValidation(session, addin_);
  ASSERT_FALSE(result.failures.empty());
  EXPECT_EQ(Lines(result).back(), "none 0  [?] resource");
  EXPECT_EQ(addin_.events,
            (std::vector<std::string>{"init", "element 10 R1", "element 11 R1", "connector 100 R1"}));
}

}  // namespace
