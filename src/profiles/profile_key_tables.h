#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "profiles/profile_records.h"

namespace brontal {

// What a keyboard read back from its own memory: its key tables and where each
// logical key sits in them. Once filled, the device's view of its keys wins
// over the profile file. Slot n addresses bytes 3n..3n+2 of a table.
class ProfileKeyTables {
 public:
  static constexpr std::size_t kTableSize = 512;
  static constexpr std::uint8_t kNoSlot = 255;
  using Table = std::array<std::uint8_t, kTableSize>;

  // The Fn-layer key table.
  void SetFnTable(std::span<const std::uint8_t, kTableSize> table);
  // The key table of the profile's on-board index; defaults_cleared is set for
  // every index but 0, whose defaults the base table gives.
  void SetAssignmentTable(std::span<const std::uint8_t, kTableSize> table, bool defaults_cleared);
  // The base key table: the factory action of every slot.
  void SetDefaultTable(std::span<const std::uint8_t, kTableSize> table);

  // Logical key -> slot of the base layer, kNoSlot for a key the device lacks.
  void SetKeySlots(std::span<const std::uint8_t> slots);
  // Logical key -> slot of the Fn layer, and the ascending list of logical
  // keys that carry an Fn-layer action on the device.
  void SetFnKeySlots(std::span<const std::uint8_t> slots, std::span<const std::uint8_t> fn_keys);

  // Every key with a slot takes its assignment from the assignment table and
  // its default from the default table (0, 0, 0 with defaults cleared); the Fn
  // key's default is its own assignment. The list grows to hold every such key.
  void ApplyToKeyList(std::vector<KeyAssignment>& keys) const;
  // Every Fn-layer key that still carries its default takes the device's
  // built-in Fn action instead.
  void ApplyToFnList(std::vector<KeyAssignment>& keys) const;

 private:
  Table fn_table_{};
  Table assignment_table_{};
  Table default_table_{};
  bool defaults_cleared_ = false;
  std::vector<std::uint8_t> key_slots_;
  std::vector<std::uint8_t> fn_key_slots_;
  std::vector<std::uint8_t> fn_keys_;
};

}  // namespace brontal
