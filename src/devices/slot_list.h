#pragma once

#include <array>
#include <cstddef>
#include <string>

#include "devices/interface_table.h"

namespace brontal {

// Two rows name the same product interface when all eight identity values agree.
bool SameInterface(const InterfaceRow& a, const InterfaceRow& b);

// A live copy of an interface row: where (and whether) the collection is present.
struct Slot {
  InterfaceRow row;
  bool present = false;
  std::string path;

  bool free() const { return !present && path.empty(); }
};

// The run-time copy of the interface table, same rows in the same order. The
// discovery thread writes it; the UI thread reads it in the handlers of the
// messages the thread sends, which it waits for.
class SlotList {
 public:
  SlotList();

  static constexpr std::size_t size() { return kInterfaceTable.size(); }
  Slot& operator[](std::size_t index) { return slots_[index]; }
  const Slot& operator[](std::size_t index) const { return slots_[index]; }
  bool AnyFree() const;

  // The slot has a partner on the other link whose partner is this slot, and
  // that partner is present with a path.
  bool PartnerPresent(std::size_t index) const;

 private:
  std::array<Slot, kInterfaceTable.size()> slots_;
};

}  // namespace brontal
