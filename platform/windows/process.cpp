// The process facts from the system's memory counters.
// clang-format off
#include <windows.h>
#include <psapi.h>
// clang-format on

#include "platform/process.h"

#include <string>

#include "platform/text.h"

namespace platform {

std::int64_t PeakMemoryBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof counters;
  if (!GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof counters)) return 0;
  return static_cast<std::int64_t>(counters.PeakWorkingSetSize);
}

std::string ThisProgramPath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return ToUtf8(std::u16string(path.begin(), path.end()));
    }
    path.resize(path.size() * 2);
  }
}

}  // namespace platform
