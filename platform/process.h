// Facts about the running process that the host reports.
#pragma once

#include <cstdint>

namespace platform {

// The process's largest resident (working) set so far, in bytes.
std::int64_t PeakMemoryBytes();

}  // namespace platform
