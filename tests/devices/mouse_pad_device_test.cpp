#include <gtest/gtest.h>

#include "devices/mousepad/corvane_mouse_pad_device.h"
#include "devices/simulated_product_fixture.h"
#include "models/memory_layout.h"

namespace brontal {
namespace {

using sim::MemoryRegion;

class MousePadDeviceTest : public test::SimulatedProductFixture<CCorvaneMousePadDevice> {
 protected:
  MousePadDeviceTest() : SimulatedProductFixture(0x1004) {}

  CCorvaneMousePadDevice& Connect() {
    CCorvaneMousePadDevice& pad = Open();
    loop.AdvanceBy(CDeviceOptionUI::kConnectDelay);
    EXPECT_TRUE(PumpUntil([&] { return pad.ready(); }));
    return pad;
  }
  void Sync(CCorvaneMousePadDevice& pad) {
    bool shown = false;
    pad.on_shown_on_panels = [&](CCorvaneUSBDevice&) { shown = true; };
    pad.OnSyncRequest();
    EXPECT_TRUE(PumpUntil([&] { return shown; }));
  }
};

TEST_F(MousePadDeviceTest, ConnectReadsOnlyTheDeviceInformation) {
  Connect();
  EXPECT_EQ(CommandRuns(), (std::vector<std::uint8_t>{0x01, 0x03, 0x02}));
}

TEST_F(MousePadDeviceTest, TheRecordIsReadOnSyncAndWrittenWholeWithTheLiveLighting) {
  CCorvaneMousePadDevice& pad = Connect();
  const std::array<std::uint8_t, 3> own = {0xA1, 0xA2, 0xA3};  // bytes 9..11, the pad's own
  Device().WriteMemory(MemoryRegion::kParameters, 9, own);
  Sync(pad);
  EXPECT_EQ(pad.record()[9], 0xA1);
  LightSetting light = pad.profile().GetLight();
  light.speed = 1;
  light.light = 2;
  light.red = 0x55;
  Device().Journal().Clear();
  ASSERT_TRUE(Written([&](auto done) { pad.ApplyLightRecord(light, done); }));
  EXPECT_EQ(CommandRuns(), (std::vector<std::uint8_t>{0x01, 0x06, 0x02}));
  EXPECT_EQ(BytesOf(0x06), pad::kRecordSize);
  const std::vector<std::uint8_t> record = Memory(MemoryRegion::kParameters, 0, pad::kRecordSize);
  EXPECT_EQ(record[2], 2);
  EXPECT_EQ(record[3], 3);  // speed 1 goes as 3
  EXPECT_EQ(record[6], 0x55);
  EXPECT_TRUE(std::equal(own.begin(), own.end(), record.begin() + 9));
  // Twice without a change: the same 21 bytes.
  Device().Journal().Clear();
  ASSERT_TRUE(Written([&](auto done) { pad.WriteSettings(done); }));
  EXPECT_EQ(Memory(MemoryRegion::kParameters, 0, pad::kRecordSize), record);
}

TEST_F(MousePadDeviceTest, AFailedRecordReadKeepsTheRecordAndTheProfile) {
  CCorvaneMousePadDevice& pad = Connect();
  Sync(pad);
  const pad::LightRecord before = pad.record();
  const LightSetting light = pad.profile().GetLight();
  Device().Faults().ErrorStatus(0xFF, 2);
  Sync(pad);
  EXPECT_EQ(pad.record(), before);
  EXPECT_EQ(pad.profile().GetLight(), light);
}

}  // namespace
}  // namespace brontal
