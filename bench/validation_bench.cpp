// The full validation run through the loaded add-in module on generated models of N elements
// (pools, lanes, tasks, gateways, sub-processes, start, end and boundary events, sequence and
// message flows, an overview diagram placing everything). Prints elements per second and the host
// calls of a run per element, connector and placement; asserts nothing.
//
//   bench_validation_bench [N ...]      default: 1000 10000 100000
//
// The module is ORBELT_ADDIN, else liborbelt.so beside this program.
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "cli/commands.h"
#include "kelvo/host.h"
#include "kelvo/model_data.h"
#include "kelvo/validation.h"
#include "platform/loader.h"
#include "support/generated_model.h"

namespace {

double Seconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

void Measure(const platform::LoadedModule& module, std::size_t target) {
  const auto generated = std::chrono::steady_clock::now();
  kelvo::ModelData data = test_support::GeneratedModel(target).Build();
  const std::size_t elements = data.elements.size();
  const std::size_t connectors = data.connectors.size();
  const std::size_t placements = data.diagrams.front().placements.size();
  auto host = kelvo::Host::Create(std::move(data));
  const auto built = std::chrono::steady_clock::now();
  const kelvo::ValidationResult result = kelvo::ValidateModel(module, host, 1);
  const double seconds = Seconds(std::chrono::steady_clock::now() - built);
  const auto calls = static_cast<double>(result.host_calls);

  std::cout << elements << " elements, " << connectors << " connectors, " << placements
            << " placements: model built in " << Seconds(built - generated) << " s, validated in " << seconds
            << " s, " << static_cast<long long>(static_cast<double>(elements) / seconds) << " elements/s ("
            << result.errors() << " errors, " << result.warnings() << " warnings, " << result.failures.size()
            << " failed runs); " << calls << " host calls, "
            << calls / static_cast<double>(elements + connectors + placements)
            << " per element, connector and placement\n";
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::size_t> sizes;
  for (int i = 1; i < argc; ++i) sizes.push_back(std::strtoull(argv[i], nullptr, 10));
  if (sizes.empty()) sizes = {1000, 10000, 100000};
  try {
    const platform::LoadedModule module(orbelt::cli::AddinPath(""));
    std::cout << "add-in module: " << module.path() << "\n";
    for (const std::size_t size : sizes) Measure(module, size);
  } catch (const std::exception& e) {
    std::cerr << "bench_validation_bench: " << e.what() << "\n";
    return 1;
  }
  return 0;
}
