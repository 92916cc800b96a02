// A libFuzzer target over one reader, chosen at build time by ORBELT_FUZZ_READER.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz/readers.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const fuzz::Reader* const reader = fuzz::FindReader(ORBELT_FUZZ_READER);
  reader->read(std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
