#include <gtest/gtest.h>

#include <numeric>

#include "devices/mouse/corvane_mouse_device.h"
#include "devices/simulated_product_fixture.h"
#include "models/memory_layout.h"
#include "profiles/screen_size_setting.h"

namespace brontal {
namespace {

using sim::MemoryRegion;

constexpr std::uint16_t kCabled = 0x2003;
constexpr std::uint16_t kReceiver = 0x221D;
constexpr std::uint8_t kLinkCheck = 0xAA;

// The mouse on the simulator, on its cable or through its receiver.
class MouseDeviceTest : public test::SimulatedProductFixture<CCorvaneMouseDevice>,
                        public ::testing::WithParamInterface<std::uint16_t> {
 protected:
  MouseDeviceTest() : SimulatedProductFixture(GetParam()) {}

  CCorvaneMouseDevice& Connect() {
    CCorvaneMouseDevice& mouse = Open();
    loop.AdvanceBy(CDeviceOptionUI::kConnectDelay);
    EXPECT_TRUE(PumpUntil([&] { return mouse.ready(); }));
    return mouse;
  }
  bool ThroughReceiver() const { return GetParam() == kReceiver; }

  // The commands sent, with the link checks through the receiver left out;
  // through the receiver, every command must follow a check (its further
  // packets, of the same code, continue it).
  std::vector<std::uint8_t> CheckedCommands() {
    std::vector<std::uint8_t> commands;
    bool checked = false;
    for (const sim::JournalEntry& e : Requests()) {
      if (e.command == kLinkCheck) {
        checked = true;
        continue;
      }
      const bool continued = !commands.empty() && commands.back() == e.command;
      if (ThroughReceiver()) {
        EXPECT_TRUE(checked || continued) << "command " << int{e.command} << " without a link check";
      }
      checked = false;
      commands.push_back(e.command);
    }
    return commands;
  }
  static std::vector<std::uint8_t> Runs(const std::vector<std::uint8_t>& commands) {
    std::vector<std::uint8_t> runs;
    for (const std::uint8_t c : commands)
      if (runs.empty() || runs.back() != c) runs.push_back(c);
    return runs;
  }
};

TEST_P(MouseDeviceTest, ConnectReadsTheButtonsAndTheRecordEachBehindTheLinkCheck) {
  CCorvaneMouseDevice& mouse = Connect();
  EXPECT_EQ(Runs(CheckedCommands()), (std::vector<std::uint8_t>{0x01, 0x03, 0x07, 0x02, 0x05}));
  EXPECT_EQ(mouse.slot_count(), 10u);
  // The simulated mouse lacks the DPI-cycle button.
  EXPECT_EQ(mouse.button_slots(), (mouse::ButtonSlots{0, 1, 2, 4, 3, 6, 7, mouse::kNoSlot, 5, 8, 9}));
  EXPECT_EQ(mouse.dpi_scale().sensor, mouse::kTwoRangeSensor);
  EXPECT_TRUE(std::filesystem::exists(mouse.profile().ProfilePath()));
  EXPECT_EQ(mouse.profile().GetActiveStage(), mouse.raw_record()[12]);
}

TEST_P(MouseDeviceTest, TheRecordIsBuiltFromTheProfileAndWrittenWithoutTheDevicesOwnBytes) {
  const std::array<std::uint8_t, 5> own = {0xD1, 0xD2, 0xD3, 0xD4, 0xD5};
  Device().WriteMemory(MemoryRegion::kParameters, 66, own);
  ASSERT_TRUE(WriteScreenSize({1920, 1080}));
  CCorvaneMouseDevice& mouse = Connect();
  std::vector<DpiStage> stages = {{1, 0, 48, 48, 1, 2, 3}, {1, 0, 50, 50, 4, 5, 6}};
  mouse.profile().SetDpiStages(stages);
  mouse.profile().SetActiveStage(1);
  Device().Journal().Clear();

  ASSERT_TRUE(Written([&](auto done) { mouse.WriteSettings(done); }));
  EXPECT_EQ(Runs(CheckedCommands()), (std::vector<std::uint8_t>{0x01, 0x06, 0x02}));
  const std::vector<std::uint8_t> record = Memory(MemoryRegion::kParameters, 0, mouse::kRecordSize);
  ASSERT_EQ(record.size(), mouse::kRecordSize);
  EXPECT_EQ(record[12], 1);
  EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 14, record.begin() + 32),
            (std::vector<std::uint8_t>{1, 0, 48, 0, 48, 0, 1, 2, 3, 1, 0, 50, 0, 50, 0, 4, 5, 6}));
  EXPECT_EQ(std::vector<std::uint8_t>(record.begin() + 59, record.begin() + 64),
            (std::vector<std::uint8_t>{1, 0x80, 0x07, 0x38, 0x04}));
  EXPECT_TRUE(std::equal(own.begin(), own.end(), record.begin() + 66));

