#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <memory>

#include "device_access/command_channel.h"
#include "device_access/hid_path.h"
#include "device_access/hid_sim.h"
#include "transport/in_process_host.h"
#include "transport/simulator.h"

namespace brontal::test {

using sim::Link;

// The command collection path of a simulated product, as enumeration gives it.
inline std::string CommandCollectionPath(std::uint16_t vendor_id, std::uint16_t product_id) {
  CHidDevice hid;
  EXPECT_TRUE(hid.EnumerateInterfaces());
  while (const auto path = hid.NextPath())
    if (ParseVendorId(*path) == vendor_id && ParseProductId(*path) == product_id && ParseCollectionNumber(*path) == 4)
      return *path;
  ADD_FAILURE() << "no command collection for " << std::hex << product_id;
  return {};
}

// A command channel on the simulated 0x5100 keyboard, with its cable and its
// receiver plugged in. Reports travel without the USB latency model.
class ChannelOnSimulator : public ::testing::Test {
 protected:
  static constexpr std::uint16_t kVendor = 0x320F;
  static constexpr std::uint16_t kCable = 0x5100;
  static constexpr std::uint16_t kReceiver = 0x5103;

  ChannelOnSimulator() {
    HidBus::SetSimulated(bus_);
    simulator_.SetLatency(std::chrono::microseconds(0));
    simulator_.Plug(kVendor, kCable);
    simulator_.Plug(kVendor, kReceiver);
  }
  ~ChannelOnSimulator() override {
    channel.wired_collection().Close();
    channel.receiver_collection().Close();
    HidBus::SetSimulated(nullptr);
  }

  // Opens the link's collection and selects it, as discovery does.
  void ConnectKeyboard(Link link) {
    const bool wired = link == Link::kWired;
    std::scoped_lock lock(channel.exchange_lock());
    channel.set_open(false);
    CHidDevice& collection = wired ? channel.wired_collection() : channel.receiver_collection();
    ASSERT_TRUE(collection.Open(CommandCollectionPath(kVendor, wired ? kCable : kReceiver), true, true, true, false));
    channel.set_open(true);
    channel.SetLink(wired ? kLinkWired : kLinkReceiver);
  }

  sim::SimulatedDevice* device() { return simulator_.Device(kVendor, kCable); }
  std::vector<std::uint8_t> DeviceMemory(sim::MemoryRegion region, std::size_t length, std::size_t address = 0) {
    return device()->ReadMemory(region, address, length).value_or(std::vector<std::uint8_t>{});
  }
  sim::Simulator& simulator() { return simulator_; }

 private:
  std::shared_ptr<SimulatedHidBus> bus_ = std::make_shared<SimulatedHidBus>();
  sim::InProcessNodeHost host_{bus_};
  sim::Simulator simulator_{host_};

 protected:
  CCommandChannel channel;  // closed before the simulator goes
};

}  // namespace brontal::test
