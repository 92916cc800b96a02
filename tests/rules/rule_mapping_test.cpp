// Registration, the mapping between host and local rule ids, and the dispatch of runs: which
// runs reach a check, first matches, repeated and broken-off initializations, calls by name,
// and the 16-bit limits of the counts the add-in keeps.
#include <functional>

#include "platform/resources.h"
#include "platform/text.h"
#include "rules_fixture.h"

namespace rules_test {
namespace {

using Lines = std::vector<std::string>;

// A start event with a Sequence Flow to itself: Rule_04 reports 129 for it, Rule_01 reports
// 122 for the flow.
Model SelfLoop() { return Model().Add(10, u"StartEvent").Connect(100, 10, 10); }

struct RunCase {
  std::string name;
  bool connector;          // run through RunConnectorRule on flow 100, else RunElementRule on 10
  std::string local_rule;  // the host id of this local rule's registration ...
  std::u16string literal;  // ... or this id as written, when local_rule is empty
  Lines expected;
};
std::ostream& operator<<(std::ostream& out, const RunCase& c) { return out << c.name; }

class RuleDispatch : public testing::TestWithParam<RunCase> {};

TEST_P(RuleDispatch, ReachesOnlyTheChecksOfItsRunKind) {
  const RunCase& row = GetParam();
  Model model = SelfLoop();
  Session session(model.data());
  const std::u16string id = row.local_rule.empty() ? row.literal : session.HostId(row.local_rule);
  EXPECT_EQ(row.connector ? session.RunConnectorById(id, 100) : session.RunElementById(id, 10), row.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Runs, RuleDispatch,
    testing::Values(
        RunCase{"element_rule_runs_its_check", false, "Rule_04", u"", {Report(129, "Rule_04", 0)}},
        RunCase{"connector_rule_runs_its_check", true, "Rule_01", u"", {Report(122, "Rule_01", 0)}},
        RunCase{"connector_rule_through_element_run", false, "Rule_01", u"", {}},
        RunCase{"diagram_rule_through_element_run", false, "Rule_03", u"", {}},
        RunCase{"diagram_rule_through_connector_run", true, "Rule_03", u"", {}},
        RunCase{"element_rule_through_connector_run", true, "Rule_04", u"", {}},
        RunCase{"unregistered_id", false, "", u"no-such-id", {}},
        RunCase{"id_differing_in_letter_case", false, "", u"{kv-rule-0004}", {}},
        RunCase{"local_id_is_no_host_id", false, "", u"Rule_04", {}}),
    [](const testing::TestParamInfo<RunCase>& info) { return info.param.name; });

TEST(RuleMapping, RegistersOneCategoryAndNineRulesOfKindZero) {
  Session session(Model().data());
  const auto& rules = session.host().registered_rules();
  ASSERT_EQ(rules.size(), 9u);
  for (std::size_t i = 0; i < rules.size(); ++i) {
    EXPECT_EQ(rules[i].category_id, u"{KV-CAT-0001}") << i;
    EXPECT_EQ(rules[i].kind, 0) << i;
    EXPECT_EQ(rules[i].name, platform::LoadStringResource(112 + static_cast<std::int32_t>(i))) << i;
  }
}

// The lists keep growing; lookups take the first match, so reports keep the first ids while
// the ids of both registrations reach their checks.
TEST(RuleMapping, SecondInitializationAppendsAndReportsUnderFirstIds) {
  Model model = SelfLoop();
  Session session(model.data());
  session.Configure();
  const auto& rules = session.host().registered_rules();
  ASSERT_EQ(rules.size(), 18u);
  EXPECT_EQ(session.RunElementById(rules[12].id, 10), Lines{Report(129, "Rule_04", 0)});
  EXPECT_EQ(session.RunConnectorById(rules[9].id, 100), Lines{Report(122, "Rule_01", 0)});
}

TEST(RuleMapping, NullElementEndsTheRunQuietly) {
  Session session(Model().data());
  std::u16string id = session.HostId("Rule_04");
  session.rules().RunElementRule(session.repository(), id, CBPMNRules::ElementRef());
  EXPECT_EQ(session.TakeTrace(), Lines{});
}

// The pairs appended before the failure stay and work.
TEST(RuleMapping, BrokenOffInitializationKeepsEarlierPairs) {
  Model model = SelfLoop();
  Session session(model.data(), {{"ValidationService.AddRule", 5}}, false);
  EXPECT_THROW(session.Configure(), host::Error);
  const auto& rules = session.host().registered_rules();
  ASSERT_EQ(rules.size(), 4u);
  EXPECT_EQ(session.RunElementById(rules[3].id, 10), Lines{"129/?" + platform::ToUtf8(rules[3].id) + "/L0"});
}

// The host reaches the engine by name, with arguments by reference.
TEST(RuleMapping, OperationsAreCallableByName) {
  Model model = SelfLoop();
  Session session(model.data(), {}, false);
  platform::AutomationObject<CBPMNRules> object;
  host::Variant repository{std::shared_ptr<host::Object>(session.repository().shared())};
  host::Variant* configure_args[] = {&repository};
  ASSERT_FALSE(object.Invoke(u"ConfigureCategories", configure_args).error);
  ASSERT_FALSE(object.Invoke(u"ConfigureRules", configure_args).error);
  host::Variant rule{session.host().registered_rules()[3].id};
  host::Variant element{std::shared_ptr<host::Object>(session.Element(10).shared())};
  host::Variant* run_args[] = {&repository, &rule, &element};
  ASSERT_FALSE(object.Invoke(u"RunElementRule", run_args).error);
  EXPECT_EQ(session.host().violations().size(), 1u);
  EXPECT_TRUE(object.Invoke(u"Class_Initialize", {}).error);
}

// Counts the add-in keeps are 16-bit: one past 32,767 fails the run with an overflow.
struct LimitCase {
  std::string name;
  std::function<Model()> model;
  std::string rule;
  bool overflows;
};
std::ostream& operator<<(std::ostream& out, const LimitCase& c) { return out << c.name; }

Model Flows(Model model, int count, std::int32_t source, std::int32_t target, const char16_t* stereotype) {
  const std::int32_t first = static_cast<std::int32_t>(model.data().connectors.size()) + 1000;
  for (int i = 0; i < count; ++i) model.Connect(first + i, source, target, stereotype);
  return model;
}

class CountLimits : public testing::TestWithParam<LimitCase> {};

TEST_P(CountLimits, OverflowPast32767) {
  Session session(GetParam().model().data());
  std::u16string id = session.HostId(GetParam().rule);
  try {
    session.rules().RunElementRule(session.repository(), id, session.Element(10));
    EXPECT_FALSE(GetParam().overflows);
  } catch (const host::Error& error) {
    EXPECT_TRUE(GetParam().overflows);
    EXPECT_EQ(error.kind(), host::ErrorKind::kOverflow);
  }
}

Model GatewayAndPool() { return Model().Add(10, u"Gateway").Add(20, u"Pool"); }

INSTANTIATE_TEST_SUITE_P(
    Counts, CountLimits,
    testing::Values(
        LimitCase{"message_flows_at_limit",
                  [] { return Flows(GatewayAndPool(), 32767, 20, 10, u"MessageFlow"); }, "Rule_08", false},
        LimitCase{"message_flows_past_limit",
                  [] { return Flows(GatewayAndPool(), 32768, 20, 10, u"MessageFlow"); }, "Rule_08", true},
        LimitCase{"gates_past_limit", [] { return Flows(GatewayAndPool(), 32768, 10, 20, u"SequenceFlow"); },
                  "Rule_08", true},
        LimitCase{"activity_sum_over_children_past_limit",
                  [] {
                    Model model =
                        Model()
                            .Add(10, u"Activity", {{u"ActivityType", u"Task"}, {u"TaskType", u"Script"}})
                            .Add(11, u"IntermediateEvent", {}, {.parent = 10})
                            .Add(20, u"Pool");
                    return Flows(Flows(std::move(model), 16384, 20, 10, u"MessageFlow"), 16384, 20, 11,
                                 u"MessageFlow");
                  },
                  "Rule_07", true}),
    [](const testing::TestParamInfo<LimitCase>& info) { return info.param.name; });

// The rule-id lists are 16-bit collections too: 3,641 initializations make them too long.
TEST(CountLimits, RuleIdListsPast32767Entries) {
  Model model = SelfLoop();
  Session session(model.data());
  for (int i = 1; i < 3640; ++i) session.Configure();
  EXPECT_EQ(session.RunElement("Rule_04", 10), Lines{Report(129, "Rule_04", 0)});
  session.Configure();
  try {
    session.RunElement("Rule_04", 10);
    FAIL() << "a lookup over 32,769 entries went through";
  } catch (const host::Error& error) {
    EXPECT_EQ(error.kind(), host::ErrorKind::kOverflow);
  }
}

}  // namespace
}  // namespace rules_test
