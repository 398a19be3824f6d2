// The command channel against the in-process simulator: the host's own cost per
// packet (no latency), and whole transfers under the 1 ms USB frame model
// compared with the wire minimum of two frames per packet.
#include <benchmark/benchmark.h>

#include <chrono>

#include "device_access/command_channel.h"
#include "device_access/hid_path.h"
#include "support/debug_log.h"
#include "transport/in_process_simulation.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;

// The 0x5100 keyboard with its receiver, the channel open on the chosen link.
class Bench {
 public:
  Bench(bool receiver, std::chrono::microseconds latency) : simulation_({{0x320F, 0x5100}, {0x320F, 0x5103}}) {
    simulation_.simulator().SetLatency(latency);
    const std::uint16_t product = receiver ? 0x5103 : 0x5100;
    CHidDevice scan;
    scan.EnumerateInterfaces();
    while (const auto path = scan.NextPath()) {
      if (ParseProductId(*path) != product || ParseCollectionNumber(*path) != 4) continue;
      (receiver ? channel.receiver_collection() : channel.wired_collection()).Open(*path, true, true, true, false);
    }
    channel.set_open(true);
    channel.SetLink(receiver ? kLinkReceiver : kLinkWired);
  }
  CCommandChannel channel;

 private:
  sim::InProcessSimulation simulation_;
};

void BM_ExchangeHostOverhead(benchmark::State& state) {
  ScopedTraceSink quiet([](std::string_view) {});
  Bench bench(false, 0us);
  const Frame request = BuildRequest(command::kBegin, 0, 0);
  Frame reply{};
  for (auto _ : state) {
    if (bench.channel.Exchange(request, reply, nullptr) != CommandResult::kSuccess) state.SkipWithError("no reply");
  }
}
BENCHMARK(BM_ExchangeHostOverhead)->Unit(benchmark::kMicrosecond)->UseRealTime();

// Arg 0: wired, 1: receiver. Reports time per transfer and its ratio to the wire minimum.
void Transfer(benchmark::State& state, std::size_t bytes, bool write) {
  ScopedTraceSink quiet([](std::string_view) {});
  const bool receiver = state.range(0) == 1;
  Bench bench(receiver, 1000us);
  std::vector<std::uint8_t> data(bytes, 0x5A);
  for (auto _ : state) {
    const CommandResult r = write ? bench.channel.WriteIndexBlock(command::kWriteIndexedKeyTable, 0, data)
                                  : bench.channel.ReadDeviceInfo(data);
    if (r != CommandResult::kSuccess) state.SkipWithError("transfer failed");
  }
  const std::size_t chunk = receiver ? CCommandChannel::kReceiverChunk : CCommandChannel::kWiredChunk;
  const double packets = static_cast<double>((bytes + chunk - 1) / chunk);
  state.counters["packets"] = packets;
  state.counters["wire_minimum_ms"] = packets * 2.0;
  state.counters["ratio_to_wire_minimum"] =
      benchmark::Counter(packets * 2e-3, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  state.SetLabel(receiver ? "receiver" : "wired");
}

void BM_KeyTableWrite512(benchmark::State& state) { Transfer(state, 512, true); }
void BM_DeviceInfoRead34(benchmark::State& state) { Transfer(state, kDeviceInfoSize, false); }
BENCHMARK(BM_KeyTableWrite512)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_DeviceInfoRead34)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace brontal
