// The module's exported entry points on Linux. Each hands over at once to the component runtime.
#include "platform/component.h"
#include "platform/export.h"
#include "platform/linux/component/server.h"
#include "platform/module_info.h"
#include "platform/resources.h"

KELVO_EXPORT std::int32_t DllRegisterServer() { return platform::RegisterServer(platform::ModuleServer()); }
KELVO_EXPORT std::int32_t DllUnregisterServer() {
  return platform::UnregisterServer(platform::ModuleServer());
}
KELVO_EXPORT std::int32_t DllGetClassObject(const char* prog_id, platform::ClassFactory** factory) {
  return platform::GetClassObject(platform::ModuleServer(), prog_id, factory);
}
KELVO_EXPORT std::int32_t DllCanUnloadNow() { return platform::CanUnloadNow(); }
KELVO_EXPORT const platform::VersionRecord* KelvoVersionRecord() { return &platform::ModuleVersion(); }
KELVO_EXPORT const platform::TypeLibraryInfo* KelvoTypeLibrary() {
  static const platform::TypeLibraryInfo kLibrary = platform::ModuleServer().TypeLibrary();
  return &kLibrary;
}
KELVO_EXPORT const platform::ResourceDirectory* KelvoModuleResources() {
  return &platform::ModuleResourceDirectory();
}
