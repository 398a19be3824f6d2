#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "models/simulated_device.h"
#include "sim/request_frames.h"

namespace brontal::sim {
namespace {

using testing::Request;

// Senders on both links, a status reader and fault arming run together; every
// command must be journaled once and every sender's writes must land whole.
TEST(SimulatedDeviceConcurrencyTest, ParallelSendersKeepMemoryAndJournalConsistent) {
  auto device = SimulatedDevice::Create(*FindProduct(0x320F, 0x5100));
  constexpr int kSenders = 4;
  constexpr int kPackets = 200;
  std::vector<std::thread> threads;
  for (int t = 0; t < kSenders; ++t) {
    threads.emplace_back([&device, t] {
      const Link link = t % 2 == 0 ? Link::kWired : Link::kReceiver;
      const std::vector<std::uint8_t> colour(24, static_cast<std::uint8_t>(t + 1));
      for (int i = 0; i < kPackets; ++i)
        device->HandleOutputReport(link, Request(0x0B, 24, static_cast<std::uint16_t>(t * 512), colour));
    });
  }
  threads.emplace_back([&device] {
    for (int i = 0; i < kPackets; ++i) {
      device->Status();
      device->Journal().Entries();
      device->Faults().SetExtraLatency(std::chrono::microseconds{i});
      device->SetWirelessLink(true);
      device->EmitEvent(0x1000);
    }
  });
  for (std::thread& thread : threads) thread.join();

  EXPECT_EQ(device->Journal().Summary().commands, static_cast<std::size_t>(kSenders * kPackets));
  for (int t = 0; t < kSenders; ++t)
    EXPECT_EQ(device->ReadMemory(MemoryRegion::kColourTables, static_cast<std::size_t>(t) * 512, 24),
              std::vector<std::uint8_t>(24, static_cast<std::uint8_t>(t + 1)));
}

}  // namespace
}  // namespace brontal::sim
