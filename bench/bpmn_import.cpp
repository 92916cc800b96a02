// The BPMN import alone, inside one process: reads the technology document written by
// `orbelt technology -o FILE`, then imports the BPMN file five times and prints the median.
#include <algorithm>
#include <chrono>
#include <iostream>
#include <optional>
#include <vector>

#include "bpmn/import.h"
#include "kelvo/input.h"
#include "kelvo/technology.h"
#include "platform/text.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: bench_bpmn_import TECHNOLOGY.xml FILE.bpmn\n";
    return 2;
  }
  std::optional<kelvo::Technology> technology;
  try {
    technology = kelvo::ParseTechnology(platform::FromUtf8(kelvo::ReadFile(argv[1])), argv[1]);
  } catch (const kelvo::InputError& error) {
    std::cerr << error.what() << "\n";
    return 2;
  }
  std::vector<double> milliseconds;
  std::size_t elements = 0;
  for (int run = 0; run < 5; ++run) {
    const auto start = std::chrono::steady_clock::now();
    const bpmn::Import imported = bpmn::ImportFile(argv[2], *technology);
    milliseconds.push_back(
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    elements = imported.model.elements.size();
  }
  std::sort(milliseconds.begin(), milliseconds.end());
  std::cout << argv[2] << ": " << elements << " elements, import " << milliseconds[2] << " ms\n";
  return 0;
}
