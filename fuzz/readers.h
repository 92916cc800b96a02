// Every reader of outside input, each behind one function that takes the raw bytes of an input
// and must end with a result or a clean refusal. The fuzz targets drive these with generated
// inputs; a test replays the inputs kept under tests/data/fuzz/<reader>/ through the same
// functions. A reader that crashes, hangs, or lets anything but its documented error escape has
// a fault.
#pragma once

#include <span>
#include <string_view>

namespace fuzz {

struct Reader {
  std::string_view name;                 // the folder of its kept inputs, and its fuzz target
  void (*read)(std::string_view bytes);  // throws only on a fault of the reader itself
};

// The readers: model, scenario, bpmn, technology, registry.
std::span<const Reader> Readers();

// The reader named so, or null.
const Reader* FindReader(std::string_view name);

}  // namespace fuzz
