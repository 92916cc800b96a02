// Timing the phases of a run one after another, for `orbelt validate --stats`.
#pragma once

#include <chrono>

namespace orbelt::cli {

class Stopwatch {
 public:
  // The seconds since the previous lap (or since the watch was made); the next lap starts now.
  double Lap() {
    const auto now = std::chrono::steady_clock::now();
    const std::chrono::duration<double> elapsed = now - start_;
    start_ = now;
    return elapsed.count();
  }

 private:
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace orbelt::cli