  // brontalctl's --screen stands for the stored size in one write.
  ASSERT_TRUE(Written([&](auto done) { mouse.WriteSettings(done, ScreenSize{800, 600}); }));
  EXPECT_EQ(Memory(MemoryRegion::kParameters, 60, 4), (std::vector<std::uint8_t>{0x20, 0x03, 0x58, 0x02}));
}

TEST_P(MouseDeviceTest, ButtonsGetTheirMacrosFirstAndAMissingButtonIsNotWritten) {
  CCorvaneMouseDevice& mouse = Connect();
  const MacroEvent left_down{macro_event_type::kMouseButton, 0x01, true, 300};
  SaveMacros(mouse.UserDataFolder(), {{}, {left_down}});
  std::vector<KeyAssignment> keys = mouse.keys();
  ASSERT_EQ(keys.size(), kMouseButtonCount);
  keys[3].assignment = {0x70, 1, 1};
  keys[7].assignment = {0x70, 0, 1};  // the mouse has no such button
  const std::vector<std::uint8_t> table_before = Memory(MemoryRegion::kKeyTables, 0, 30);
  Device().Journal().Clear();

  const KeyWriteOutcome outcome =
      Awaited<KeyWriteOutcome>([&](auto done) { mouse.WriteKeysWithMacros(0, keys, done); });
  EXPECT_TRUE(outcome.ok());
  EXPECT_EQ(outcome.macros.macros, (std::vector<std::uint8_t>{1}));
  EXPECT_EQ(Runs(CheckedCommands()), (std::vector<std::uint8_t>{0x03, 0x01, 0x15, 0x02, 0x03, 0x01, 0x09, 0x02}));
  std::vector<std::uint8_t> expected = table_before;
  const std::size_t slot = mouse.button_slots()[3];
  expected[slot * 3] = 0x70;
  expected[slot * 3 + 1] = 0;  // the first slot of the image
  expected[slot * 3 + 2] = 1;
  EXPECT_EQ(Memory(MemoryRegion::kKeyTables, 0, 30), expected);
}

TEST_P(MouseDeviceTest, AnIndexSwitchEventSetsTheIndexAndTheActiveStage) {
  CCorvaneMouseDevice& mouse = Connect();
  ASSERT_TRUE(simulator().Event(kVendor, GetParam(), 0x1132));
  const std::uint64_t beats = mouse.heartbeats();
  ASSERT_TRUE(simulator().Event(kVendor, GetParam(), 0x0404));
  ASSERT_TRUE(PumpUntil([&] { return mouse.heartbeats() > beats; }));
  loop.RunUntilIdle();
  EXPECT_EQ(mouse.settings_index(), 2);
  EXPECT_EQ(mouse.raw_record()[12], 3);
  // The mouse's own DPI button: the next record write keeps its stage.
  EXPECT_EQ(mouse.profile().GetActiveStage(), 3);
}

// Four patterns of 180 events: 2920 bytes in 53 packets of 56, the last with 8.
TEST_P(MouseDeviceTest, TheShootImageGoesInFixedChunks) {
  CCorvaneMouseDevice& mouse = Connect();
  std::vector<std::uint8_t> image(2920);
  std::iota(image.begin(), image.end(), 0);
  Device().Journal().Clear();
  ASSERT_TRUE(Written([&](auto done) { mouse.WriteShootImage(image, done); }));
  EXPECT_EQ(Runs(CheckedCommands()), (std::vector<std::uint8_t>{0x03, 0x01, 0x17, 0x02}));
  const std::vector<sim::JournalEntry> chunks = Requests(0x17);
  ASSERT_EQ(chunks.size(), 53u);
  for (std::size_t i = 0; i < chunks.size(); ++i) EXPECT_EQ(chunks[i].address, i * 56);
  EXPECT_EQ(chunks.back().length, 8);
  EXPECT_EQ(Memory(MemoryRegion::kShoot, 0, image.size()), image);
}

