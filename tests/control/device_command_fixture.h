#pragma once

#include <optional>
#include <string>
#include <vector>

#include "control/device_commands.h"
#include "devices/simulated_product_fixture.h"

namespace brontal::test {

// A product on the simulator, connected and read, that takes brontalctl's
// device commands as the owning program runs them; the journal starts empty.
template <typename DeviceT>
class DeviceCommandFixture : public SimulatedProductFixture<DeviceT> {
 protected:
  explicit DeviceCommandFixture(std::uint16_t product, std::uint16_t vendor = SimulatedProductFixture<DeviceT>::kVendor)
      : SimulatedProductFixture<DeviceT>(product, vendor) {
    DeviceT& device = this->Open();
    this->loop.AdvanceBy(CDeviceOptionUI::kConnectDelay);
    EXPECT_TRUE(this->PumpUntil([&] { return device.ready(); }));
    this->Device().Journal().Clear();
  }

  DeviceReply Run(std::vector<std::string> args) {
    std::optional<DeviceReply> reply;
    RunDeviceRequest(this->roster_, {std::move(args), "test"}, [&](DeviceReply r) { reply = std::move(r); });
    EXPECT_TRUE(this->PumpUntil([&] { return reply.has_value(); }));
    return reply.value_or(DeviceReply{-1, "", "no reply"});
  }
};

}  // namespace brontal::test
