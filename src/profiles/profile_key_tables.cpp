#include "profiles/profile_key_tables.h"

#include <algorithm>
#include <optional>

namespace brontal {
namespace {

constexpr std::size_t kFnKey = 110;

// A slot whose three bytes lie inside the table (the mouse's "no button"
// marker 170 and kNoSlot do not).
std::optional<std::size_t> UsableSlot(std::span<const std::uint8_t> slots, std::size_t key) {
  if (key >= slots.size()) return std::nullopt;
  const std::size_t slot = slots[key];
  if (slot == ProfileKeyTables::kNoSlot || 3 * slot + 2 >= ProfileKeyTables::kTableSize) return std::nullopt;
  return slot;
}

KeyAction TripleAt(const ProfileKeyTables::Table& table, std::size_t slot) {
  return {table[3 * slot], table[3 * slot + 1], table[3 * slot + 2]};
}

// Keys past the end of the list get records of their own index.
KeyAssignment& RecordOf(std::vector<KeyAssignment>& keys, std::size_t key) {
  for (std::size_t i = keys.size(); i <= key; ++i) {
    KeyAssignment added;
    added.key_index = added.default_key_index = static_cast<std::uint16_t>(i);
    keys.push_back(added);
  }
  return keys[key];
}

}  // namespace

void ProfileKeyTables::SetFnTable(std::span<const std::uint8_t, kTableSize> table) {
  std::ranges::copy(table, fn_table_.begin());
}

void ProfileKeyTables::SetAssignmentTable(std::span<const std::uint8_t, kTableSize> table, bool defaults_cleared) {
  std::ranges::copy(table, assignment_table_.begin());
  defaults_cleared_ = defaults_cleared;
}

void ProfileKeyTables::SetDefaultTable(std::span<const std::uint8_t, kTableSize> table) {
  std::ranges::copy(table, default_table_.begin());
}

void ProfileKeyTables::SetKeySlots(std::span<const std::uint8_t> slots) {
  key_slots_.assign(slots.begin(), slots.end());
}

void ProfileKeyTables::SetFnKeySlots(std::span<const std::uint8_t> slots, std::span<const std::uint8_t> fn_keys) {
  fn_key_slots_.assign(slots.begin(), slots.end());
  fn_keys_.assign(fn_keys.begin(), fn_keys.end());
}

void ProfileKeyTables::ApplyToKeyList(std::vector<KeyAssignment>& keys) const {
  for (std::size_t key = 0; key < key_slots_.size(); ++key) {
    const std::optional<std::size_t> slot = UsableSlot(key_slots_, key);
    if (!slot) continue;
    KeyAssignment& record = RecordOf(keys, key);
    if (key == kFnKey) record.default_action = TripleAt(assignment_table_, *slot);
    else if (defaults_cleared_) record.default_action = {};
    else record.default_action = TripleAt(default_table_, *slot);
    record.assignment = TripleAt(assignment_table_, *slot);
  }
}

void ProfileKeyTables::ApplyToFnList(std::vector<KeyAssignment>& keys) const {
  for (const std::uint8_t key : fn_keys_) {
    const std::optional<std::size_t> slot = UsableSlot(fn_key_slots_, key);
    if (!slot) continue;
    KeyAssignment& record = RecordOf(keys, key);
    if (record.assignment == record.default_action) record.assignment = TripleAt(fn_table_, *slot);
  }
}

}  // namespace brontal
