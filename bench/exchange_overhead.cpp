// Scenario: the cost of one command exchange (request out, reply in) on
// whatever bus the program uses: the simulated bus (--simulate, or
// BRONTAL_HID=sim:DIR) or real hidraw nodes, such as those the kernel makes
// for `brontal-sim serve --uhid` in the kernel path test. Set the simulator's
// latency to 0 first (`brontal-sim latency DIR 0`) to see the path's own cost.
// Prints microseconds per exchange for the first keyboard command collection.
#include <chrono>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "device_access/command_channel.h"
#include "device_access/hid_path.h"
#include "devices/interface_table.h"
#include "transport/in_process_simulation.h"

namespace {

using namespace brontal;

constexpr int kExchanges = 500;

std::optional<std::string> KeyboardCommandPath() {
  CHidDevice scan;
  if (!scan.EnumerateInterfaces()) return std::nullopt;
  while (const auto path = scan.NextPath()) {
    for (const InterfaceRow& row : kInterfaceTable) {
      if (IsRealProduct(row) && row.role == CollectionRole::kCommand && row.type == DeviceType::kKeyboardWired &&
          row.vendor_id == ParseVendorId(*path) && row.product_id == ParseProductId(*path) &&
          row.interface_number == ParseInterfaceNumber(*path) && row.collection_number == ParseCollectionNumber(*path))
        return *path;
    }
  }
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  std::optional<sim::InProcessSimulation> simulation;
  if (argc > 1 && std::strcmp(argv[1], "--simulate") == 0) {
    simulation.emplace(std::vector<sim::ProductIds>{{0x320F, 0x5100}});
    simulation->simulator().SetLatency(std::chrono::microseconds(0));
  }
  const std::optional<std::string> path = KeyboardCommandPath();
  if (!path) {
    std::fprintf(stderr, "no keyboard command collection found\n");
    return 1;
  }
  CCommandChannel channel;
  if (!channel.wired_collection().Open(*path, true, true, true, false)) {
    std::fprintf(stderr, "cannot open %s\n", path->c_str());
    return 1;
  }
  channel.set_open(true);
  channel.SetLink(kLinkWired);
  std::array<std::uint8_t, kDeviceInfoSize> info{};
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < kExchanges; ++i) {
    if (channel.ReadDeviceInfo(info) != CommandResult::kSuccess) {
      std::fprintf(stderr, "exchange %d failed\n", i);
      return 1;
    }
  }
  const double us = std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count();
  std::printf("exchange overhead on %s: %.1f us per exchange over %d exchanges\n",
              simulation                  ? "the in-process simulated bus"
              : path->starts_with("sim:") ? "the simulator daemon's bus"
                                          : "hidraw",
              us / kExchanges, kExchanges);
  return 0;
}
