// The full validation run through the loaded add-in module on generated models of N elements
// (pools, lanes, tasks, gateways, sub-processes, start, end and boundary events, sequence and
// message flows, one diagram placing everything). Prints elements per second; asserts nothing.
//
//   bench_validation_bench [N ...]      default: 1000 10000 100000
//
// The module is ORBELT_ADDIN, else liborbelt.so beside this program.
#include <algorithm>
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
#include "kelvo/session.h"
#include "kelvo/validation.h"
#include "platform/loader.h"
#include "support/generated_model.h"

namespace {

double Seconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

// The host calls that an End Event's container scan makes for one placement (GetAt,
// PlacedElementId, ElementById, StereotypeName, ParentId twice), made `scans` times over the whole
// diagram straight from here, without the add-in: the least that any check following that scan
// can cost per placement. The repository comes through the session, so the calls stay virtual.
double HostCallsPerPlacement(const kelvo::Session& session, std::int32_t event_id, std::size_t scans) {
  const host::Ref<host::Repository> repository(
      std::dynamic_pointer_cast<host::Repository>(session.Repository()));
  const host::Ref<host::Element> event = repository->ElementById(event_id);
  std::size_t matches = 0;
  std::size_t visits = 0;
  const auto start = std::chrono::steady_clock::now();
  for (std::size_t scan = 0; scan < scans; ++scan) {
    for (const auto& placement : repository->ActiveDiagram()->Placements()) {
      const host::Ref<host::Element> candidate = repository->ElementById(placement->PlacedElementId());
      const bool start_event = candidate->StereotypeName() == std::u16string_view(u"StartEvent");
      const bool same_container = candidate->ParentId() == event->ParentId();
      matches += start_event && same_container;
      ++visits;
    }
  }
  const double seconds = Seconds(std::chrono::steady_clock::now() - start);
  [[maybe_unused]] volatile std::size_t kept = matches;  // the loop's result must not be optimised away
  return seconds * 1e9 / static_cast<double>(visits);
}

void Measure(const platform::LoadedModule& module, std::size_t target) {
  const auto generated = std::chrono::steady_clock::now();
  kelvo::ModelData data = test_support::GeneratedModel(target).Build();
  const std::size_t elements = data.elements.size();
  const std::size_t connectors = data.connectors.size();
  // Every start and end event scans all placements of the diagram: the quadratic part.
  std::size_t events = 0;
  for (const auto& element : data.elements)
    events += element.stereotype == u"StartEvent" || element.stereotype == u"EndEvent";
  const std::size_t visits = events * data.diagrams.front().placements.size();
  const auto end_event = std::find_if(data.elements.begin(), data.elements.end(),
                                      [](const auto& element) { return element.stereotype == u"EndEvent"; });
  const std::int32_t first_event =
      end_event == data.elements.end() ? data.elements.front().id : end_event->id;
  auto host = kelvo::Host::Create(std::move(data));
  const auto built = std::chrono::steady_clock::now();
  const kelvo::ValidationResult result = kelvo::ValidateModel(module, host, 1);
  const auto validated = std::chrono::steady_clock::now();

  const double seconds = Seconds(validated - built);
  std::cout << elements << " elements, " << connectors << " connectors: model built in "
            << Seconds(built - generated) << " s, validated in " << seconds << " s, "
            << static_cast<long long>(static_cast<double>(elements) / seconds) << " elements/s ("
            << result.errors() << " errors, " << result.warnings() << " warnings, " << result.failures.size()
            << " failed runs); " << events << " start and end events scanned " << visits
            << " placements, at most " << seconds * 1e9 / static_cast<double>(visits)
            << " ns each; the host calls of one visit alone take "
            << HostCallsPerPlacement(kelvo::Session(host), first_event, std::min<std::size_t>(events, 200))
            << " ns\n";
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
