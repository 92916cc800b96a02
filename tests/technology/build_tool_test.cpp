// The document builder run on copies of the sources: it reproduces the built document, and
// refuses faulty sources with a message that names the file and the item.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "technology/document_files.h"

namespace {

namespace fs = std::filesystem;
using technology_test::ReadBytes;

// A scratch copy of the sources, removed afterwards.
class SourceCopy {
 public:
  explicit SourceCopy(const std::string& name)
      : dir_(fs::temp_directory_path() / ("orbelt_technology_" + name + "_" + std::to_string(::getpid()))) {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    for (const char* source : {"document.xml", "quicklinks.csv", "scripts"})
      fs::copy(technology_test::SourcePath(source), dir_ / source);
  }
  ~SourceCopy() { fs::remove_all(dir_); }

  fs::path output() const { return dir_ / "out.xml"; }
  fs::path errors() const { return dir_ / "errors.txt"; }

  // Replaces the first `from` in the source `file` by `to`.
  void Spoil(const std::string& file, const std::string& from, const std::string& to) const {
    std::string text = ReadBytes(dir_ / file);
    text.replace(text.find(from), from.size(), to);
    std::ofstream(dir_ / file, std::ios::binary) << text;
  }

  // Runs the builder; returns its exit status.
  int Build() const {
    const fs::path tool = fs::path(ORBELT_BINARY_DIR) / "build_technology";
    const std::string command = tool.string() + " " + (dir_ / "document.xml").string() + " " +
                                (dir_ / "scripts").string() + " " + (dir_ / "quicklinks.csv").string() + " " +
                                output().string() + " 2>" + errors().string();
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

 private:
  fs::path dir_;
};

TEST(BuildTool, ReproducesTheBuiltDocument) {
  const SourceCopy sources("same");
  ASSERT_EQ(sources.Build(), 0) << ReadBytes(sources.errors());
  EXPECT_EQ(ReadBytes(sources.output()), technology_test::BuiltDocument());
}

TEST(BuildTool, RefusesFaultySources) {
  struct Row {
    std::string file, from, to;
    std::string message;  // what the error names
  };
  const std::vector<Row> rows = {
      {"quicklinks.csv", ",TRUE,TRUE,TRUE,Activity,0,,,,,", ",TRUE,TRUE,TRUE,Activity,0,,,,",
       "quicklinks.csv:2: has 22 fields, expected 23"},
      {"quicklinks.csv", "Event,StartEvent", "\"Event\",StartEvent",
       "quicklinks.csv:2: fields are never quoted"},
      {"quicklinks.csv", "//Source", "Source", "quicklinks.csv:1: the header line must begin with \"//\""},
      {"scripts/Gateway.txt", "{\n", "{\r\n", "Gateway.txt:2: carriage return found"},
      {"document.xml", "BPMN Lane object", "BPMN Lane \xC3\xB6",
       "document.xml:269: character beyond 7-bit ASCII"},
      {"document.xml", "@SCRIPT:DataObject@", "@SCRIPT:Missing@", "Missing.txt: cannot be read"},
      {"document.xml", "@SCRIPT:Gateway@", "", "Gateway.txt: script is not placed in document.xml"},
      {"document.xml", "@SCRIPT:Association@", "@SCRIPT:MessageFlow@", "script MessageFlow is placed twice"},
      {"document.xml", "@QUICKLINKS@", "", "no placeholder @QUICKLINKS@"},
  };
  for (const Row& row : rows) {
    const SourceCopy sources("spoilt");
    sources.Spoil(row.file, row.from, row.to);
    EXPECT_EQ(sources.Build(), 1) << row.message;
    const std::string errors = ReadBytes(sources.errors());
    EXPECT_NE(errors.find(row.message), std::string::npos) << row.message << ": " << errors;
  }
}

}  // namespace
