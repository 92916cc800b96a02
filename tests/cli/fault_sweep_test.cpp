// The fault sweep: each golden scenario is played once as written, then once for every call the
// add-in makes to the host, with that one call failing. What a host user relies on must hold
// every time: the event that met the failure returns a host error naming the call, what came
// before the failure (earlier steps, and the violations and message boxes of the failing step)
// stays as in the unfailed session, and the session goes on to play every later step.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "formats/scenario_file.h"
#include "formats/transcript.h"
#include "kelvo/scenario.h"
#include "platform/loader.h"
#include "support/addin_path.h"

namespace {

namespace fs = std::filesystem;

// One call of the add-in to the host: the member, which call of it in the session, in which step.
struct Position {
  std::string member;
  std::int64_t nth = 0;
  std::size_t step = 0;
};

std::vector<Position> CallPositions(const std::vector<kelvo::PlayedStep>& played) {
  std::map<std::string, std::int64_t> counts;
  std::vector<Position> positions;
  for (std::size_t step = 0; step < played.size(); ++step) {
    for (const std::string& line : *played[step].calls) {
      const std::string member = line.substr(0, line.find_first_of("(="));
      positions.push_back({member, ++counts[member], step});
    }
  }
  return positions;
}

// The steps as the transcript shows them.
formats::Json Steps(const kelvo::Scenario& scenario, const platform::LoadedModule& module) {
  return formats::TranscriptJson(kelvo::PlayScenario(scenario, module))["steps"];
}

bool StartsWith(const formats::Json& list, const formats::Json& prefix) {
  if (prefix.size() > list.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (list[i] != prefix[i]) return false;
  }
  return true;
}

// Every item of `part` is in `list`, in the same order.
bool Within(const formats::Json& list, const formats::Json& part) {
  std::size_t at = 0;
  for (const formats::Json& item : list) {
    if (at < part.size() && part[at] == item) ++at;
  }
  return at == part.size();
}

// The faulted step reports the failure: as the event's error, or for a validation run as a
// failure of one of its rule runs.
bool ReportsFailure(const formats::Json& step, const std::string& message) {
  auto names = [&](const formats::Json& error) {
    return error.is_object() && error["kind"] == "host" &&
           error["message"].get<std::string>().starts_with(message);
  };
  if (names(step["error"])) return true;
  if (!step.contains("failures")) return false;
  for (const formats::Json& failure : step["failures"]) {
    if (names(failure["error"])) return true;
  }
  return false;
}

void Sweep(const fs::path& file, const platform::LoadedModule& module) {
  kelvo::Scenario scenario = formats::LoadScenarioFile(file.string());
  scenario.trace = true;
  const std::vector<kelvo::PlayedStep> unfailed = kelvo::PlayScenario(scenario, module);
  const formats::Json expected = formats::TranscriptJson(unfailed)["steps"];
  const std::vector<Position> positions = CallPositions(unfailed);
  ASSERT_FALSE(positions.empty());
  for (const Position& at : positions) {
    SCOPED_TRACE(at.member + " call " + std::to_string(at.nth) + " in step " + std::to_string(at.step + 1));
    kelvo::Scenario faulted = scenario;
    faulted.faults.push_back({at.member, at.nth});
    const formats::Json steps = Steps(faulted, module);
    ASSERT_EQ(steps.size(), expected.size());
    for (std::size_t i = 0; i < at.step; ++i) ASSERT_EQ(steps[i], expected[i]) << "step " << i + 1;
    const std::string message = at.member + " failed (call " + std::to_string(at.nth) + " of it";
    const formats::Json& step = steps[at.step];
    EXPECT_TRUE(ReportsFailure(step, message)) << step.dump();
    // An event stops at the failure; a validation run records the failed rule run and goes on.
    const formats::Json& unfailed_violations = expected[at.step]["violations"];
    EXPECT_TRUE(step.contains("failures") ? Within(unfailed_violations, step["violations"])
                                          : StartsWith(unfailed_violations, step["violations"]))
        << step.dump();
    EXPECT_TRUE(StartsWith(expected[at.step]["messageBoxes"], step["messageBoxes"])) << step.dump();
    for (std::size_t i = at.step + 1; i < steps.size(); ++i) {
      EXPECT_FALSE(ReportsFailure(steps[i], message)) << "step " << i + 1 << " fails again";
    }
  }
}

TEST(FaultSweep, EveryHostCallOfEveryGoldenSessionFailsCleanly) {
  const platform::LoadedModule module(test_support::AddinPath());
  for (const auto& entry : fs::directory_iterator(fs::path(ORBELT_SOURCE_DIR) / "tests/data/scenarios")) {
    SCOPED_TRACE(entry.path().filename().string());
    Sweep(entry.path(), module);
  }
}

}  // namespace
