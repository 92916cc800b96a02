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
using nlohmann::json;

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

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
const std::string kBrokenProcess = "<definitions xmlns=\"" + kModelNs + "\">\n  <process>\n";

class TempDir : public testing::Test {
 protected:
  void SetUp() override {
    static int count = 0;
    dir_ = fs::temp_directory_path() /
           ("orbelt-cli-" + std::to_string(::getpid()) + "-" + std::to_string(++count));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Write(const std::string& name, const std::string& text) {
    std::ofstream(dir_ / name, std::ios::binary) << text;
    return (dir_ / name).string();
  }
  fs::path dir_;
};

TEST(Validate, TheBundledSampleInBothReportFormats) {
  const auto text = Orbelt({"validate"});
  EXPECT_EQ(text.status, 1) << text.err;
  EXPECT_NE(
      text.out.find("  warning: element Pool_OrderDesk \"Order Desk\" (Pool): Participant for a Pool must be "
                    "defined [BPMN Swimlane constraints]\n"),
      std::string::npos)
      << text.out;
  const auto report = Orbelt({"validate", "--format", "json"});
  ASSERT_EQ(report.status, 1) << report.err;
  const auto model = json::parse(report.out)["models"][0];
  EXPECT_EQ(model["diagram"]["id"], 5);
  EXPECT_EQ(model["summary"], json::parse(R"({"elements": 16, "connectors": 13, "errors": 4, "warnings": 5,
                                               "failures": 0})"));
}

TEST_F(TempDir, ACleanModelExitsZeroAndTheReportGoesToTheOutputFile) {
  const auto file = Write("clean.json", R"({"format": "kelvo-model/1",
    "packages": [{"id": 1, "name": "Model", "parent": 0}],
    "elements": [{"id": 1, "package": 1, "name": "Customer", "stereotype": "Pool", "tags": [["Participant", "C"]]}]})");
  const auto report = (dir_ / "report.json").string();
  const auto result = Orbelt({"validate", file, "--format", "json", "-o", report});
  EXPECT_EQ(result.status, 0) << result.err;
  EXPECT_TRUE(result.out.empty());
  EXPECT_EQ(json::parse(ReadFile(report))["models"][0]["file"], file);
}

// Arguments and inputs that cannot be used: status 2 and a message naming the argument or the
// file and the item. "@NAME" stands for a file of the test's folder.
struct Unusable {
  const char* name;
  std::vector<std::string> args;
  std::string message;
};

void PrintTo(const Unusable& row, std::ostream* out) { *out << row.name; }

class UnusableInput : public TempDir, public testing::WithParamInterface<Unusable> {};

