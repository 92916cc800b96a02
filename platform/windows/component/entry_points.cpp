// The module's four standard entry points on Windows. Each hands over at once to the component
// runtime.
#include "platform/component.h"
#include "platform/windows/component/server.h"

STDAPI DllRegisterServer() { return platform::windows::RegisterServer(platform::ModuleServer()); }

STDAPI DllUnregisterServer() { return platform::windows::UnregisterServer(platform::ModuleServer()); }

STDAPI DllGetClassObject(REFCLSID class_id, REFIID interface_id, LPVOID* out) {
  return platform::windows::GetClassObject(platform::ModuleServer(), class_id, interface_id, out);
}

STDAPI DllCanUnloadNow() { return platform::windows::CanUnloadNow(); }
