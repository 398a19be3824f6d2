#include <cstdio>
#include <ostream>
#include <string>

#include "cli/brontalctl.h"
#include "cli/collection_json.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/listing_failure.h"
#include "device_access/hid_enumeration.h"
#include "device_access/hid_path.h"
#include "devices/interface_table.h"
#include "support/hex_text.h"

namespace brontal {
namespace {

bool IsSupportedProduct(const HidNodeInfo& info) {
  for (const InterfaceRow& row : kInterfaceTable)
    if (IsRealProduct(row) && row.vendor_id == info.vendor_id && row.product_id == info.product_id) return true;
  return false;
}

// The most common reason for "the device is not seen": the node is there but
// only root may open it.
bool PermissionDenied(HidBackend& backend, const HidNodeInfo& info) {
  UniqueFd fd;
  return backend.Open(info.node, info.instance, true, true, fd) == HidOpenResult::kPermissionDenied;
}

}  // namespace

int ListCommand(CommandArgs args, std::ostream& out, std::ostream& err) {
  bool json;
  if (!ParseJsonOption(args, "list", json, err)) return kExitUsage;
  const std::shared_ptr<HidBackend> backend = HidBus::Active();
  std::vector<HidNodeListing> nodes;
  if (!ListHidNodes(*backend, nodes)) {
    err << "brontalctl: " << ListingFailure() << '\n';
    return kExitFailure;
  }

  Json::Value list(Json::arrayValue);
  std::vector<std::string> denied;
  for (const HidNodeListing& node : nodes) {
    const HidNodeInfo& info = node.info;
    if (IsSupportedProduct(info) && PermissionDenied(*backend, info))
      denied.push_back(info.node + " (" + HexPair(info.vendor_id, info.product_id) + ")");
    if (!node.descriptor) {
      err << "brontalctl: " << info.node << " (" << HexPair(info.vendor_id, info.product_id)
          << "): unusable report descriptor: " << node.descriptor_error << '\n';
      continue;
    }
    const auto& collections = node.descriptor->collections;
    for (std::size_t i = 0; i < collections.size(); ++i) {
      const TopLevelCollection& c = collections[i];
      const std::string path = CollectionPath(info, i, collections.size());
      const unsigned number = ParseCollectionNumber(path);
      if (json) {
        Json::Value v = CollectionJson(c);
        v["path"] = path;
        v["vendor_id"] = info.vendor_id;
        v["product_id"] = info.product_id;
        v["interface"] = info.interface_number;
        v["collection"] = number;
        list.append(v);
      } else {
        out << path << "  " << HexPair(info.vendor_id, info.product_id) << "  interface " << info.interface_number
            << "  collection " << number << "  usage " << HexPair(c.usage_page, c.usage) << "  input "
            << c.report_byte_length[0] << "  output " << c.report_byte_length[1] << "  feature "
            << c.report_byte_length[2] << '\n';
      }
    }
  }
  if (json) {
    WriteJson(out, list);
  } else if (nodes.empty()) {
    err << "brontalctl: no HID devices found\n";
  }
  for (const std::string& node : denied)
    err << "brontalctl: no permission to open " << node
        << "; install the udev rules (brontalctl udev-rules | sudo tee /etc/udev/rules.d/70-brontal-driver.rules), "
           "run 'sudo udevadm control --reload', then re-plug the device\n";
  return kExitOk;
}

}  // namespace brontal
