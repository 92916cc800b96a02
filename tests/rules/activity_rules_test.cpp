// Activity checks: the numeric reading of StartQuantity, looping, ad-hoc and independent
// sub-processes, the Message Flows of each kind of Task, and the order of the reports.
#include "rules_fixture.h"

namespace rules_test {
namespace {

constexpr std::int32_t kActivity = 10;

// An activity whose StartQuantity is 1, with the further tags given.
Model Activity(Tags tags) {
  Tags all{{u"StartQuantity", u"1"}};
  all.insert(all.end(), tags.begin(), tags.end());
  return Model().Add(kActivity, u"Activity", std::move(all));
}
Model Task(const char16_t* task_type, int in, int out) {
  Model model = Activity({{u"ActivityType", u"Task"}, {u"TaskType", task_type}});
  for (int i = 0; i < in; ++i) model.Add(20 + i, u"Pool").Connect(100 + i, 20 + i, kActivity, u"MessageFlow");
  for (int i = 0; i < out; ++i)
    model.Add(30 + i, u"Pool").Connect(110 + i, kActivity, 30 + i, u"MessageFlow");
  return model;
}
Model Task(const char16_t* task_type, int in, int out, kelvo::Tag tag) {
  Model model = Task(task_type, in, out);
  model.data().elements.front().tags.push_back(std::move(tag));
  return model;
}

Model WithOwnedDiagram(Model model) {
  kelvo::DiagramData diagram;
  diagram.id = 2;
  diagram.package = test_support::ModelBuilder::kProcessPackage;
  diagram.parent = kActivity;
  model.data().diagrams.push_back(diagram);
  return model;
}

std::string R7(int message) { return Report(message, "Rule_07", 1); }

class ActivityRules : public testing::TestWithParam<CheckCase> {};

TEST_P(ActivityRules, ReportsInOrder) { ExpectElementReports("Rule_07", GetParam()); }

// StartQuantity is read as the number it begins with; no number reads as 0.
struct Quantity {
  std::string name;
  std::u16string text;
  bool reported;
};

class StartQuantity : public testing::TestWithParam<Quantity> {};

TEST_P(StartQuantity, MustBeGreaterThanZero) {
  Model model = Model().Add(kActivity, u"Activity", {{u"StartQuantity", GetParam().text}});
  Session session(model.data());
  const auto expected = GetParam().reported ? std::vector<std::string>{R7(167)} : std::vector<std::string>{};
  EXPECT_EQ(session.RunElement("Rule_07", kActivity), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, StartQuantity,
    testing::Values(Quantity{"one", u"1", false}, Quantity{"half", u"0.5", false},
                    Quantity{"number_then_word", u"3 tasks", false},
                    Quantity{"leading_blanks", u"  2", false}, Quantity{"plus_sign_and_point", u"+.5", false},
                    Quantity{"exponent", u"2e3", false}, Quantity{"negative_exponent", u"5E-1", false},
                    Quantity{"dangling_exponent", u"4e", false}, Quantity{"empty", u"", true},
                    Quantity{"letter_first", u"x1", true}, Quantity{"zero", u"0", true},
                    Quantity{"zero_point_zero", u"0.0", true}, Quantity{"negative", u"-3", true},
                    Quantity{"negative_fraction", u"-0.5", true},
                    Quantity{"hex_reads_leading_zero", u"0x10", true}, Quantity{"sign_alone", u"-", true},
                    Quantity{"point_alone", u".", true}, Quantity{"exponent_alone", u"e5", true}),
    [](const testing::TestParamInfo<Quantity>& info) { return info.param.name; });

INSTANTIATE_TEST_SUITE_P(
    Cases, ActivityRules,
    testing::Values(
        CheckCase{"not_an_activity",
                  Model().Add(kActivity, u"Gateway", {{u"Implementation", u"Web Service"}}),
                  kActivity,
                  {}},
        CheckCase{"missing_start_quantity_167", Model().Add(kActivity, u"Activity"), kActivity, {R7(167)}},
        CheckCase{"standard_loop_168_only", Activity({{u"LoopType", u"Standard"}}), kActivity, {R7(168)}},
        CheckCase{"multi_instance_complex_169_170",
                  Activity({{u"LoopType", u"MultiInstance"}, {u"MI_FlowCondition", u"Complex"}}),
                  kActivity,
                  {R7(169), R7(170)}},
        CheckCase{"multi_instance_all_169",
                  Activity({{u"LoopType", u"MultiInstance"}, {u"MI_FlowCondition", u"All"}}),
                  kActivity,
                  {R7(169)}},
        CheckCase{"loop_type_none_reads_no_loop_tag", Activity({{u"LoopType", u"None"}}), kActivity, {}},
        CheckCase{"ad_hoc_without_completion_173",
                  Activity({{u"ActivityType", u"Sub-Process"}, {u"AdHoc", u"true"}}),
                  kActivity,
                  {R7(173)}},
        CheckCase{"ad_hoc_compared_case_sensitively",
                  Activity({{u"ActivityType", u"Sub-Process"}, {u"AdHoc", u"True"}}),
                  kActivity,
                  {}},
        CheckCase{"independent_without_child_diagram_174",
                  Activity({{u"ActivityType", u"Sub-Process"}, {u"SubProcessType", u"Independent"}}),
                  kActivity,
                  {R7(174)}},
        CheckCase{"independent_with_diagram_ref",
                  Activity({{u"ActivityType", u"Sub-Process"},
                            {u"SubProcessType", u"Independent"},
                            {u"DiagramRef", u"d"}}),
                  kActivity,
                  {}},
        CheckCase{"independent_with_owned_diagram",
                  WithOwnedDiagram(Activity({{u"ActivityType", u"Sub-Process"},
                                             {u"SubProcessType", u"Independent"}})),
                  kActivity,
                  {}},
        CheckCase{
            "task_ignores_sub_process_tags",
            Activity({{u"ActivityType", u"Task"}, {u"AdHoc", u"true"}, {u"SubProcessType", u"Independent"}}),
            kActivity,
            {}},
        CheckCase{
            "no_activity_type_ignores_task_type",
            Activity({{u"TaskType", u"None"}}).Add(20, u"Pool").Connect(100, 20, kActivity, u"MessageFlow"),
            kActivity,
            {}},
        CheckCase{
            "service_in_message_set_178", Task(u"Service", 0, 0, {u"InMessage", u"m"}), kActivity, {R7(178)}},
        CheckCase{"service_without_flows_177_178", Task(u"Service", 0, 0), kActivity, {R7(177), R7(178)}},
        CheckCase{"receive_with_both_flows_179", Task(u"Receive", 1, 1), kActivity, {R7(179)}},
        CheckCase{"receive_without_flows_180", Task(u"Receive", 0, 0), kActivity, {R7(180)}},
        CheckCase{"send_with_incoming_181_182", Task(u"Send", 1, 0), kActivity, {R7(181), R7(182)}},
        CheckCase{"user_without_flows_183_184", Task(u"User", 0, 0), kActivity, {R7(183), R7(184)}},
        CheckCase{"script_with_several_flows_once", Task(u"Script", 2, 1), kActivity, {R7(185)}},
        CheckCase{"manual_with_incoming_186", Task(u"Manual", 1, 0), kActivity, {R7(186)}},
        CheckCase{"none_with_outgoing_188", Task(u"None", 0, 1), kActivity, {R7(188)}},
        CheckCase{"reference_reads_nothing", Task(u"Reference", 1, 1), kActivity, {}},
        CheckCase{"task_type_compared_case_sensitively", Task(u"script", 1, 0), kActivity, {}},
        CheckCase{"flows_of_boundary_event_count_for_activity",
                  Task(u"Receive", 0, 0)
                      .Add(12, u"IntermediateEvent", {}, {.parent = kActivity, .base_type = u"ObjectNode"})
                      .Add(20, u"Pool")
                      .Connect(100, 20, 12, u"MessageFlow"),
                  kActivity,
                  {}},
        CheckCase{"everything_broken_in_order",
                  Model()
                      .Add(kActivity, u"Activity",
                           {{u"StartQuantity", u"0"},
                            {u"LoopType", u"MultiInstance"},
                            {u"MI_FlowCondition", u"Complex"},
                            {u"ActivityType", u"Task"},
                            {u"TaskType", u"Send"},
                            {u"Implementation", u"Web Service"}})
                      .Add(20, u"Pool")
                      .Connect(100, 20, kActivity, u"MessageFlow"),
                  kActivity,
                  {R7(167), R7(169), R7(170), R7(181), R7(182), Report(221, "Rule_03", 0)}}),
    CaseName);

}  // namespace
}  // namespace rules_test
