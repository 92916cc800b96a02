// The process facts from the kernel's resource usage record.
#include "platform/process.h"

#include <sys/resource.h>

namespace platform {

std::int64_t PeakMemoryBytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<std::int64_t>(usage.ru_maxrss) * 1024;  // the kernel counts KiB
}

}  // namespace platform
