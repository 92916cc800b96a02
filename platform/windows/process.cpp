// The process facts from the system's memory counters.
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

#include "platform/process.h"

namespace platform {

std::int64_t PeakMemoryBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return static_cast<std::int64_t>(counters.PeakWorkingSetSize);
}

}  // namespace platform
