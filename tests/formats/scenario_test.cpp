// The scenario player: what it refuses to read, and transcripts of scenarios played against the
// real add-in module (ORBELT_ADDIN, set by the build's test runner).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "formats/scenario_file.h"
#include "formats/transcript.h"
#include "kelvo/scenario.h"
#include "platform/loader.h"

namespace {

using formats::Json;

const char* kModel = R"({
  "format": "kelvo-model/1",
  "packages": [{"id": 1, "name": "Model", "parent": 0}, {"id": 2, "name": "Orders", "parent": 1}],
  "elements": [
    {"id": 10, "package": 2, "name": "Order received", "key": "StartEvent_1", "stereotype": "StartEvent",
     "tags": [["Trigger", "None"]]},
    {"id": 11, "package": 2, "name": "Done", "stereotype": "EndEvent", "tags": {"Result": "None"}}
  ],
  "connectors": [],
  "diagrams": [{"id": 5, "package": 2, "name": "Orders", "placements": [10, 11]}],
  "selectedPackage": 2,
  "activeDiagram": 5
})";

std::string ScenarioText(const std::string& steps, const std::string& host = "{}", bool trace = true) {
  return std::string(R"({"format": "kelvo-scenario/1", "model": )") + kModel + R"(, "host": )" + host +
         R"(, "trace": )" + (trace ? "true" : "false") + R"(, "steps": )" + steps + "}";
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
        Refusal{"UnknownTopLevelKey", R"({"format": "kelvo-scenario/1", "step": []})", "unknown key \"step\""},
        Refusal{"UnknownStepKey", ScenarioText(R"([{"call": "Kelvo_GetMenuItems", "arg": []}])"),
                "steps[0]: unknown key \"arg\""},
        Refusal{"StepWithoutKind", ScenarioText(R"([{"args": []}])"), "steps[0]: missing \"call\" or \"host\""},
        Refusal{"UnknownHostStep", ScenarioText(R"([{"host": "close"}])"), "steps[0].host: expected \"select\""},
        Refusal{"SelectWithoutPackage", ScenarioText(R"([{"host": "select"}])"), "steps[0]: missing \"package\""},
        Refusal{"SelectOfAMissingPackage", ScenarioText(R"([{"host": "validate"}, {"host": "select", "package": 9}])"),
                "steps[1].package: package 9 does not exist"},
        Refusal{"ArgNotAString", ScenarioText(R"([{"call": "Kelvo_GetMenuItems", "args": ["MainMenu", 1]}])"),
                "steps[0].args[1]: expected a string"},
        Refusal{"RuleTwice", ScenarioText(R"([{"call": "Kelvo_OnRunElementRule", "rule": "a", "ruleId": "b"}])"),
                "steps[0]: name the rule"},
        Refusal{"UnknownFaultMember", ScenarioText("[]", R"({"faults": [{"member": "Repository.ActivDiagram"}]})"),
                "host.faults[0].member: \"Repository.ActivDiagram\" is no host member"},
        Refusal{"FaultCountedFromOne", ScenarioText("[]", R"({"faults": [{"member": "Diagram.Save", "nth": 0}]})"),
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
  EXPECT_EQ(scenario.model.elements.size(), 2u);
  EXPECT_EQ(scenario.model.host.build, 794);
  EXPECT_EQ(scenario.model.host.model_location, u"model.kvm");

  std::ofstream(directory / "broken.json") << R"({"format": "kelvo-scenario/1", "model": "missing.json"})";
  try {
    formats::LoadScenarioFile((directory / "broken.json").string());
    FAIL();
  } catch (const kelvo::InputError& e) {
    EXPECT_NE(std::string(e.what()).find("missing.json"), std::string::npos) << e.what();
  }
  std::filesystem::remove_all(directory);
}

TEST(ScenarioReader, InfoValuesKeepTheirTypes) {
  const kelvo::Scenario scenario =
      formats::ParseScenario(ScenarioText(R"([{"call": "Kelvo_OnPostNewElement", "info": [10, "11", 1.5, 4294967296]}])"),
                           "play.json", "");
  const auto& info = *scenario.steps[0].info;
  EXPECT_EQ(std::get<std::int32_t>(info[0]), 10);
  EXPECT_EQ(std::get<std::u16string>(info[1]), u"11");
  EXPECT_EQ(std::get<double>(info[2]), 1.5);
  EXPECT_EQ(std::get<double>(info[3]), 4294967296.0);
}

// --- playing against the add-in ----------------------------------------------------------------

class ScenarioPlay : public testing::Test {
 protected:
  void SetUp() override {
    const char* path = std::getenv("ORBELT_ADDIN");
    if (!path || !*path) GTEST_SKIP() << "ORBELT_ADDIN not set";
    module_ = std::make_unique<platform::LoadedModule>(path);
  }
  Json Play(const std::string& text) {
    const Json transcript = formats::TranscriptJson(kelvo::PlayScenario(formats::ParseScenario(text, "play.json", ""), *module_));
    EXPECT_EQ(transcript["format"], "kelvo-transcript/1");
    return transcript["steps"];
  }
  std::unique_ptr<platform::LoadedModule> module_;
};

TEST_F(ScenarioPlay, MenusLoadTheTechnologyAndFollowTheHostState) {
  const Json steps = Play(ScenarioText(R"([
    {"call": "Kelvo_GetMenuItems", "args": ["MainMenu", ""]},
    {"call": "Kelvo_GetMenuItems", "args": ["MainMenu", "-&BPMN Technology"]},
    {"call": "Kelvo_MenuClick", "args": ["MainMenu", "-&BPMN Technology", "&Load"]},
    {"call": "Kelvo_GetMenuItems", "args": ["MainMenu", "-&BPMN Technology"]}
  ])"));
  ASSERT_EQ(steps.size(), 4u);
  EXPECT_EQ(steps[0], (Json{{"step", 1}, {"call", "Kelvo_GetMenuItems"}, {"result", "-&BPMN Technology"}, {"error", nullptr},
                            {"messageBoxes", Json::array()}, {"dialogs", Json::array()}, {"help", Json::array()},
                            {"violations", Json::array()}, {"calls", Json::array()}}));
  EXPECT_EQ(steps[1]["result"], (Json{"&Load", "-", "&Help", "&About"}));
  EXPECT_EQ(steps[1]["calls"], (Json{"Repository.HostBuild", "Repository.HasTechnology(\"BPMN\")"}));
  EXPECT_EQ(steps[2]["result"], nullptr);
  EXPECT_EQ(steps[2]["error"], nullptr);
  ASSERT_EQ(steps[2]["calls"].size(), 4u);
  EXPECT_EQ(steps[2]["calls"][0], "Repository.ModelLocation");
  EXPECT_EQ(steps[2]["calls"][1], "Repository.HostBuild");
  EXPECT_EQ(steps[2]["calls"][2].get<std::string>().rfind("Repository.InstallTechnology(<string of ", 0), 0u);
  EXPECT_EQ(steps[2]["calls"][3], "Repository.SetProfileVisible(\"BPMN\", \"\", true)");
  EXPECT_EQ(steps[3]["result"].size(), 9u);
}

TEST_F(ScenarioPlay, MessageBoxesAndTheAboutDialogAreRecordedPerStep) {
  const Json steps = Play(ScenarioText(R"([
    {"call": "Kelvo_MenuClick", "args": ["MainMenu", "-&BPMN Technology", "&Load"]},
    {"call": "Kelvo_MenuClick", "args": ["MainMenu", "-&BPMN Technology", "&About"]},
    {"call": "Kelvo_MenuClick", "args": ["MainMenu", "-&BPMN Technology", "&Help"]}
  ])", R"({"build": 794})", false));
  EXPECT_EQ(steps[0]["messageBoxes"],
            (Json::array({{{"title", "Tarrow Technology for BPMN"},
                           {"text", "Add-in will only work with Kelvo 6.5 or later."},
                           {"style", 48}}})));
  EXPECT_FALSE(steps[0].contains("calls"));
  EXPECT_TRUE(steps[1]["messageBoxes"].empty());
  ASSERT_EQ(steps[1]["dialogs"].size(), 1u);
  EXPECT_EQ(steps[1]["dialogs"][0]["form"], "frmAbout");
  EXPECT_EQ(steps[1]["dialogs"][0]["controls"]["cmdOK"], "&OK");
  ASSERT_EQ(steps[2]["help"].size(), 1u);
  EXPECT_EQ(steps[2]["help"][0]["command"], 15);
  EXPECT_EQ(steps[2]["help"][0]["data"], 1000);
  EXPECT_TRUE(steps[2]["dialogs"].empty());
}

TEST_F(ScenarioPlay, RuleRunsByNameAndByIdNewElementsAndErrors) {
  const Json steps = Play(ScenarioText(R"([
    {"call": "Kelvo_OnRunElementRule", "rule": "BPMN Start Event constraints", "element": 10},
    {"call": "Kelvo_OnInitializeUserRules"},
    {"call": "Kelvo_OnRunElementRule", "rule": "BPMN Start Event constraints", "element": 10},
    {"call": "Kelvo_OnRunConnectorRule", "ruleId": "no-such-id", "connector": 100},
    {"call": "Kelvo_OnPostNewElement", "info": [11]},
    {"call": "Kelvo_OnPostNewElement", "info": [12]},
    {"call": "Kelvo_OnPostNewElement", "info": []},
    {"call": "Kelvo_OnPostNewElement", "info": ["eleven"]}
  ])"));
  EXPECT_TRUE(steps[0]["violations"].empty());  // no rules registered yet: the run does nothing
  EXPECT_EQ(steps[1]["calls"].size(), 12u);     // service, category, service, nine rules
  ASSERT_FALSE(steps[2]["violations"].empty());
  const Json& violation = steps[2]["violations"][0];
  EXPECT_EQ(violation["object"],
            (Json{{"kind", "element"}, {"id", 10}, {"key", "StartEvent_1"}, {"name", "Order received"}}));
  EXPECT_EQ(violation["rule"], "BPMN Start Event constraints");
  EXPECT_TRUE(violation["ruleId"].is_string());
  EXPECT_EQ(steps[3]["calls"], (Json{"Repository.ConnectorById(100)"}));
  EXPECT_TRUE(steps[3]["violations"].empty());
  EXPECT_EQ(steps[4]["result"], false);
  EXPECT_EQ(steps[4]["calls"], (Json{"InfoBag.Entry(0)", "InfoItem.Value", "Repository.ElementById(11)", "Element.StereotypeName"}));
  EXPECT_EQ(steps[5]["error"]["kind"], "host");
  EXPECT_EQ(steps[5]["result"], nullptr);
  EXPECT_EQ(steps[6]["error"]["kind"], "index");
  EXPECT_EQ(steps[7]["error"]["kind"], "type-mismatch");
}

TEST_F(ScenarioPlay, NewDiagramsCarryAcrossStepsAndFaultsHitTheNthCall) {
  const Json steps = Play(ScenarioText(R"([
    {"call": "Kelvo_MenuClick", "args": ["MainMenu", "-&BPMN Technology", "&New Diagram"]},
    {"host": "select", "package": 1},
    {"call": "Kelvo_MenuClick", "args": ["MainMenu", "-&BPMN Technology", "&New Diagram"]},
    {"host": "select", "package": null},
    {"call": "Kelvo_MenuClick", "args": ["MainMenu", "-&BPMN Technology", "&New Diagram"]},
    {"host": "select", "package": 2},
    {"call": "Kelvo_MenuClick", "args": ["MainMenu", "-&BPMN Technology", "&New Diagram"]},
    {"host": "open", "diagram": 6},
    {"host": "open", "diagram": 99}
  ])", R"({"faults": [{"member": "Diagram.Save", "nth": 2}]})"));
  EXPECT_EQ(steps[0]["calls"],
            (Json{"Repository.SelectedPackage", "Package.ParentId", "Package.Name", "Package.Diagrams",
                  "ModelCollection.CreateItem(\"Orders\", \"BPMN::BPMN\")", "Diagram.PresetProperty=0", "Diagram.Save()",
                  "Package.Diagrams", "ModelCollection.Reload()", "Diagram.Id", "Repository.ShowDiagram(6)"}));
  EXPECT_EQ(steps[1], (Json{{"step", 2}, {"host", "select"}, {"result", nullptr}, {"error", nullptr},
                            {"messageBoxes", Json::array()}, {"dialogs", Json::array()}, {"help", Json::array()},
                            {"violations", Json::array()}, {"calls", Json::array()}}));
  EXPECT_EQ(steps[2]["messageBoxes"].size(), 1u);  // the root package
  EXPECT_EQ(steps[4]["messageBoxes"][0]["text"], "No package selected");
  // The second Save fails: the diagram stays created, the command ends there.
  EXPECT_EQ(steps[6]["error"]["kind"], "host");
  EXPECT_EQ(steps[6]["calls"].back(), "Diagram.Save()");
  EXPECT_EQ(steps[7]["error"], nullptr);
  EXPECT_EQ(steps[8]["error"]["kind"], "host");
}

TEST_F(ScenarioPlay, AValidateStepRunsOnTheOpenDiagramAndListsFailures) {
  const Json steps = Play(ScenarioText(R"([
    {"host": "validate"},
    {"host": "open", "diagram": null},
    {"host": "validate"}
  ])", "{}", false));
  ASSERT_EQ(steps.size(), 3u);
  EXPECT_TRUE(steps[0]["failures"].empty());
  EXPECT_FALSE(steps[0]["violations"].empty());
  EXPECT_FALSE(steps[1].contains("failures"));
  ASSERT_FALSE(steps[2]["failures"].empty());  // the diagram checks need an open diagram
  EXPECT_EQ(steps[2]["failures"][0]["error"]["kind"], "null-object");
  EXPECT_EQ(steps[2]["failures"][0]["object"]["kind"], "element");
  EXPECT_TRUE(steps[2]["failures"][0]["rule"].is_string());
}

}  // namespace
