// The host's objects served to the module through late binding: an IDispatch over any host object
// of host/objects.h, its members made from the lists of host/members.h. A failing member becomes
// DISP_E_EXCEPTION carrying its kind and message, so the module sees the failure unchanged.
#pragma once

// clang-format off
#include <windows.h>
#include <oaidl.h>
// clang-format on

#include <memory>

#include "host/objects.h"
#include "platform/windows/automation_values.h"

namespace platform::windows {

// An IDispatch (AddRef'd, the caller owns it) that holds `object` and forwards calls to it; null
// for a null object. Member DISPIDs are the member's position in its list plus one.
IDispatch* ServeHostObject(std::shared_ptr<host::Object> object);
// The host object behind an IDispatch that ServeHostObject made; null for any other pointer.
std::shared_ptr<host::Object> ServedHostObject(IDispatch* dispatch);
// How the host passes objects: its own are served, and the ones it gets back are unwrapped; an
// IDispatch the host did not serve is a type mismatch.
const ObjectBridge& HostObjectBridge();

}  // namespace platform::windows