// What a failed read leaves: the profile and the mouse's buttons stay as they are.
class MouseReadFailureTest : public test::SimulatedProductFixture<CCorvaneMouseDevice> {
 protected:
  MouseReadFailureTest() : SimulatedProductFixture(kCabled) {}
  CCorvaneMouseDevice& Connect() {
    CCorvaneMouseDevice& mouse = Open();
    loop.AdvanceBy(CDeviceOptionUI::kConnectDelay);
    EXPECT_TRUE(PumpUntil([&] { return mouse.ready(); }));
    return mouse;
  }
};

TEST_F(MouseReadFailureTest, AFailedSettingsReadChangesNothingInTheProfile) {
  CCorvaneMouseDevice& mouse = Connect();
  LightSetting light = mouse.profile().GetLight();
  light.red = 0x42;
  light.light = 1;
  mouse.profile().SetLight(light);
  ASSERT_TRUE(mouse.SaveProfile());
  mouse.profile().SetActiveStage(4);
  bool shown = false;
  mouse.on_shown_on_panels = [&](CCorvaneUSBDevice&) { shown = true; };
  Device().Faults().ErrorStatus(0xFF, 2);
  mouse.OnSyncRequest();
  ASSERT_TRUE(PumpUntil([&] { return shown; }));
  EXPECT_EQ(mouse.profile().GetLight().red, 0x42);
  EXPECT_EQ(mouse.profile().GetLight().light, 1);
  EXPECT_EQ(mouse.profile().GetActiveStage(), 4);
}

TEST_F(MouseReadFailureTest, WithoutItsKeyTableReadTheMouseGetsNoKeyTable) {
  Device().Faults().ErrorStatus(0xFF, 3);  // the connect read's first commands
  CCorvaneMouseDevice& mouse = Connect();
  ASSERT_EQ(mouse.slot_count(), 0u);
  const std::vector<std::uint8_t> before = Memory(MemoryRegion::kKeyTables, 0, 0x180);
  Device().Journal().Clear();
  EXPECT_FALSE(Written([&](auto done) { mouse.WriteKeyTable(0, mouse.keys(), done); }));
  EXPECT_TRUE(Requests(0x09).empty());
  EXPECT_EQ(Memory(MemoryRegion::kKeyTables, 0, 0x180), before);
}

INSTANTIATE_TEST_SUITE_P(CableAndReceiver, MouseDeviceTest, ::testing::Values(kCabled, kReceiver),
                         [](const auto& param) { return param.param == kCabled ? "Cable" : "Receiver"; });

// Out of reach behind its receiver the mouse gets the link check and nothing
// else: the operation stops at the failed check.
class MouseOutOfReachTest : public test::SimulatedProductFixture<CCorvaneMouseDevice> {
 protected:
  MouseOutOfReachTest() : SimulatedProductFixture(kReceiver) {}
};

TEST_F(MouseOutOfReachTest, AFailedLinkCheckStopsEveryOperation) {
  CCorvaneMouseDevice& mouse = Open();
  loop.AdvanceBy(CDeviceOptionUI::kConnectDelay);
  ASSERT_TRUE(PumpUntil([&] { return mouse.ready(); }));
  Device().SetWirelessLink(false);
  Device().Journal().Clear();
  EXPECT_FALSE(Written([&](auto done) { mouse.WriteSettings(done); }));
  EXPECT_FALSE(Written([&](auto done) { mouse.WriteKeyTable(0, mouse.keys(), done); }));
  EXPECT_FALSE(Written([&](auto done) { mouse.WriteShootImage(std::vector<std::uint8_t>(64), done); }));
  for (const sim::JournalEntry& e : Requests()) EXPECT_EQ(e.command, kLinkCheck);
  EXPECT_FALSE(Requests().empty());
}

}  // namespace
}  // namespace brontal
