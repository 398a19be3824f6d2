#include "update/attached_products.h"

#include <memory>
#include <string>

#include "device_access/hid_backend.h"
#include "device_access/hid_device.h"
#include "devices/command_row.h"
#include "devices/device_tables.h"

namespace brontal {

std::optional<std::vector<ConnectedProduct>> AttachedProducts() {
  CHidDevice scan;
  if (!scan.EnumerateInterfaces()) return std::nullopt;
  std::vector<ConnectedProduct> products;
  while (const auto path = scan.NextPath()) {
    const InterfaceRow* row = CommandRowOf(*path);
    std::string node, instance;
    HidNodeInfo info;
    if (!row || !SplitHidPath(*path, node, instance)) continue;
    const std::shared_ptr<HidBackend> backend = HidBus::ForNode(node);
    if (!backend || !backend->Describe(node, info)) continue;
    const InterfaceRow& product = IsReceiverType(row->type) && row->paired ? kInterfaceTable[row->partner] : *row;
    products.push_back({FindEntryRow(product.vendor_id, product.product_id, product.type, product.role), info.version});
  }
  return products;
}

}  // namespace brontal
