// The module's own resources: the string table and binary resources by type and id. The
// resource compiler (platform/tools/resource_compiler) turns resources/strings.rc and the
// binary files into a resource directory linked into the module. Every read looks the id up
// afresh; a missing id fails with a resource error.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace platform {

struct StringResource {
  std::int32_t id;
  const char16_t* text;
  std::size_t length;
};

struct BinaryResource {
  const char* type;
  std::int32_t id;
  std::int32_t language;
  const std::uint8_t* data;
  std::size_t size;
};

struct ResourceDirectory {
  const StringResource* strings;  // sorted by id
  std::size_t string_count;
  const BinaryResource* binaries;
  std::size_t binary_count;
};

// Looks up resources in a directory; fail with host::Error of kind resource.
std::u16string LoadStringFrom(const ResourceDirectory& directory, std::int32_t id);
std::span<const std::uint8_t> LoadBinaryFrom(const ResourceDirectory& directory, std::string_view type,
                                             std::int32_t id);

// The calling module's own resources (the directory generated for the module it is linked into).
std::u16string LoadStringResource(std::int32_t id);
std::span<const std::uint8_t> LoadBinaryResource(std::string_view type, std::int32_t id);

}  // namespace platform

namespace platform {
// The directory of the module this code is linked into, defined by its generated resource source.
const ResourceDirectory& ModuleResourceDirectory();
}  // namespace platform
