// BPMN ids mapped to positions in the import's lists. Settling references looks ids up several
// times per element, so the table is one flat array probed linearly: a lookup reads one slot and
// the id's text instead of walking nodes scattered over the heap. Ids are views into the parsed
// document and must outlive the table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

namespace bpmn {

class IdTable {
 public:
  static constexpr std::size_t kAbsent = static_cast<std::size_t>(-1);

  // Maps `id` to `position` unless `id` is already mapped; returns false, keeping the first, when it is.
  bool Insert(std::string_view id, std::size_t position);
  // The position mapped to `id`, or kAbsent.
  std::size_t Find(std::string_view id) const;
  // Starts loading the slot where `id` belongs, for a Find shortly after: a large table is read
  // at random, so loops of lookups ask a few steps ahead.
  void Prefetch(std::string_view id) const;

 private:
  static constexpr std::uint32_t kEmpty = UINT32_MAX;
  struct Slot {
    std::string_view id;
    std::uint32_t hash = 0;  // the low bits of the id's hash, compared before the text
    std::uint32_t position = kEmpty;
  };

  // The slot holding `id`, else the empty slot where it belongs.
  std::size_t SlotOf(std::string_view id, std::uint32_t hash) const;
  void Grow();

  std::vector<Slot> slots_;
  std::size_t size_ = 0;
};

}  // namespace bpmn
