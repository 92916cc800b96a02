// Open addressing with linear probing; the table doubles when half full, so probes stay short.
#include "bpmn/id_table.h"

#include <functional>
#include <stdexcept>

namespace bpmn {
namespace {

constexpr std::size_t kFirstCapacity = 64;

std::uint32_t HashOf(std::string_view id) {
  return static_cast<std::uint32_t>(std::hash<std::string_view>{}(id));
}

}  // namespace

bool IdTable::Insert(std::string_view id, std::size_t position) {
  if (position >= kEmpty) throw std::length_error("more ids than an id table holds");
  if ((size_ + 1) * 2 > slots_.size()) Grow();
  const std::uint32_t hash = HashOf(id);
  Slot& slot = slots_[SlotOf(id, hash)];
  if (slot.position != kEmpty) return false;
  slot = {id, hash, static_cast<std::uint32_t>(position)};
  ++size_;
  return true;
}

std::size_t IdTable::Find(std::string_view id) const {
  if (size_ == 0) return kAbsent;
  const Slot& slot = slots_[SlotOf(id, HashOf(id))];
  return slot.position == kEmpty ? kAbsent : slot.position;
}

void IdTable::Prefetch(std::string_view id) const {
  if (!slots_.empty()) __builtin_prefetch(&slots_[HashOf(id) & (slots_.size() - 1)]);
}

std::size_t IdTable::SlotOf(std::string_view id, std::uint32_t hash) const {
  const std::size_t mask = slots_.size() - 1;
  for (std::size_t at = hash & mask;; at = (at + 1) & mask) {
    const Slot& slot = slots_[at];
    if (slot.position == kEmpty || (slot.hash == hash && slot.id == id)) return at;
  }
}

void IdTable::Grow() {
  std::vector<Slot> old(slots_.empty() ? kFirstCapacity : slots_.size() * 2);
  old.swap(slots_);
  for (const Slot& slot : old)
    if (slot.position != kEmpty) slots_[SlotOf(slot.id, slot.hash)] = slot;
}

}  // namespace bpmn
