// Scenarios: what the reader refuses, and the transcript parts that the golden sessions do not
// show, played against the real add-in module (ORBELT_ADDIN, set by the build's test runner).
#include "kelvo/scenario.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "formats/scenario_file.h"
#include "formats/transcript.h"
#include "platform/loader.h"
#include "support/addin_path.h"

namespace {

using formats::Json;

const char* kModel = R"({"format": "kelvo-model/1",
  "packages": [{"id": 1, "name": "Model", "parent": 0}, {"id": 2, "name": "Orders", "parent": 1}],
  "elements": [{"id": 10, "package": 2, "name": "Order received", "key": "StartEvent_1", "stereotype": "StartEvent"}],
  "diagrams": [{"id": 5, "package": 2, "name": "Orders", "placements": [10]}], "selectedPackage": 2})";

std::string ScenarioText(const std::string& steps, const std::string& host = "{}") {
  return std::string(R"({"format": "kelvo-scenario/1", "model": )") + kModel + R"(, "host": )" + host +
         R"(, "steps": )" + steps + "}";
}

// --- reading ---------------------------------------------------------------------------------

struct Refusal {
  const char* name;
  std::string text;
  const char* message;
};

class ScenarioRefusal : public testing::TestWithParam<Refusal> {};

TEST_P(ScenarioRefusal, NamesTheFileAndTheItem) {
  try {
    formats::ParseScenario(GetParam().text, "play.json", "");
    FAIL() << "accepted";
  } catch (const kelvo::InputError& e) {
    const std::string message = e.what();
    EXPECT_EQ(message.rfind("play.json: ", 0), 0u) << message;
    EXPECT_NE(message.find(GetParam().message), std::string::npos) << message;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Reader, ScenarioRefusal,
    testing::Values(
        Refusal{"WrongFormat", R"({"format": "kelvo-model/1"})", "format: expected \"kelvo-scenario/1\""},
        Refusal{"UnknownTopLevelKey", R"({"format": "kelvo-scenario/1", "step": []})",
                "unknown key \"step\""},
        Refusal{"UnknownStepKey", ScenarioText(R"([{"call": "Kelvo_GetMenuItems", "arg": []}])"),
                "steps[0]: unknown key \"arg\""},
        Refusal{"StepWithoutKind", ScenarioText(R"([{"args": []}])"),
                "steps[0]: missing \"call\" or \"host\""},
        Refusal{"UnknownHostStep", ScenarioText(R"([{"host": "close"}])"),
                "steps[0].host: expected \"select\""},
        Refusal{"SelectWithoutPackage", ScenarioText(R"([{"host": "select"}])"),
                "steps[0]: missing \"package\""},
        Refusal{"SelectOfAMissingPackage",
                ScenarioText(R"([{"host": "validate"}, {"host": "select", "package": 9}])"),
                "steps[1].package: package 9 does not exist"},
        Refusal{"ArgNotAString", ScenarioText(R"([{"call": "Kelvo_GetMenuItems", "args": ["MainMenu", 1]}])"),
                "steps[0].args[1]: expected a string"},
        Refusal{"RuleTwice",
                ScenarioText(R"([{"call": "Kelvo_OnRunElementRule", "rule": "a", "ruleId": "b"}])"),
                "steps[0]: name the rule"},
        Refusal{"UnknownFaultMember",
                ScenarioText("[]", R"({"faults": [{"member": "Repository.ActivDiagram"}]})"),
                "host.faults[0].member: \"Repository.ActivDiagram\" is no host member"},
        Refusal{"FaultCountedFromOne",
                ScenarioText("[]", R"({"faults": [{"member": "Diagram.Save", "nth": 0}]})"),
                "host.faults[0].nth"},
        Refusal{"RefuseInstallNotABoolean", ScenarioText("[]", R"({"refuseInstall": "yes"})"),
                "host.refuseInstall: expected true or false"},
        Refusal{"InlineModelWithAMissingReference",
                R"({"format": "kelvo-scenario/1", "model": {"elements": [{"id": 1, "package": 3}]}})",
                "model: elements[0] (id 1): its package 3 does not exist"},
        Refusal{"InlineModelWithAnUnknownKey", R"({"format": "kelvo-scenario/1", "model": {"element": []}})",
                "model: unknown key \"element\""}),
    [](const testing::TestParamInfo<Refusal>& info) { return std::string(info.param.name); });

TEST(ScenarioReader, AModelPathIsRelativeToTheScenarioFile) {
  const auto directory = std::filesystem::temp_directory_path() / "kelvo_scenario_test";
  std::filesystem::create_directories(directory);
  std::ofstream(directory / "orders.json") << kModel;
  std::ofstream(directory / "play.json") << R"({"format": "kelvo-scenario/1", "model": "orders.json",
                                                 "host": {"build": 794}, "steps": [{"host": "select", "package": 2}]})";
  const kelvo::Scenario scenario = formats::LoadScenarioFile((directory / "play.json").string());
  EXPECT_EQ(scenario.model.elements.size(), 1u);
  EXPECT_EQ(scenario.model.host.build, 794);
  EXPECT_EQ(scenario.model.host.model_location, u"model.kvm");

  std::ofstream(directory / "broken.json") << R"({"format": "kelvo-scenario/1", "model": "missing.json"})";
  try {
    formats::LoadScenarioFile((directory / "broken.json").string());
    FAIL();
  } catch (const kelvo::InputError& e) {
    EXPECT_EQ(e.file(), (directory / "missing.json").string());
  }
  std::filesystem::remove_all(directory);
}

