// The add-in module that tests load: ORBELT_ADDIN, which the test runner sets, else the one this
// build made.
#pragma once

#include <cstdlib>
#include <string>

namespace test_support {

inline std::string AddinPath() {
  const char* path = std::getenv("ORBELT_ADDIN");
  return path ? path : ORBELT_BINARY_DIR "/liborbelt.so";
}

}  // namespace test_support
