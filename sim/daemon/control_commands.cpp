#include "daemon/control_commands.h"

#include <json/value.h>
#include <json/writer.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "support/hex_text.h"
#include "transport/in_process_simulation.h"

namespace brontal::sim {
namespace {

bool ParseOneProduct(const std::string& text, ProductIds& ids, std::string& error) {
  std::vector<ProductIds> list;
  if (!ParseProductList(text, list, error)) return false;
  if (list.size() != 1) {
    error = "one VID:PID expected";
    return false;
  }
  ids = list.front();
  return true;
}

bool IsPlugged(const Simulator& simulator, std::uint16_t vendor, std::uint16_t product) {
  const std::vector<PluggedProduct> plugged = simulator.Plugged();
  return std::any_of(plugged.begin(), plugged.end(), [&](const PluggedProduct& p) {
    return p.product->vendor_id == vendor && p.product->product_id == product;
  });
}

ControlReply Status(Simulator& simulator, bool json) {
  Json::Value plugged(Json::arrayValue);
  Json::Value devices(Json::arrayValue);
  std::ostringstream text;
  std::set<SimulatedDevice*> seen;
  for (const PluggedProduct& p : simulator.Plugged()) {
    const std::string ids = HexPair(p.product->vendor_id, p.product->product_id);
    text << ids << "  plugged as " << p.node << (p.product->receiver ? "  (receiver)" : "  (cable)") << '\n';
    Json::Value v;
    v["vendor_id"] = p.product->vendor_id;
    v["product_id"] = p.product->product_id;
    v["node"] = p.node;
    v["receiver"] = p.product->receiver;
    plugged.append(v);

    SimulatedDevice* device = simulator.Device(p.product->vendor_id, p.product->product_id);
    if (!seen.insert(device).second) continue;
    const DeviceStatus s = device->Status();
    const ProductSpec& cabled = device->CabledProduct();
    text << "  device " << HexPair(cabled.vendor_id, cabled.product_id) << ": wireless link "
         << (s.wireless_link_on ? "on" : "off") << ", key slots " << int{s.key_slots} << ", macro memory "
         << s.macro_bytes << " bytes, record index " << int{s.record_index} << '\n'
         << "  journal: " << FormatSummary(s.journal) << '\n';
    Json::Value d;
    d["vendor_id"] = cabled.vendor_id;
    d["product_id"] = cabled.product_id;
    d["wireless_link"] = s.wireless_link_on;
    d["key_slots"] = s.key_slots;
    d["macro_memory_bytes"] = static_cast<Json::UInt64>(s.macro_bytes);
    d["record_index"] = s.record_index;
    d["transaction_open"] = s.transaction_open;
    d["host_lighting"] = s.host_lighting;
    d["commands"] = static_cast<Json::UInt64>(s.journal.commands);
    d["journal"] = FormatSummary(s.journal);
    devices.append(d);
  }
  if (!json) return {true, text.str()};
  Json::Value root;
  root["plugged"] = plugged;
  root["devices"] = devices;
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "  ";
  return {true, Json::writeString(writer, root) + "\n"};
}

ControlReply Journal(const std::vector<JournalEntry>& entries, bool json) {
  if (!json) {
    std::string text;
    for (const JournalEntry& entry : entries) text += FormatJournalLine(entry) + '\n';
    return {true, text};
  }
  Json::Value list(Json::arrayValue);
  for (const JournalEntry& entry : entries) {
    Json::Value e;
    e["time_ms"] = entry.time_ms;
    e["kind"] = KindName(entry.kind);
    e["bytes"] = HexBytes(entry.bytes, "");
    list.append(e);
  }
  Json::StreamWriterBuilder writer;
  writer["indentation"] = "  ";
  // Whole microseconds, without binary noise such as 12.345000000000001.
  writer["precision"] = 3;
  writer["precisionType"] = "decimal";
  return {true, Json::writeString(writer, list) + "\n"};
}

}  // namespace

ControlReply RunControlCommand(Simulator& simulator, std::string_view line) {
  std::istringstream in{std::string(line)};
  std::vector<std::string> words;
  for (std::string w; in >> w;) words.push_back(w);
  if (words.empty()) return {false, "empty command"};
  const std::string& verb = words[0];

  if (verb == "status" && (words.size() == 1 || (words.size() == 2 && words[1] == "--json")))
    return Status(simulator, words.size() == 2);

  if (verb == "latency" && words.size() == 2) {
    unsigned microseconds = 0;
    const std::string& digits = words[1];
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), microseconds);
    if (ec != std::errc{} || end != digits.data() + digits.size() || microseconds > 1'000'000)
      return {false, "'" + digits + "' is not a latency in microseconds (0 to 1000000)"};
    simulator.SetLatency(std::chrono::microseconds(microseconds));
    return {true, ""};
  }

  ProductIds ids;
  std::string error;
  if (words.size() < 2) return {false, "usage: " + verb + " VID:PID ..."};
  if (!ParseOneProduct(words[1], ids, error)) return {false, error};
  const auto [vendor, product] = ids;

  if (verb == "plug" && (words.size() == 2 || (words.size() == 3 && words[2] == "--off"))) {
    // Refused before anything changes: --off on a plugged receiver would cut its live link.
    if (IsPlugged(simulator, vendor, product)) return {false, words[1] + " is already plugged"};
    SimulatedDevice* device = simulator.Device(vendor, product);
    const bool link_was_on = device->Status().wireless_link_on;
    if (words.size() == 3) device->SetWirelessLink(false);
    if (!simulator.Plug(vendor, product)) {
      device->SetWirelessLink(link_was_on);
      return {false, words[1] + " could not be plugged: its node could not be made (see the daemon's log)"};
    }
    return {true, ""};
  }
  if (verb == "unplug" && words.size() == 2) {
    if (!simulator.Unplug(vendor, product)) return {false, words[1] + " is not plugged"};
    return {true, ""};
  }
  if (verb == "link" && words.size() == 3 && (words[2] == "on" || words[2] == "off")) {
    if (!FindProduct(vendor, product)->receiver)
      return {false, words[1] + " is not a receiver: only the device behind a receiver has a wireless link"};
    if (!IsPlugged(simulator, vendor, product)) return {false, words[1] + " is not plugged"};
    simulator.Device(vendor, product)->SetWirelessLink(words[2] == "on");
    return {true, ""};
  }
  if (verb == "journal" && (words.size() == 2 || (words.size() == 3 && words[2] == "--json"))) {
    const std::optional<std::vector<JournalEntry>> entries = simulator.Journal(vendor, product);
    if (!entries) return {false, words[1] + " is not plugged"};
    return Journal(*entries, words.size() == 3);
  }
  if (verb == "event" && words.size() == 3) {
    const std::string& digits = words[2];
    unsigned code = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), code, 16);
    if (ec != std::errc{} || end != digits.data() + digits.size() || code > 0xFFFF)
      return {false, "'" + digits + "' is not a 16-bit hexadecimal code"};
    if (!simulator.Event(vendor, product, static_cast<std::uint16_t>(code)))
      return {false, words[1] + " is not plugged"};
    return {true, ""};
  }
  return {false, "unknown command: " + std::string(line)};
}

}  // namespace brontal::sim
