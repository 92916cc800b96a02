// Where the module that contains this code lives.
#include "platform/module_info.h"

#include <dlfcn.h>

#include <filesystem>
#include <stdexcept>

namespace platform {

std::string ThisModulePath() {
  Dl_info info{};
  if (dladdr(reinterpret_cast<const void*>(&ThisModulePath), &info) == 0 || info.dli_fname == nullptr) {
    throw std::runtime_error("cannot find the module's own file");
  }
  // The main program is reported by the name it was started with, which may be relative.
  std::error_code ec;
  const auto absolute = std::filesystem::weakly_canonical(info.dli_fname, ec);
  return ec ? info.dli_fname : absolute.string();
}

std::string ThisModuleDirectory() {
  const std::string path = ThisModulePath();
  const auto slash = path.find_last_of('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

}  // namespace platform
