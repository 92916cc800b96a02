// The soak's session (bench/soak.cpp plays 100,000 steps of it) for a hundred cycles: every step
// answers as it did the first time.
#include <gtest/gtest.h>

#include "bench/soak_session.h"
#include "support/addin_path.h"

namespace {

TEST(Soak, AHundredCyclesAnswerAsTheFirst) {
  const platform::LoadedModule module(test_support::AddinPath());
  soak::Session session(module, 60);
  while (session.played() < 1100) {
    const auto difference = session.PlayNext();
    ASSERT_FALSE(difference) << *difference;
  }
}

}  // namespace
