// The Linux side of the in-process server: self-registration in the platform's registry file,
// class factories by "Library.Class" and the unload query, for the module's entry points.
#pragma once

#include <cstdint>

#include "platform/component.h"

namespace platform {

std::int32_t RegisterServer(const InProcessServer& server);
std::int32_t UnregisterServer(const InProcessServer& server);
// `prog_id` is "Library.Class", as registered.
std::int32_t GetClassObject(const InProcessServer& server, const char* prog_id, ClassFactory** factory);
std::int32_t CanUnloadNow();

}  // namespace platform
