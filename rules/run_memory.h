// What the rule engine may keep while the host runs one announced validation
// (Kelvo_OnStartValidation to Kelvo_OnEndValidation), during which the model does not change:
// the placements of the open diagram grouped by container, the answers of the diagram-wide
// checks per container, the flow counts and the pool of each element. Every host call a check
// would repeat for each event is then made once per run. Nothing of it outlives the run.
//
// A question whose host call fails leaves nothing behind: the next event asks again, makes the
// same calls and fails the same way, exactly as without the memory.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <unordered_map>
#include <vector>

#include "host/objects.h"

namespace rules {

// The questions about a container (the elements that share one parent id) on the open diagram.
enum class ContainerQuestion : std::uint8_t {
  kFlowObjectLacksIncomingFlow,  // a counted flow object without an incoming Sequence Flow
  kHasStartEvent,                // a Start Event, placed or nested
};

// The four flow counts of an element.
enum class FlowKind : std::uint8_t {
  kIncomingSequence,
  kOutgoingSequence,
  kIncomingMessage,
  kOutgoingMessage
};

class RunMemory {
 public:
  using RepositoryRef = host::Ref<host::Repository>;
  using ElementRef = host::Ref<host::Element>;

  // The answer to `question` for `container`, computed by `compute()` on first use. Answers
  // belong to the diagram open when they were computed: a check on another diagram forgets them.
  template <class Compute>
  bool Answer(const RepositoryRef& repository, ContainerQuestion question, std::int32_t container,
              Compute&& compute) {
    UseDiagram(repository->ActiveDiagram()->Id());
    auto& answers = answers_[static_cast<std::size_t>(question)];
    if (const auto known = answers.find(container); known != answers.end()) return known->second;
    const bool answer = compute();
    answers.emplace(container, answer);
    return answer;
  }

  // Hands the elements placed on the open diagram whose parent id is `container` to `visit`, in
  // placement order. Until one walk has fetched every placement, walks go through the diagram's
  // placements and fetch those not yet fetched, so that a placement whose element cannot be
  // fetched fails each walk at the same point; afterwards a walk visits the container's own
  // placements only.
  template <class Visit>
  void ForEachPlacedIn(const RepositoryRef& repository, std::int32_t container, Visit&& visit) {
    if (!grouped_) {
      std::size_t index = 0;
      for (const auto& placement : repository->ActiveDiagram()->Placements()) {
        if (index == placed_.size()) placed_.push_back(Fetch(repository, placement->PlacedElementId()));
        const Placed& placed = placed_[index++];
        if (placed.container == container) visit(placed.element);
      }
      Group();
      return;
    }
    const auto members = by_container_.find(container);
    if (members == by_container_.end()) return;
    for (const std::uint32_t index : members->second) visit(placed_[index].element);
  }

  // The remembered count of `kind` for the element `element_id`, if any.
  std::optional<std::int16_t> FlowCount(std::int32_t element_id, FlowKind kind) const;
  void RememberFlowCount(std::int32_t element_id, FlowKind kind, std::int16_t count);

  // The outermost pool among an element and its ancestors (0 for none), if remembered.
  std::optional<std::int32_t> OutermostPool(std::int32_t element_id) const;
  void RememberOutermostPool(std::int32_t element_id, std::int32_t pool_id);

 private:
  struct Placed {
    ElementRef element;
    std::int32_t container;
  };
  static Placed Fetch(const RepositoryRef& repository, std::int32_t element_id);
  void UseDiagram(std::int32_t diagram_id);
  void Group();

  std::optional<std::int32_t> diagram_id_;
  std::vector<Placed> placed_;  // the diagram's placements fetched so far, in order
  bool grouped_ = false;        // all fetched, and grouped by container
  std::unordered_map<std::int32_t, std::vector<std::uint32_t>> by_container_;
  std::array<std::unordered_map<std::int32_t, bool>, 2> answers_;

  static constexpr std::int16_t kUnknownCount = -1;
  std::unordered_map<std::int32_t, std::array<std::int16_t, 4>> flow_counts_;
  std::unordered_map<std::int32_t, std::int32_t> outermost_pools_;
};

}  // namespace rules