TEST_P(UnusableInput, ExitsWithStatusTwoAndSaysWhy) {
  Write("broken.json", R"({"format": "kelvo-model/1", "elements": [{"id": 1, "package": 9}]})");
  Write("broken.bpmn", kBrokenProcess);
  std::vector<std::string> args = GetParam().args;
  for (auto& arg : args) {
    if (arg.starts_with("@")) arg = (dir_ / arg.substr(1)).string();
  }
  const auto result = Orbelt(args);
  EXPECT_EQ(result.status, 2);
  std::string message = GetParam().message;
  if (message.starts_with("@")) message = (dir_ / message.substr(1)).string();
  EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, UnusableInput,
    testing::Values(
        Unusable{"NoCommand", {}, "A subcommand is required"},
        Unusable{
            "UnknownCommand", {"valdiate"}, "\"valdiate\" is not a command; the commands are validate, host"},
        Unusable{"UnknownFormat", {"validate", "--format", "xml"}, "xml"},
        Unusable{"MissingScenario", {"host"}, "SCENARIO"},
        Unusable{"MissingFile", {"validate", "/no/such/model.json"}, "/no/such/model.json"},
        Unusable{"EndlessFile", {"validate", "/dev/zero"}, "/dev/zero: the file is larger than 256 MiB"},
        Unusable{"MissingAddin", {"--addin", "/no/such/liborbelt.so", "validate"}, "/no/such/liborbelt.so"},
        Unusable{"MissingAddinAfterCommand",
                 {"validate", "--addin", "/no/such/liborbelt.so"},
                 "/no/such/liborbelt.so"},
        Unusable{
            "UnknownDiagram", {"validate", "--diagram", "Sales"}, "no diagram has the id or name \"Sales\""},
        Unusable{"BrokenModel",
                 {"validate", "@broken.json"},
                 "@broken.json: elements[0] (id 1): its package 9 does not exist"},
        Unusable{"BrokenBpmn", {"validate", "@broken.bpmn"}, "@broken.bpmn:2:12: not well-formed XML"},
        Unusable{"ConvertMissingFile", {"convert", "/no/such/file.bpmn"}, "/no/such/file.bpmn"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TempDir, AnUnreadableInputDoesNotStopTheOthers) {
  // A broken file, a missing path and a link to itself in a subfolder are each reported in turn.
  const auto good = Write("a.bpmn", kSmallProcess);
  const auto broken = Write("b.bpmn", kBrokenProcess);
  fs::create_directory(dir_ / "c");
  fs::create_symlink("loop.json", dir_ / "c" / "loop.json");
  const auto result = Orbelt({"validate", dir_.string(), "/no/such/folder", "--format", "json"});
  EXPECT_EQ(result.status, 2);
  const auto report = json::parse(result.out);
  ASSERT_EQ(report["models"].size(), 1u);
  EXPECT_EQ(report["models"][0]["file"], good);
  const auto broken_at = result.err.find(broken + ":2:12: not well-formed XML");
  const auto loop_at = result.err.find((dir_ / "c" / "loop.json").string() + ": cannot be read: ");
  const auto missing_at = result.err.find("/no/such/folder: no such file or folder");
  EXPECT_LT(broken_at, loop_at) << result.err;
  EXPECT_LT(loop_at, missing_at) << result.err;
  EXPECT_NE(missing_at, std::string::npos) << result.err;
}

TEST_F(TempDir, BpmnFilesAreValidatedAsTheirConvertedModel) {
  const auto bpmn = Write("small.bpmn", kSmallProcess);
  const auto from_bpmn = Orbelt({"validate", bpmn, "--format", "json"});
  EXPECT_EQ(from_bpmn.status, 1) << from_bpmn.err;
  const auto model = json::parse(from_bpmn.out)["models"][0];
  EXPECT_EQ(model["file"], bpmn);
  ASSERT_EQ(model["violations"].size(), 1u) << model.dump(1);
  EXPECT_EQ(model["violations"][0]["object"]["key"], "Orphan");
  EXPECT_EQ(model["violations"][0]["object"]["name"], "Forgotten");
  EXPECT_EQ(model["violations"][0]["message"], "Start Event must be source for a Sequence Flow");

  const auto converted = Orbelt({"convert", bpmn});
  ASSERT_EQ(converted.status, 0) << converted.err;
  EXPECT_EQ(json::parse(converted.out)["format"], "kelvo-model/1");
  const auto from_json = Orbelt({"validate", Write("small.json", converted.out), "--format", "json"});
  const auto json_model = json::parse(from_json.out)["models"][0];
  EXPECT_EQ(json_model["violations"], model["violations"]);
  EXPECT_EQ(json_model["summary"], model["summary"]);
}

// Files validated on several threads report exactly as on one: the same report, the same
// messages for unreadable files, in the order the files were named, and the same status.
class ParallelValidation : public TempDir, public testing::WithParamInterface<const char*> {};

TEST_P(ParallelValidation, ReportsByteForByteAsOneThreadDoes) {
  const std::string corpus = ORBELT_SOURCE_DIR "/tests/data/bpmn/";
  Write("broken.bpmn", kBrokenProcess);
  const std::vector<std::string> inputs{corpus + "bpmn-js", Write("a.bpmn", kSmallProcess), dir_.string(),
                                        corpus + "bpmnlint"};
  const auto run = [&](const char* jobs) {
    std::vector<std::string> args{"validate", "--format", GetParam(), "-j", jobs};
    args.insert(args.end(), inputs.begin(), inputs.end());
    return Orbelt(args);
  };
  const auto one = run("1");
  const auto several = run("3");
  EXPECT_EQ(one.status, 2);
  EXPECT_NE(one.err.find("broken.bpmn:2:12: not well-formed XML"), std::string::npos) << one.err;
  EXPECT_EQ(several.status, one.status);
  EXPECT_EQ(several.out, one.out);
  EXPECT_EQ(several.err, one.err);
}

INSTANTIATE_TEST_SUITE_P(Formats, ParallelValidation, testing::Values("text", "json"));

// --stats counts every host member the add-in uses, exactly: as many as a traced session lists
// for a validation run of the same model.
TEST_F(TempDir, StatsCountTheHostCallsThatATraceLists) {
  const std::string sample = ORBELT_SOURCE_DIR "/cli/sample/orders.json";
  const auto stats = Orbelt({"validate", sample, "--stats", "--format", "json"});
  const auto model = json::parse(stats.out)["models"][0];
  const auto scenario = Write("play.json", R"({"format": "kelvo-scenario/1", "model": ")" + sample +
                                               R"(", "trace": true, "steps": [{"host": "validate"}]})");
  const auto played = Orbelt({"host", scenario});
  ASSERT_EQ(played.status, 0) << played.err;
  EXPECT_EQ(model["stats"]["hostCalls"], json::parse(played.out)["steps"][0]["calls"].size());
  EXPECT_GT(model["stats"]["seconds"]["validation"], 0.0);
  EXPECT_GT(model["stats"]["peakMemoryBytes"], 0);
}

