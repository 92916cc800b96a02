// Facts about the running process that the host reports.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The process's largest resident (working) set so far, in bytes.
std::int64_t PeakMemoryBytes();
// The full path of the running program's file; empty when the system cannot tell.
std::string ThisProgramPath();

}  // namespace platform
