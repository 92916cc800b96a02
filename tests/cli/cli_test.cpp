// The orbelt command as a user meets it: arguments, output and exit statuses.
#include "cli/cli.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <vector>

#include "bpmn/document.h"

namespace {

namespace fs = std::filesystem;

struct Outcome {
  int status;
  std::string out;
  std::string err;
};

Outcome Orbelt(std::vector<std::string> args) {
  args.insert(args.begin(), "orbelt");
  std::vector<const char*> argv;
  for (const auto& a : args) argv.push_back(a.c_str());
  orbelt::cli::StringOutput output;
  const int status = orbelt::cli::Run(static_cast<int>(argv.size()), argv.data(), output);
  return {status, output.out_text(), output.err_text()};
}

class TempDir : public testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("orbelt-cli-" + std::to_string(::getpid()) + "-" +
                                        testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Write(const std::string& name, const std::string& text) {
    const auto path = dir_ / name;
    std::ofstream(path, std::ios::binary) << text;
    return path.string();
  }
  fs::path dir_;
};

TEST(Validate, TheBundledSampleShowsItsMistakes) {
  const auto result = Orbelt({"validate"});
  EXPECT_EQ(result.status, 1) << result.err;
  // One line per violation, naming the element by name and key, the rule and the severity.
  EXPECT_NE(result.out.find("Order Desk"), std::string::npos) << result.out;
  EXPECT_NE(result.out.find("Pool_OrderDesk"), std::string::npos);
  EXPECT_NE(result.out.find("BPMN Swimlane constraints"), std::string::npos);
  EXPECT_NE(result.out.find("Participant for a Pool must be defined"), std::string::npos);
}

TEST(Validate, TheJsonReportNamesEachViolationsObjectAndRule) {
  const auto result = Orbelt({"validate", "--format", "json"});
  ASSERT_EQ(result.status, 1) << result.err;
  const auto report = nlohmann::json::parse(result.out);
  EXPECT_EQ(report["format"], "orbelt-report/1");
  ASSERT_EQ(report["models"].size(), 1u);
  const auto& model = report["models"][0];
  EXPECT_EQ(model["diagram"]["id"], 5);
  EXPECT_EQ(model["summary"]["elements"], 16);
  EXPECT_EQ(model["summary"]["connectors"], 13);
  EXPECT_EQ(model["summary"]["failures"], 0);
  bool found = false;
  for (const auto& v : model["violations"]) {
    if (v["object"]["key"] == "Pool_OrderDesk") {
      found = true;
      EXPECT_EQ(v["object"]["kind"], "element");
      EXPECT_EQ(v["object"]["type"], "Pool");
      EXPECT_EQ(v["rule"], "BPMN Swimlane constraints");
      EXPECT_EQ(v["level"], 1);
      EXPECT_EQ(v["severity"], "warning");
    }
  }
  EXPECT_TRUE(found);
}

TEST_F(TempDir, AModelWithoutViolationsExitsZero) {
  const auto file = Write("clean.json", R"({"format": "kelvo-model/1",
    "packages": [{"id": 1, "name": "Model", "parent": 0}],
    "elements": [{"id": 1, "package": 1, "name": "Customer", "stereotype": "Pool", "tags": [["Participant", "C"]]}]})");
  const auto result = Orbelt({"validate", file});
  EXPECT_EQ(result.status, 0) << result.out << result.err;
}

TEST_F(TempDir, AnUnreadableModelIsNamedAndTheOthersStillValidated) {
  const auto broken =
      Write("broken.json", R"({"format": "kelvo-model/1", "elements": [{"id": 1, "package": 9}]})");
  const auto result = Orbelt({"validate", broken, "--format", "json"});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("broken.json"), std::string::npos) << result.err;
  EXPECT_NE(result.err.find("package"), std::string::npos) << result.err;
}

TEST_F(TempDir, TheReportGoesToTheOutputFile) {
  const auto path = (dir_ / "report.json").string();
  const auto result = Orbelt({"validate", "--format", "json", "-o", path});
  EXPECT_EQ(result.status, 1);
  EXPECT_TRUE(result.out.empty());
  std::ifstream in(path);
  EXPECT_EQ(nlohmann::json::parse(in)["format"], "orbelt-report/1");
}

TEST(Validate, AnUnknownDiagramIsAnUnusableArgument) {
  const auto result = Orbelt({"validate", "--diagram", "No such diagram"});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("No such diagram"), std::string::npos) << result.err;
}

struct BadArguments {
  const char* name;
  std::vector<std::string> args;
};

class UnusableArguments : public testing::TestWithParam<BadArguments> {};

TEST_P(UnusableArguments, ExitWithStatusTwo) { EXPECT_EQ(Orbelt(GetParam().args).status, 2); }

