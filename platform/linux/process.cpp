// The process facts from the kernel's resource usage record.
#include "platform/process.h"

#include <sys/resource.h>

#include <filesystem>

namespace platform {

std::int64_t PeakMemoryBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<std::int64_t>(usage.ru_maxrss) * 1024;  // the kernel counts KiB
}

std::string ThisProgramPath() {
  std::error_code ec;
  const auto program = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : program.string();
}

}  // namespace platform
