#include <cstdio>
#include <ostream>
#include <string>

#include "cli/brontalctl.h"
#include "cli/commands.h"
#include "cli/json_output.h"
#include "cli/listing_failure.h"
#include "cli/product_kind.h"
#include "device_access/command_channel.h"
#include "device_access/hid_path.h"
#include "devices/command_row.h"
#include "devices/device_info_block.h"
#include "devices/device_lock.h"
#include "devices/interface_table.h"
#include "support/hex_text.h"

namespace brontal {
namespace {

bool IsMouse(DeviceType type) { return type == DeviceType::kMouseWired || type == DeviceType::kMouseReceiver; }

std::string ResultText(CommandResult r) {
  switch (r) {
    case CommandResult::kReceiverNoAnswer: return "the wireless device does not answer (off or out of reach)";
    case CommandResult::kWriteFailed: return "the request could not be sent";
    case CommandResult::kNoReply: return "no answer";
    default: return "error status " + std::to_string(static_cast<int>(r));
  }
}

}  // namespace

int InfoCommand(CommandArgs args, std::ostream& out, std::ostream& err) {
  bool json;
  if (!ParseJsonOption(args, "info", json, err)) return kExitUsage;
  CHidDevice scan;
  if (!scan.EnumerateInterfaces()) {
    err << "brontalctl: " << ListingFailure() << '\n';
    return kExitFailure;
  }
  Json::Value list(Json::arrayValue);
  bool any = false;
  int status = kExitOk;
  while (const auto path = scan.NextPath()) {
    const InterfaceRow* row = CommandRowOf(*path);
    // The headset's collection carries no command channel.
    if (!row || row->type == DeviceType::kHeadset) continue;
    any = true;
    const bool receiver = IsReceiverType(row->type);
    const std::string name =
        HexPair(row->vendor_id, row->product_id) + " " + KindName(row->type) + (receiver ? " (receiver)" : " (cable)");

    // Never between the packets of the program that holds the device.
    const InterfaceRow& product = receiver && row->paired ? kInterfaceTable[row->partner] : *row;
    UniqueFd lock;
    if (LockDevice(product.vendor_id, product.product_id, lock) == DeviceLockResult::kInUse) {
      err << "brontalctl: " << name << ": in use by another program ('brontalctl show' asks brontal-driver)\n";
      status = kExitFailure;
      continue;
    }
    CCommandChannel channel;
    CHidDevice& collection = receiver ? channel.receiver_collection() : channel.wired_collection();
    if (!collection.Open(*path, true, true, true, false)) {
      err << "brontalctl: " << name << ": cannot open "
          << (collection.LastOpenResult() == HidOpenResult::kPermissionDenied
                  ? "(no permission; see brontalctl udev-rules)"
                  : "the command collection")
          << '\n';
      status = kExitFailure;
      continue;
    }
    channel.set_open(true);
    channel.SetLink(receiver ? kLinkReceiver : kLinkWired);
    DeviceInfoBlock info;
    const CommandResult r = channel.ReadDeviceInfo(info.bytes);
    if (r != CommandResult::kSuccess) {
      err << "brontalctl: " << name << ": device information not read: " << ResultText(r) << '\n';
      status = kExitFailure;
      continue;
    }
    if (json) {
      Json::Value v;
      v["vendor_id"] = row->vendor_id;
      v["product_id"] = row->product_id;
      v["kind"] = KindName(row->type);
      v["link"] = receiver ? "receiver" : "wired";
      v["key_slots"] = info.key_slot_count();
      v["macro_memory_bytes"] = static_cast<Json::UInt64>(info.macro_memory_bytes());
      if (IsMouse(row->type)) {
        v["sensor_code"] = info.sensor_code();
        v["dpi_step"] = info.dpi_step();
        v["largest_stage_value"] = info.largest_stage_value();
        v["base_dpi"] = info.base_dpi();
      }
      list.append(v);
      continue;
    }
    out << name << "  key slots " << int{info.key_slot_count()} << "  macro memory " << info.macro_memory_bytes()
        << " bytes";
    if (IsMouse(row->type)) {
      out << "  sensor " << Hex4(info.sensor_code()) << "  DPI step " << int{info.dpi_step()} << "  largest stage "
          << info.largest_stage_value() << "  base DPI " << info.base_dpi();
    }
    out << '\n';
  }
  if (json) {
    WriteJson(out, list);
  } else if (!any) {
    err << "brontalctl: no supported device found\n";
  }
  return status;
}

}  // namespace brontal