INSTANTIATE_TEST_SUITE_P(
    Cases, UnusableArguments,
    testing::Values(BadArguments{"NoCommand", {}}, BadArguments{"UnknownCommand", {"lint"}},
                    BadArguments{"UnknownFormat", {"validate", "--format", "xml"}},
                    BadArguments{"MissingScenario", {"host"}},
                    BadArguments{"MissingFile", {"validate", "/no/such/model.json"}},
                    BadArguments{"MissingAddin", {"--addin", "/no/such/liborbelt.so", "validate"}},
                    BadArguments{"MissingAddinAfterCommand",
                                 {"validate", "--addin", "/no/such/liborbelt.so"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Version, NamesTheProgramAndTheTechnology) {
  const auto result = Orbelt({"--version"});
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("orbelt"), std::string::npos);
  EXPECT_NE(result.out.find("Tarrow Technology for BPMN"), std::string::npos);
}

TEST(Technology, WritesTheEmbeddedDocumentByteForByte) {
  const auto result = Orbelt({"technology"});
  ASSERT_EQ(result.status, 0) << result.err;
  std::ifstream built(ORBELT_BINARY_DIR "/generated/bpmn_technology.xml", std::ios::binary);
  const std::string expected{std::istreambuf_iterator<char>(built), std::istreambuf_iterator<char>()};
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(result.out, expected);
}

TEST_F(TempDir, RegisterAndUnregisterRunTheModulesSelfRegistration) {
  const auto registry = (dir_ / "registry.ini").string();
  setenv("KELVO_REGISTRY", registry.c_str(), 1);
  const auto registered = Orbelt({"register"});
  EXPECT_EQ(registered.status, 0) << registered.err;
  std::ifstream in(registry);
  const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  EXPECT_NE(text.find("[Orbelt.COrbelt]"), std::string::npos);
  EXPECT_EQ(Orbelt({"unregister"}).status, 0);
  std::ifstream after(registry);
  const std::string left{std::istreambuf_iterator<char>(after), std::istreambuf_iterator<char>()};
  EXPECT_EQ(left.find("Orbelt."), std::string::npos);
  unsetenv("KELVO_REGISTRY");
}

}  // namespace

namespace {

// A process with a start event leading to a task, and a second start event that leads nowhere.
const std::string kModelNs(bpmn::kModelNamespace);
const std::string kSmallProcess = R"(<?xml version="1.0" encoding="UTF-8"?>
<definitions xmlns=")" + kModelNs +
                                  R"(" id="Defs" name="Small">
  <process id="P1">
    <startEvent id="Start" name="Begin"/>
    <task id="Work" name="Do work"/>
    <startEvent id="Orphan" name="Forgotten"/>
    <sequenceFlow id="F1" sourceRef="Start" targetRef="Work"/>
  </process>
</definitions>
)";

TEST_F(TempDir, ValidatesBpmnFilesAndNamesTheirObjectsByBpmnId) {
  const auto file = Write("small.bpmn", kSmallProcess);
  const auto result = Orbelt({"validate", file, "--format", "json"});
  ASSERT_NE(result.status, 2) << result.err;
  const auto report = nlohmann::json::parse(result.out);
  ASSERT_EQ(report["models"].size(), 1u);
  EXPECT_EQ(report["models"][0]["file"], file);
  EXPECT_EQ(report["models"][0]["summary"]["elements"], 3);
  EXPECT_EQ(report["models"][0]["summary"]["connectors"], 1);
  const auto& violations = report["models"][0]["violations"];
  ASSERT_EQ(violations.size(), 1u) << violations.dump(1);
  EXPECT_EQ(violations[0]["object"]["key"], "Orphan");
  EXPECT_EQ(violations[0]["object"]["name"], "Forgotten");
  EXPECT_EQ(violations[0]["message"], "Start Event must be source for a Sequence Flow");
  EXPECT_EQ(result.status, 1);
}

TEST_F(TempDir, ABrokenBpmnFileIsRefusedWithItsLineAndTheOthersGoOn) {
  const auto good = Write("a.bpmn", kSmallProcess);
  const auto bad = Write("b.bpmn", "<definitions xmlns=\"" + kModelNs + "\">\n  <process>\n");
  const auto result = Orbelt({"validate", dir_.string(), "--format", "json"});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find(bad + ":"), std::string::npos) << result.err;
  const auto report = nlohmann::json::parse(result.out);
  ASSERT_EQ(report["models"].size(), 1u);
  EXPECT_EQ(report["models"][0]["file"], good);
}

TEST_F(TempDir, ConvertPrintsAModelThatValidatesAlike) {
  const auto bpmn = Write("small.bpmn", kSmallProcess);
  const auto converted = Orbelt({"convert", bpmn});
  ASSERT_EQ(converted.status, 0) << converted.err;
  const auto model = nlohmann::json::parse(converted.out);
  EXPECT_EQ(model["format"], "kelvo-model/1");
  const auto json_file = Write("small.json", converted.out);
  const auto from_bpmn = nlohmann::json::parse(Orbelt({"validate", bpmn, "--format", "json"}).out);
  const auto from_json = nlohmann::json::parse(Orbelt({"validate", json_file, "--format", "json"}).out);
  EXPECT_EQ(from_bpmn["models"][0]["violations"], from_json["models"][0]["violations"]);
  EXPECT_EQ(from_bpmn["models"][0]["summary"], from_json["models"][0]["summary"]);
}

TEST(Convert, AMissingFileIsUnusable) {
  const auto result = Orbelt({"convert", "/no/such/file.bpmn"});
  EXPECT_EQ(result.status, 2);
  EXPECT_NE(result.err.find("/no/such/file.bpmn"), std::string::npos);
}

}  // namespace
