// The calling module's own resources.
#include "platform/resources.h"

namespace platform {

std::u16string LoadStringResource(std::int32_t id) { return LoadStringFrom(ModuleResourceDirectory(), id); }

std::span<const std::uint8_t> LoadBinaryResource(std::string_view type, std::int32_t id) {
  return LoadBinaryFrom(ModuleResourceDirectory(), type, id);
}

}  // namespace platform
