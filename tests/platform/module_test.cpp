// The add-in module as the host meets it: loaded at run time by its entry points.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "platform/loader.h"
#include "support/addin_path.h"

namespace {

class Module : public testing::Test {
 protected:
  platform::LoadedModule module_{test_support::AddinPath()};
};

TEST_F(Module, MarksItselfSelfRegistering) { EXPECT_TRUE(module_.Version().ole_self_register); }

TEST_F(Module, DescribesItsClassesAndInterfacesInDeclaredOrder) {
  const auto library = module_.TypeLibrary();
  EXPECT_EQ(library.name, "Orbelt");
  ASSERT_EQ(library.classes.size(), 2u);
  EXPECT_EQ(library.classes[0].name, "COrbelt");
  EXPECT_EQ(library.classes[0].default_interface.name, "_COrbelt");
  EXPECT_EQ(library.classes[0].default_interface.operations,
            (std::vector<std::string>{
                "Class_Initialize", "Class_Terminate", "Kelvo_GetMenuItems", "Kelvo_MenuClick",
                "ShowTechnology", "HideTechnology", "DoLoad", "DoUnload", "DoNewDiagram",
                "Kelvo_OnPostNewElement", "Kelvo_OnInitializeUserRules", "Kelvo_OnRunElementRule",
                "Kelvo_OnRunConnectorRule", "Kelvo_OnStartValidation", "Kelvo_OnEndValidation"}));
  EXPECT_EQ(library.classes[1].name, "CBPMNRules");
  EXPECT_EQ(library.classes[1].default_interface.name, "_CBPMNRules");
  EXPECT_EQ(library.classes[1].default_interface.operations,
            (std::vector<std::string>{"Class_Initialize", "Class_Terminate", "ConfigureCategories",
                                      "ConfigureRules", "RunConnectorRule", "RunElementRule",
                                      "BeginValidationRun", "EndValidationRun"}));
}

TEST_F(Module, ServesAFactoryForCOrbeltOnly) {
  EXPECT_NE(module_.CreateObject("Orbelt.COrbelt"), nullptr);
  EXPECT_THROW(module_.CreateObject("Orbelt.CBPMNRules"), std::runtime_error);
  EXPECT_THROW(module_.CreateObject("orbelt.corbelt"), std::runtime_error);
}

TEST_F(Module, CanUnloadOnlyWhenNoObjectLives) {
  EXPECT_EQ(module_.CanUnloadNow(), platform::kOk);
  {
    auto object = module_.CreateObject("Orbelt.COrbelt");
    EXPECT_EQ(module_.CanUnloadNow(), platform::kFalse);
  }
  EXPECT_EQ(module_.CanUnloadNow(), platform::kOk);
}

class Registration : public Module {
 protected:
  void SetUp() override {
    path_ =
        std::filesystem::temp_directory_path() / ("orbelt-registry-" + std::to_string(::getpid()) + ".ini");
    std::filesystem::remove(path_);
    setenv("KELVO_REGISTRY", path_.c_str(), 1);
  }
  void TearDown() override {
    unsetenv("KELVO_REGISTRY");
    std::filesystem::remove(path_);
  }
  std::filesystem::path path_;
};

std::string FileText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

TEST_F(Registration, RegistersBothClassesAndTheLibraryThenRemovesThem) {
  // Everything of the file but our own sections survives both steps byte for byte.
  const std::string kOthers =
      "top=before any section\n; a comment\r\n[Other.Thing]\r\nmodule=/opt/other.so\r\n\r\n# last\r\n";
  std::ofstream(path_, std::ios::binary) << kOthers;

  ASSERT_EQ(module_.RegisterServer(), platform::kOk);
  const auto registered = platform::Registry::Open().sections();
  ASSERT_TRUE(registered.count("Orbelt.COrbelt"));
  EXPECT_EQ(registered.at("Orbelt.COrbelt").at("module"), module_.path());
  EXPECT_EQ(registered.at("Orbelt.COrbelt").at("interface"), "_COrbelt");
  EXPECT_EQ(registered.at("Orbelt.CBPMNRules").at("creatable"), "no");
  EXPECT_EQ(registered.at("TypeLib.Orbelt").at("classes"), "COrbelt,CBPMNRules");
  EXPECT_EQ(registered.at("Other.Thing").at("module"), "/opt/other.so");
  ASSERT_EQ(module_.RegisterServer(), platform::kOk);  // again: the sections are replaced in place

  ASSERT_EQ(module_.UnregisterServer(), platform::kOk);
  EXPECT_EQ(FileText(path_), kOthers);
}

TEST_F(Registration, ReportsAFailureAndItsReasonWhenTheRegistryCannotBeReadOrWritten) {
  // A registry that cannot be read is left alone, not overwritten as if it were empty.
  std::filesystem::create_directory(path_);
  for (const std::string& path :
       std::vector<std::string>{"/proc/orbelt-cannot-write/registry.ini", "/dev/zero", path_.string()}) {
    setenv("KELVO_REGISTRY", path.c_str(), 1);
    EXPECT_EQ(module_.RegisterServer(), platform::kRegistrationFailed) << path;
    EXPECT_NE(platform::TakeErrorInfo().find(path), std::string::npos) << path;
    EXPECT_EQ(platform::TakeErrorInfo(), "");  // taken once
  }
  EXPECT_TRUE(std::filesystem::is_empty(path_));
}

// No C++ exception crosses the module boundary: failures come back as error results.
class Boundary : public Module {
 protected:
  platform::CallResult Call(const std::string& operation, std::vector<host::Variant> args) {
    std::vector<host::Variant*> refs;
    for (auto& a : args) refs.push_back(&a);
    return object_->Invoke(std::u16string(operation.begin(), operation.end()), refs);
  }
  std::shared_ptr<platform::DispatchObject> object_ = module_.CreateObject("Orbelt.COrbelt");
};

TEST_F(Boundary, TheTopLevelMenuNeedsNoHost) {
  const auto result =
      Call("Kelvo_GetMenuItems", {host::Variant{}, std::u16string(u"MainMenu"), std::u16string()});
  ASSERT_FALSE(result.error);
  EXPECT_EQ(std::get<std::u16string>(result.value), u"-&BPMN Technology");
}

TEST_F(Boundary, AMemberUsedOnAnUnsetRepositoryIsANullObjectError) {
  const auto result = Call("Kelvo_GetMenuItems", {host::Variant{}, std::u16string(u"MainMenu"),
                                                  std::u16string(u"-&BPMN Technology")});
  ASSERT_TRUE(result.error);
  EXPECT_EQ(result.error->kind, host::ErrorKind::kNullObject);
}

TEST_F(Boundary, BadCallsComeBackAsErrors) {
  EXPECT_TRUE(Call("Kelvo_NoSuchEvent", {}).error);
  EXPECT_TRUE(Call("Class_Initialize", {}).error);
  EXPECT_TRUE(Call("Kelvo_GetMenuItems", {host::Variant{}}).error);
  const auto mismatch = Call("Kelvo_OnRunConnectorRule",
                             {host::Variant{}, std::u16string(u"id"), std::u16string(u"not a number")});
  ASSERT_TRUE(mismatch.error);
  EXPECT_EQ(mismatch.error->kind, host::ErrorKind::kTypeMismatch);
}

}  // namespace
