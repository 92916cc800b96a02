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

// Registering over a registry file keeps every other section as it was read, and the section
// written reads back.
void ReadRegistry(std::string_view bytes) {
  static const ScratchFile kScratch;
  const std::string& path = kScratch.path();
  std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), std::ssize(bytes));
  try {
    platform::Registry registry(path);
    auto expected = registry.sections();
    const platform::Registry::Section ours{{"Path", "/fuzz/orbelt"}, {"Class", "Orbelt.COrbelt"}};
    registry.Set("Orbelt.Fuzz", ours);
    registry.Save();
    expected["Orbelt.Fuzz"] = ours;
    if (platform::Registry(path).sections() != expected) Fault("registering changed other sections");
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
