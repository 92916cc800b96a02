// Golden sessions: each scenario under tests/data/scenarios is played with `orbelt host` and its
// transcript compared with the reviewed one under tests/data/transcripts.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>

#include "cli/cli.h"

namespace {

namespace fs = std::filesystem;

const fs::path kData = fs::path(ORBELT_SOURCE_DIR) / "tests" / "data";

class GoldenSession : public testing::TestWithParam<std::string> {};

TEST_P(GoldenSession, PlaysToTheReviewedTranscript) {
  const std::string scenario = (kData / "scenarios" / (GetParam() + ".json")).string();
  const char* argv[] = {"orbelt", "host", scenario.c_str()};
  orbelt::cli::StringOutput output;
  ASSERT_EQ(orbelt::cli::Run(3, argv, output), 0) << output.err_text();
  std::ifstream expected_file(kData / "transcripts" / (GetParam() + ".json"));
  const auto expected = nlohmann::ordered_json::parse(expected_file);
  const auto actual = nlohmann::ordered_json::parse(output.out_text());
  ASSERT_EQ(actual["steps"].size(), expected["steps"].size());
  for (std::size_t i = 0; i < expected["steps"].size(); ++i) {
    EXPECT_EQ(actual["steps"][i], expected["steps"][i]) << "step " << i + 1;
  }
  EXPECT_EQ(actual, expected);
}

// Shell: menus, load, new diagram, About, unknown captions, new element, unload (traced).
// Old host: build 794 menus and refusals, root and missing package for a new diagram.
// Validation: runs before initialization, an injected report failure, rule runs, a whole run.
INSTANTIATE_TEST_SUITE_P(Sessions, GoldenSession,
                         testing::Values("shell_session", "old_host", "validation_session"));

}  // namespace
