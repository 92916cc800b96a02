// Resource lookups in a module's resource directory.
#include "platform/resources.h"

#include <algorithm>
#include <string>

#include "host/error.h"

namespace platform {

std::u16string LoadStringFrom(const ResourceDirectory& directory, std::int32_t id) {
  const auto* end = directory.strings + directory.string_count;
  const auto* found = std::lower_bound(directory.strings, end, id,
                                       [](const StringResource& s, std::int32_t key) { return s.id < key; });
  if (found == end || found->id != id) {
    throw host::Error(host::ErrorKind::kResource, "string resource " + std::to_string(id) + " not found");
  }
  return {found->text, found->length};
}

std::span<const std::uint8_t> LoadBinaryFrom(const ResourceDirectory& directory, std::string_view type,
                                             std::int32_t id) {
  for (std::size_t i = 0; i < directory.binary_count; ++i) {
    const auto& r = directory.binaries[i];
    if (r.id == id && type == r.type) return {r.data, r.size};
  }
  throw host::Error(host::ErrorKind::kResource,
                    "resource " + std::string(type) + " " + std::to_string(id) + " not found");
}

}  // namespace platform
