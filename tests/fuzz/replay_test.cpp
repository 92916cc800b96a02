// Inputs the fuzz targets found, kept under tests/data/fuzz/<reader>/ (fuzz/readers.h): each
// must still end in a result or its reader's refusal.
#include <gtest/gtest.h>

#include <filesystem>

#include "fuzz/readers.h"
#include "kelvo/input.h"

namespace {

namespace fs = std::filesystem;

TEST(FuzzFindings, EveryKeptInputEndsInAResultOrARefusal) {
  const fs::path kept = fs::path(ORBELT_SOURCE_DIR) / "tests/data/fuzz";
  for (const fuzz::Reader& reader : fuzz::Readers()) {
    ASSERT_TRUE(fs::is_directory(kept / reader.name)) << reader.name << " has no kept inputs";
    for (const auto& input : fs::directory_iterator(kept / reader.name)) {
      SCOPED_TRACE(input.path().string());
      EXPECT_NO_THROW(reader.read(kelvo::ReadFile(input.path().string())));
    }
  }
}

}  // namespace