// Standard output that refuses every write, as a full disk does; no command may claim success.
class FullOutput final : public orbelt::cli::Output {
 public:
  FullOutput() { out_.setstate(std::ios::badbit); }
  std::ostream& out() override { return out_; }
  std::ostream& err() override { return err_; }
  std::ostringstream out_, err_;
};

TEST(ModuleCommands, AFailedWriteToTheStandardOutputIsAnError) {
  for (const std::vector<const char*>& argv :
       {std::vector<const char*>{"orbelt", "validate"},
        {"orbelt", "convert", ORBELT_SOURCE_DIR "/cli/sample/orders.json"},
        {"orbelt", "technology"},
        {"orbelt", "host", ORBELT_SOURCE_DIR "/tests/data/scenarios/shell_session.json"}}) {
    FullOutput output;
    EXPECT_EQ(orbelt::cli::Run(static_cast<int>(argv.size()), argv.data(), output), 2) << argv[1];
    EXPECT_NE(output.err_.str().find("cannot write the standard output"), std::string::npos) << argv[1];
  }
}

TEST(ModuleCommands, VersionNamesTheProgramAndTheTechnology) {
  const auto result = Orbelt({"--version"});
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.out.find("orbelt"), std::string::npos);
  EXPECT_NE(result.out.find("Tarrow Technology for BPMN"), std::string::npos);
}

TEST(ModuleCommands, TechnologyWritesTheEmbeddedDocumentByteForByte) {
  const auto result = Orbelt({"technology"});
  ASSERT_EQ(result.status, 0) << result.err;
  const std::string expected = ReadFile(ORBELT_BINARY_DIR "/generated/bpmn_technology.xml");
  ASSERT_FALSE(expected.empty());
  EXPECT_EQ(result.out, expected);
}

TEST_F(TempDir, RegisterAndUnregisterRunTheModulesSelfRegistration) {
  const auto registry = dir_ / "registry.ini";
  setenv("KELVO_REGISTRY", registry.c_str(), 1);
  const auto registered = Orbelt({"register"});
  EXPECT_EQ(registered.status, 0) << registered.err;
  EXPECT_NE(ReadFile(registry).find("[Orbelt.COrbelt]"), std::string::npos);
  EXPECT_EQ(Orbelt({"unregister"}).status, 0);
  EXPECT_EQ(ReadFile(registry).find("Orbelt."), std::string::npos);
  const auto named = Orbelt({"register", "/no/such/module.so"});  // a named module is the one registered
  EXPECT_EQ(named.status, 2);
  EXPECT_NE(named.err.find("/no/such/module.so"), std::string::npos);
  unsetenv("KELVO_REGISTRY");
}

}  // namespace
