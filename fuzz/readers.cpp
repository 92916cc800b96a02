#include "fuzz/readers.h"

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "bpmn/import.h"
#include "formats/model_file.h"
#include "formats/scenario_file.h"
#include "kelvo/input.h"
#include "kelvo/technology.h"
#include "platform/loader.h"
#include "platform/text.h"

namespace fuzz {

namespace {

// A fault of the reader, named by what it broke.
[[noreturn]] void Fault(const std::string& what) { throw std::logic_error(what); }

// A model that reads must write out as a document that reads back to the same model.
void ReadModel(std::string_view bytes) {
  try {
    const kelvo::ModelData model = formats::ParseModel(bytes, "fuzz.json");
    const std::string written = formats::WriteModel(model);
    if (formats::WriteModel(formats::ParseModel(written, "written.json")) != written) {
      Fault("a written model reads back different");
    }
  } catch (const kelvo::InputError&) {
  }
}

// A model named by path is looked for in a folder that does not exist.
void ReadScenario(std::string_view bytes) {
  try {
    formats::ParseScenario(bytes, "fuzz.json", "/nonexistent-fuzz-folder");
  } catch (const kelvo::InputError&) {
  }
}

// The BPMN technology as the build made it; ORBELT_TECHNOLOGY_FILE names the document.
const kelvo::Technology& BpmnTechnology() {
  static const kelvo::Technology kTechnology = kelvo::ParseTechnology(
      platform::FromUtf8(kelvo::ReadFile(ORBELT_TECHNOLOGY_FILE)), ORBELT_TECHNOLOGY_FILE);
  return kTechnology;
}

void ReadBpmn(std::string_view bytes) {
  try {
    bpmn::ImportText(std::string(bytes), "fuzz.bpmn", BpmnTechnology());
  } catch (const kelvo::InputError&) {
  }
}

// The document as the add-in hands it over, decoded from UTF-8 so that wide characters occur.
void ReadTechnology(std::string_view bytes) {
  try {
    kelvo::ParseTechnology(platform::FromUtf8(bytes), "fuzz.xml");
  } catch (const kelvo::InputError&) {
  }
}

// A file of this process's own, removed at exit.
class ScratchFile {
 public:
  ScratchFile() : path_((std::filesystem::temp_directory_path() / "orbelt-fuzz-XXXXXX").string()) {
    const int fd = mkstemp(path_.data());
    if (fd < 0) throw std::runtime_error(path_ + ": cannot be made");
    close(fd);
  }
  ~ScratchFile() { std::filesystem::remove(path_); }
  ScratchFile(const ScratchFile&) = delete;
  ScratchFile& operator=(const ScratchFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

// The same bytes, but for a line end after the last line if it had none.
bool GivenBack(std::string_view before, std::string_view after) {
  if (after == before) return true;
  if (before.ends_with('\n') || !after.starts_with(before)) return false;
  const std::string_view added = after.substr(before.size());
  return added == "\n" || added == "\r\n";
}

// Registering over a registry file changes only our own section: every other section reads as
// before, and unregistering again gives the file back byte for byte (its last line ended, if it
// was not).
void ReadRegistry(std::string_view bytes) {
  static const ScratchFile kScratch;
  const std::string& path = kScratch.path();
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::ssize(bytes));
  const std::string ours_name = "Orbelt.Fuzz";
  const platform::Registry::Section ours{{"Path", "/fuzz/orbelt"}, {"Class", "Orbelt.COrbelt"}};
  try {
    platform::Registry registry(path);
    if (registry.sections().contains(ours_name)) return;
    auto expected = registry.sections();
    expected[ours_name] = ours;
    registry.Set(ours_name, ours);
    registry.Save();
    platform::Registry registered(path);
    if (registered.sections() != expected) Fault("registering changed other sections");
    registered.Remove(ours_name);
    registered.Save();
    if (!GivenBack(bytes, kelvo::ReadFile(path))) Fault("unregistering did not give the file back");
  } catch (const std::logic_error&) {
    throw;
  } catch (const std::exception&) {
  }
}

constexpr Reader kReaders[] = {
    {"model", ReadModel},           {"scenario", ReadScenario}, {"bpmn", ReadBpmn},
    {"technology", ReadTechnology}, {"registry", ReadRegistry},
};

}  // namespace

std::span<const Reader> Readers() { return kReaders; }

const Reader* FindReader(std::string_view name) {
  const auto* found = std::ranges::find(kReaders, name, &Reader::name);
  return found == std::end(kReaders) ? nullptr : found;
}

}  // namespace fuzz
