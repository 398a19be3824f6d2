#include "devices/slot_list.h"

#include <algorithm>

namespace brontal {

bool SameInterface(const InterfaceRow& a, const InterfaceRow& b) {
  return a.vendor_id == b.vendor_id && a.product_id == b.product_id && a.interface_number == b.interface_number &&
         a.collection_number == b.collection_number && a.type == b.type && a.role == b.role &&
         a.usage_page == b.usage_page && a.usage == b.usage;
}

SlotList::SlotList() {
  for (std::size_t i = 0; i < size(); ++i) slots_[i].row = kInterfaceTable[i];
}

bool SlotList::AnyFree() const {
  return std::any_of(slots_.begin(), slots_.end(), [](const Slot& s) { return s.free(); });
}

bool SlotList::PartnerPresent(std::size_t index) const {
  const Slot& slot = slots_[index];
  if (!slot.row.paired || slot.row.partner >= size()) return false;
  const Slot& partner = slots_[slot.row.partner];
  return partner.row.partner == index && partner.present && !partner.path.empty();
}

}  // namespace brontal
