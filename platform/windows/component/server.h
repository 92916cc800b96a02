// The Windows side of the in-process server, for the module's entry points: the embedded type
// library, self-registration driven by it, class factories by CLSID and the unload query.
#pragma once

// clang-format off
#include <windows.h>
#include <oaidl.h>
// clang-format on

#include <string>

#include "platform/component.h"
#include "platform/windows/automation_values.h"

namespace platform::windows {

// The module that contains this code.
HMODULE ThisModule();
// The module's type library (resource TYPELIB 1), loaded once; the caller does not release it.
ITypeLib* ModuleTypeLibrary();
// The type named `name` in the type library, AddRef'd, or null; and the guid of a type.
ITypeInfo* FindType(const std::string& name);
GUID GuidOf(ITypeInfo& type);
// The default interface of the class named `class_name` in the type library; AddRef'd.
ITypeInfo* DefaultInterfaceOf(const std::string& class_name);
// The system's text for an error code, without its final full stop.
std::string SystemMessage(DWORD code);

// Registration writes under `root` (HKEY_CLASSES_ROOT unless a test redirects it); a failure
// returns SELFREG_E_CLASS or SELFREG_E_TYPELIB with its reason in the error info.
HRESULT RegisterServer(const InProcessServer& server, HKEY root = HKEY_CLASSES_ROOT);
HRESULT UnregisterServer(const InProcessServer& server, HKEY root = HKEY_CLASSES_ROOT);
HRESULT GetClassObject(const InProcessServer& server, REFCLSID class_id, REFIID interface_id, void** out);
HRESULT CanUnloadNow();

// An IDispatch over an automation object of the module; the pointer is AddRef'd.
IDispatch* ServeObject(std::shared_ptr<DispatchObject> object, ITypeInfo* interface_info);

// How objects cross the module's calls: an IDispatch that arrives becomes an UntypedObject, and
// a host object goes back as the IDispatch it came as.
const ObjectBridge& ModuleObjects();

}  // namespace platform::windows
