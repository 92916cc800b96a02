// The module's exported entry points. Each hands over at once to the component runtime.
#include "addin/COrbelt.h"
#include "platform/component.h"
#include "platform/export.h"
#include "platform/module_info.h"
#include "platform/resources.h"
#include "rules/CBPMNRules.h"

namespace {

platform::InProcessServer& Server() {
  static platform::InProcessServer server("Orbelt", {platform::MakeCoClass<COrbelt>("COrbelt", true),
                                                     platform::MakeCoClass<CBPMNRules>("CBPMNRules", false)});
  return server;
}

const platform::VersionRecord kVersion{"Tarrow Technology for BPMN", "1.3.0.0", true};

}  // namespace

KELVO_EXPORT std::int32_t DllRegisterServer() { return Server().RegisterServer(); }
KELVO_EXPORT std::int32_t DllUnregisterServer() { return Server().UnregisterServer(); }
KELVO_EXPORT std::int32_t DllGetClassObject(const char* prog_id, platform::ClassFactory** factory) {
  return Server().GetClassObject(prog_id, factory);
}
KELVO_EXPORT std::int32_t DllCanUnloadNow() { return Server().CanUnloadNow(); }
KELVO_EXPORT const platform::VersionRecord* KelvoVersionRecord() { return &kVersion; }
KELVO_EXPORT const platform::TypeLibraryInfo* KelvoTypeLibrary() {
  static const platform::TypeLibraryInfo kLibrary = Server().TypeLibrary();
  return &kLibrary;
}
KELVO_EXPORT const platform::ResourceDirectory* KelvoModuleResources() {
  return &platform::ModuleResourceDirectory();
}
