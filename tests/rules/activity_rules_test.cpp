// Activity checks: the numeric reading of StartQuantity, looping, ad-hoc and independent
// sub-processes, the Message Flows of each kind of Task, and the order of the reports.
#include "platform/text.h"
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

// StartQuantity is read as the number it begins with; no number reads as 0.
TEST(StartQuantity, MustBeGreaterThanZero) {
  const std::vector<std::u16string> accepted{u"0.5", u"3 tasks", u"  2", u"+.5", u"5E-1", u"4e"};
  const std::vector<std::u16string> refused{u"", u"x1", u"0", u"-3", u"0x10", u"-", u".", u"e5"};
  for (const auto* texts : {&accepted, &refused}) {
    for (const std::u16string& text : *texts) {
      Session session(Model().Add(kActivity, u"Activity", {{u"StartQuantity", text}}).data());
      const bool reported = texts == &refused;
      EXPECT_EQ(session.RunElement("Rule_07", kActivity),
                reported ? std::vector<std::string>{R7(167)} : std::vector<std::string>{})
          << platform::ToUtf8(text);
    }
  }
}

const std::vector<CheckCase> kCases = {
    {"not_an_activity", Model().Add(kActivity, u"Gateway", {{u"Implementation", u"Web Service"}}), {}},
    {"standard_loop_168_only", Activity({{u"LoopType", u"Standard"}}), {R7(168)}},
    {"multi_instance_complex_169_170",
     Activity({{u"LoopType", u"MultiInstance"}, {u"MI_FlowCondition", u"Complex"}}),
     {R7(169), R7(170)}},
    {"multi_instance_all_169",
     Activity({{u"LoopType", u"MultiInstance"}, {u"MI_FlowCondition", u"All"}}),
     {R7(169)}},
    {"ad_hoc_without_completion_173",
     Activity({{u"ActivityType", u"Sub-Process"}, {u"AdHoc", u"true"}}),
     {R7(173)}},
    {"ad_hoc_compared_case_sensitively",
     Activity({{u"ActivityType", u"Sub-Process"}, {u"AdHoc", u"True"}}),
     {}},
    {"independent_without_child_diagram_174",
     Activity({{u"ActivityType", u"Sub-Process"}, {u"SubProcessType", u"Independent"}}),
     {R7(174)}},
    {"independent_with_diagram_ref",
     Activity(
         {{u"ActivityType", u"Sub-Process"}, {u"SubProcessType", u"Independent"}, {u"DiagramRef", u"d"}}),
     {}},
    {"independent_with_owned_diagram",
     WithOwnedDiagram(Activity({{u"ActivityType", u"Sub-Process"}, {u"SubProcessType", u"Independent"}})),
     {}},
    {"task_ignores_sub_process_tags",
     Activity({{u"ActivityType", u"Task"}, {u"AdHoc", u"true"}, {u"SubProcessType", u"Independent"}}),
     {}},
    {"no_activity_type_ignores_task_type",
     Activity({{u"TaskType", u"None"}}).Add(20, u"Pool").Connect(100, 20, kActivity, u"MessageFlow"),
     {}},
    {"service_in_message_set_178", Task(u"Service", 0, 0, {u"InMessage", u"m"}), {R7(178)}},
    {"service_without_flows_177_178", Task(u"Service", 0, 0), {R7(177), R7(178)}},
    {"receive_with_both_flows_179", Task(u"Receive", 1, 1), {R7(179)}},
    {"receive_without_flows_180", Task(u"Receive", 0, 0), {R7(180)}},
    {"send_with_incoming_181_182", Task(u"Send", 1, 0), {R7(181), R7(182)}},
    {"script_with_several_flows_once", Task(u"Script", 2, 1), {R7(185)}},
    {"none_with_outgoing_188", Task(u"None", 0, 1), {R7(188)}},
    {"reference_reads_nothing", Task(u"Reference", 1, 1), {}},
    {"task_type_compared_case_sensitively", Task(u"script", 1, 0), {}},
    {"flows_of_boundary_event_count_for_activity",
     Task(u"Receive", 0, 0)
         .Add(12, u"IntermediateEvent", {}, {.parent = kActivity, .base_type = u"ObjectNode"})
         .Add(20, u"Pool")
         .Connect(100, 20, 12, u"MessageFlow"),
     {}},
    {"everything_broken_in_order",
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
     {R7(167), R7(169), R7(170), R7(181), R7(182), Report(221, "Rule_03", 0)}},
};

INSTANTIATE_TEST_SUITE_P(Activity, RuleChecks, Rows("Rule_07", kCases), CaseName);

}  // namespace
}  // namespace rules_test
