// The module's own Windows resources: string tables in blocks of sixteen and binary resources by
// type and id.
#include "platform/resources.h"

// clang-format off
#include <windows.h>
// clang-format on

#include <string>

#include "host/error.h"
#include "platform/text.h"
#include "platform/windows/component/server.h"

namespace platform {

namespace {

std::span<const std::uint8_t> Loaded(HRSRC found) {
  const HMODULE module = windows::ThisModule();
  if (found == nullptr) return {};
  HGLOBAL loaded = LoadResource(module, found);
  const void* data = loaded ? LockResource(loaded) : nullptr;
  if (data == nullptr) return {};
  return {static_cast<const std::uint8_t*>(data), SizeofResource(module, found)};
}

}  // namespace

std::u16string LoadStringResource(std::int32_t id) {
  // Strings are stored sixteen to a block, each as its length followed by its UTF-16 text.
  const auto block = Loaded(FindResourceW(windows::ThisModule(), MAKEINTRESOURCEW(id / 16 + 1),
                                          MAKEINTRESOURCEW(6) /* string table */));
  const auto* entry = reinterpret_cast<const char16_t*>(block.data());
  const auto* end = entry + block.size() / sizeof(char16_t);
  for (int i = 0; entry != nullptr && entry < end; ++i) {
    const std::size_t length = *entry++;
    if (i == id % 16) {
      if (length != 0 && entry + length <= end) return std::u16string(entry, length);
      break;
    }
    entry += length;
  }
  throw host::Error(host::ErrorKind::kResource, "string resource " + std::to_string(id) + " not found");
}

std::span<const std::uint8_t> LoadBinaryResource(std::string_view type, std::int32_t id) {
  const std::u16string type_name = FromUtf8(type);
  const auto data = Loaded(FindResourceW(windows::ThisModule(), MAKEINTRESOURCEW(id),
                                         reinterpret_cast<const wchar_t*>(type_name.c_str())));
  if (data.data() == nullptr) {
    throw host::Error(host::ErrorKind::kResource,
                      "resource " + std::string(type) + " " + std::to_string(id) + " not found");
  }
  return data;
}

}  // namespace platform