TEST(ScenarioReader, InfoValuesKeepTheirTypes) {
  const kelvo::Scenario scenario = formats::ParseScenario(
      ScenarioText(R"([{"call": "Kelvo_OnPostNewElement", "info": [10, "11", 1.5, 4294967296]}])"),
      "play.json", "");
  const auto& info = *scenario.steps[0].info;
  EXPECT_EQ(std::get<std::int32_t>(info[0]), 10);
  EXPECT_EQ(std::get<std::u16string>(info[1]), u"11");
  EXPECT_EQ(std::get<double>(info[2]), 1.5);
  EXPECT_EQ(std::get<double>(info[3]), 4294967296.0);
}

// --- playing against the add-in ----------------------------------------------------------------

// The golden sessions pin whole transcripts; this plays what they leave out: help calls, the
// error kinds of new-element events, a fault counted across steps, opening a missing diagram and
// the failures of a validate step.
TEST(ScenarioPlay, WhatTheGoldenSessionsLeaveOut) {
  const platform::LoadedModule module(test_support::AddinPath());
  const auto scenario =
      formats::ParseScenario(ScenarioText(R"([
    {"call": "Kelvo_MenuClick", "args": ["MainMenu", "-&BPMN Technology", "&Help"]},
    {"call": "Kelvo_OnPostNewElement", "info": [12]},
    {"call": "Kelvo_OnPostNewElement", "info": []},
    {"call": "Kelvo_OnPostNewElement", "info": ["eleven"]},
    {"call": "Kelvo_MenuClick", "args": ["MainMenu", "-&BPMN Technology", "&New Diagram"]},
    {"call": "Kelvo_MenuClick", "args": ["MainMenu", "-&BPMN Technology", "&New Diagram"]},
    {"host": "open", "diagram": 99},
    {"host": "open", "diagram": null},
    {"host": "validate"}
  ])",
                                          R"({"faults": [{"member": "Diagram.Save", "nth": 2}]})"),
                             "play.json", "");
  const std::vector<kelvo::PlayedStep> played = kelvo::PlayScenario(scenario, module);
  const Json steps = formats::TranscriptJson(played)["steps"];
  ASSERT_EQ(steps.size(), 9u);
  for (const std::size_t count : {std::size_t{0}, played.size()}) {  // streamed: the same text
    std::ostringstream streamed;
    formats::TranscriptWriter writer(streamed);
    for (std::size_t i = 0; i < count; ++i) writer.Write(played[i]);
    writer.Finish();
    const std::vector<kelvo::PlayedStep> first(played.begin(), played.begin() + count);
    EXPECT_EQ(streamed.str(), formats::Dump(formats::TranscriptJson(first), 2) + "\n");
  }
  ASSERT_EQ(steps[0]["help"].size(), 1u);
  EXPECT_TRUE(steps[0]["help"][0]["file"].is_string());
  EXPECT_EQ(steps[0]["help"][0]["command"], 15);
  EXPECT_EQ(steps[0]["help"][0]["data"], 1000);
  const std::vector<Json> errors = {nullptr, "host", "index", "type-mismatch", nullptr,
                                    "host",  "host", nullptr, nullptr};
  for (std::size_t i = 0; i < errors.size(); ++i) {
    EXPECT_EQ(steps[i]["error"].is_null() ? Json(nullptr) : steps[i]["error"]["kind"], errors[i])
        << "step " << i + 1;
    EXPECT_EQ(steps[i].contains("failures"), i == 8) << "step " << i + 1;
  }
  EXPECT_EQ(steps[1]["result"], nullptr);
  ASSERT_FALSE(steps[8]["failures"].empty());  // the diagram checks need an open diagram
  const Json& failure = steps[8]["failures"][0];
  EXPECT_EQ(failure["error"]["kind"], "null-object");
  EXPECT_EQ(failure["object"],
            (Json{{"kind", "element"}, {"id", 10}, {"key", "StartEvent_1"}, {"name", "Order received"}}));
  EXPECT_TRUE(failure["rule"].is_string());
}

}  // namespace
