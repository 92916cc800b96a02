// Where the module that contains this code lives.
#include "platform/module_info.h"

// clang-format off
#include <windows.h>
// clang-format on

#include <stdexcept>
#include <string>

#include "platform/text.h"
#include "platform/windows/component/server.h"

namespace platform {

std::string ThisModulePath() {
  std::u16string path(MAX_PATH, u'\0');
  for (;;) {
    const DWORD length =
        GetModuleFileNameW(windows::ThisModule(), reinterpret_cast<wchar_t*>(path.data()), path.size());
    if (length == 0) throw std::runtime_error("cannot find the module's own file");
    if (length < path.size()) return ToUtf8(std::u16string_view(path).substr(0, length));
    path.resize(path.size() * 2);
  }
}

std::string ThisModuleDirectory() {
  const std::string path = ThisModulePath();
  const auto separator = path.find_last_of("\\/");
  return separator == std::string::npos ? "." : path.substr(0, separator);
}

}  // namespace platform
