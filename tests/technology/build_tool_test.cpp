// The document builder run on copies of the sources: it reproduces the built document, and
// refuses faulty sources with a message that names the file and the item.

#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "technology/document_files.h"

namespace {

namespace fs = std::filesystem;
using technology_test::ReadBytes;

void WriteBytes(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

void ReplaceInFile(const fs::path& path, const std::string& from, const std::string& to) {
  std::string text = ReadBytes(path);
  text.replace(text.find(from), from.size(), to);
  WriteBytes(path, text);
}

// A scratch copy of the sources, removed afterwards.
class SourceCopy {
 public:
  explicit SourceCopy(const std::string& name)
      : dir_(fs::temp_directory_path() / ("orbelt_technology_" + name + "_" + std::to_string(::getpid()))) {
    fs::remove_all(dir_);
    fs::create_directories(dir_);
    fs::copy(technology_test::SourcePath("document.xml"), skeleton());
    fs::copy(technology_test::SourcePath("quicklinks.csv"), quick_links());
    fs::copy(technology_test::SourcePath("scripts"), scripts());
  }
  ~SourceCopy() { fs::remove_all(dir_); }

  fs::path skeleton() const { return dir_ / "document.xml"; }
  fs::path quick_links() const { return dir_ / "quicklinks.csv"; }
  fs::path scripts() const { return dir_ / "scripts"; }
  fs::path output() const { return dir_ / "out.xml"; }
  fs::path errors() const { return dir_ / "errors.txt"; }

  // Runs the builder; returns its exit status.
  int Build() const {
    const fs::path tool = fs::path(ORBELT_BINARY_DIR) / "build_technology";
    const std::string command = tool.string() + " " + skeleton().string() + " " + scripts().string() + " " +
                                quick_links().string() + " " + output().string() + " 2>" + errors().string();
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
    const char* name;
    std::function<void(const SourceCopy&)> spoil;
    std::string message;  // what the error names
  };
  const std::vector<Row> rows = {
      {"quick-link line with a field too few",
       [](const SourceCopy& s) {
         ReplaceInFile(s.quick_links(), ",TRUE,TRUE,TRUE,Activity,0,,,,,", ",TRUE,TRUE,TRUE,Activity,0,,,,");
       },
       "quicklinks.csv:2: has 22 fields, expected 23"},
      {"quoted quick-link field",
       [](const SourceCopy& s) {
         ReplaceInFile(s.quick_links(), "Event,StartEvent", "\"Event\",StartEvent");
       },
       "quicklinks.csv:2: fields are never quoted"},
      {"quick-link header without //",
       [](const SourceCopy& s) { ReplaceInFile(s.quick_links(), "//Source", "Source"); },
       "quicklinks.csv:1: the header line must begin with \"//\""},
      {"script with CR LF line ends",
       [](const SourceCopy& s) { ReplaceInFile(s.scripts() / "Gateway.txt", "{\n", "{\r\n"); },
       "Gateway.txt:2: carriage return found"},
      {"skeleton beyond 7-bit ASCII",
       [](const SourceCopy& s) { ReplaceInFile(s.skeleton(), "BPMN Lane object", "BPMN Lane \xC3\xB6"); },
       "document.xml:269: character beyond 7-bit ASCII"},
      {"script missing", [](const SourceCopy& s) { fs::remove(s.scripts() / "DataObject.txt"); },
       "DataObject.txt: cannot be read"},
      {"script not placed",
       [](const SourceCopy& s) { WriteBytes(s.scripts() / "Pool.txt", "shape main\n{\n}\n"); },
       "Pool.txt: script is not placed in document.xml"},
      {"script placed twice",
       [](const SourceCopy& s) {
         ReplaceInFile(s.skeleton(), "@SCRIPT:Association@", "@SCRIPT:MessageFlow@");
       },
       "script MessageFlow is placed twice"},
      {"no quick-link placeholder",
       [](const SourceCopy& s) { ReplaceInFile(s.skeleton(), "@QUICKLINKS@", ""); },
       "no placeholder @QUICKLINKS@"},
  };
  for (const Row& row : rows) {
    const SourceCopy sources("spoilt");
    row.spoil(sources);
    EXPECT_EQ(sources.Build(), 1) << row.name;
    const std::string errors = ReadBytes(sources.errors());
    EXPECT_NE(errors.find(row.message), std::string::npos) << row.name << ": " << errors;
  }
}

}  // namespace
