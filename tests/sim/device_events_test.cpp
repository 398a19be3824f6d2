#include <gtest/gtest.h>

#include "models/event_report.h"
#include "models/simulated_device.h"

namespace brontal::sim {
namespace {

std::unique_ptr<SimulatedDevice> Make(std::uint16_t vendor_id, std::uint16_t product_id) {
  return SimulatedDevice::Create(*FindProduct(vendor_id, product_id));
}

std::uint8_t Parameter(const SimulatedDevice& device, std::size_t address) {
  return (*device.ReadMemory(MemoryRegion::kParameters, address, 1))[0];
}

TEST(DeviceEventsTest, EventReportCarriesTheCodeLittleEndianUnderTheConsumerReportId) {
  const auto keyboard = Make(0x320F, 0x5104);
  EXPECT_EQ(keyboard->EventReport(event_code::kKeyPressBase + 0x23), (std::vector<std::uint8_t>{0x03, 0x23, 0x05}));
  EXPECT_EQ(keyboard->EventReport(event_code::kHeartbeat), (std::vector<std::uint8_t>{0x03, 0x04, 0x04}));
  const auto headset = Make(0x0C76, 0x1630);
  EXPECT_EQ(headset->EventReport(event_code::kSyncRequest), (std::vector<std::uint8_t>{0x01, 0x01, 0x04}));
}

TEST(DeviceEventsTest, IndexSwitchEventsMoveTheCurrentRecord) {
  auto keyboard = Make(0x320F, 0x5100);
  keyboard->EmitEvent(0x1023);
  EXPECT_EQ(Parameter(*keyboard, 0), 3);
  EXPECT_EQ(Parameter(*keyboard, 3 * 33 + 17), 0) << "0x10xx carries no value";
  keyboard->EmitEvent(0x1152);
  EXPECT_EQ(Parameter(*keyboard, 0), 2);
  EXPECT_EQ(Parameter(*keyboard, 2 * 33 + 17), 5);

  auto mouse = Make(0x320F, 0x2003);
  EXPECT_EQ(mouse->EmitEvent(0x1132), mouse->EventReport(0x1132));
  EXPECT_EQ(Parameter(*mouse, 0), 2);
  EXPECT_EQ(Parameter(*mouse, 2 * 128 + 12), 3);  // active DPI stage
}

TEST(DeviceEventsTest, EventsWithoutADeviceSideEffectChangeNothing) {
  struct Case {
    std::uint16_t vendor_id, product_id, code;
  };
  for (const Case& c : {Case{0x320F, 0x5100, event_code::kKeyReleaseBase + 5}, Case{0x320F, 0x2003, event_code::kClick},
                        Case{0x320F, 0x1004, 0x1003}, Case{0x0C76, 0x1630, 0x1102}}) {
    auto device = Make(c.vendor_id, c.product_id);
    const auto before = device->ReadMemory(MemoryRegion::kParameters, 0, device->MemorySize(MemoryRegion::kParameters));
    device->EmitEvent(c.code);
    EXPECT_EQ(device->ReadMemory(MemoryRegion::kParameters, 0, before->size()), before) << std::hex << c.code;
  }
}

TEST(DeviceEventsTest, SwitchToARecordBeyondMemoryKeepsTheValueOut) {
  auto mouse = Make(0x320F, 0x2003);
  const auto before = mouse->ReadMemory(MemoryRegion::kParameters, 1, 511);
  mouse->EmitEvent(0x11FF);  // index 15: record 15 lies past the 4 records
  EXPECT_EQ(Parameter(*mouse, 0), 15);
  EXPECT_EQ(mouse->ReadMemory(MemoryRegion::kParameters, 1, 511), before);
}

}  // namespace
}  // namespace brontal::sim
