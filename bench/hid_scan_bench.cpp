// One discovery-style scan: list every collection path and read the four
// identity values from each, over 64 simulated nodes whose descriptors are
// already parsed. The discovery thread does this every 100 ms.
#include <benchmark/benchmark.h>

#include "device_access/hid_device.h"
#include "device_access/hid_path.h"
#include "device_access/hid_sim.h"
#include "models/product_catalog.h"

namespace brontal {
namespace {

void BM_DiscoveryScan(benchmark::State& state) {
  auto bus = std::make_shared<SimulatedHidBus>();
  // Keyboard interfaces: four collections each.
  const std::span<const std::uint8_t> keyboard = sim::FindProduct(0x320F, 0x5100)->report_descriptor;
  for (int i = 0; i < state.range(0); ++i)
    bus->Plug({0x320F, static_cast<std::uint16_t>(0x5000 + i), 0, 1, {keyboard.begin(), keyboard.end()}, nullptr});
  HidBus::SetSimulated(bus);

  std::size_t paths = 0;
  for (auto _ : state) {
    CHidDevice hid;
    hid.EnumerateInterfaces();
    unsigned sum = 0;
    while (const auto path = hid.NextPath()) {
      sum += ParseVendorId(*path) + ParseProductId(*path) + ParseInterfaceNumber(*path) + ParseCollectionNumber(*path);
      ++paths;
    }
    hid.FreePathList();
    benchmark::DoNotOptimize(sum);
  }
  state.counters["paths_per_scan"] = static_cast<double>(paths) / static_cast<double>(state.iterations());
  HidBus::SetSimulated(nullptr);
}
BENCHMARK(BM_DiscoveryScan)->Arg(64)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace brontal
