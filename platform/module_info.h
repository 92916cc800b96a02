// Facts about the module that this code is linked into: its own file and the version record
// that marks it self-registering.
#pragma once

#include <cstdint>
#include <string>

namespace platform {

struct VersionRecord {
  const char* product_name;
  const char* file_version;
  bool ole_self_register;  // the file registers itself through its entry points
};

// The version record of the module this code is linked into, defined by the module itself.
const VersionRecord& ModuleVersion();

// Full path of the module file that contains this function.
std::string ThisModulePath();
// Directory of that file, without a trailing separator.
std::string ThisModuleDirectory();

}  // namespace platform
