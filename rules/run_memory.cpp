// The memory of one announced validation run: fetching and grouping the open diagram's
// placements, and the remembered flow counts and pools.
#include "rules/run_memory.h"

namespace rules {

RunMemory::Placed RunMemory::Fetch(const RepositoryRef& repository, std::int32_t element_id) {
  ElementRef element = repository->ElementById(element_id);
  const std::int32_t container = element->ParentId();
  return {std::move(element), container};
}

void RunMemory::UseDiagram(std::int32_t diagram_id) {
  if (diagram_id_ == diagram_id) return;
  diagram_id_ = diagram_id;
  placed_.clear();
  grouped_ = false;
  by_container_.clear();
  for (auto& answers : answers_) answers.clear();
}

void RunMemory::Group() {
  for (std::uint32_t index = 0; index < placed_.size(); ++index)
    by_container_[placed_[index].container].push_back(index);
  grouped_ = true;
}

std::optional<std::int16_t> RunMemory::FlowCount(std::int32_t element_id, FlowKind kind) const {
  const auto known = flow_counts_.find(element_id);
  if (known == flow_counts_.end()) return std::nullopt;
  const std::int16_t count = known->second[static_cast<std::size_t>(kind)];
  if (count == kUnknownCount) return std::nullopt;
  return count;
}

void RunMemory::RememberFlowCount(std::int32_t element_id, FlowKind kind, std::int16_t count) {
  auto [entry, added] = flow_counts_.try_emplace(element_id);
  if (added) entry->second.fill(kUnknownCount);
  entry->second[static_cast<std::size_t>(kind)] = count;
}

std::optional<std::int32_t> RunMemory::OutermostPool(std::int32_t element_id) const {
  const auto known = outermost_pools_.find(element_id);
  if (known == outermost_pools_.end()) return std::nullopt;
  return known->second;
}

void RunMemory::RememberOutermostPool(std::int32_t element_id, std::int32_t pool_id) {
  outermost_pools_.emplace(element_id, pool_id);
}

}  // namespace rules
