#include <gtest/gtest.h>

#include <fstream>

#include "devices/keyboard/corvane_keyboard_device.h"
#include "devices/keyboard_fixture.h"
#include "macros/macro_index.h"
#include "models/memory_layout.h"
#include "profiles/json_document.h"
#include "ui/controls/device_profile_ui.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;
using sim::MemoryRegion;

std::size_t IndexOfCode(const CCorvaneKeyboardDevice& keyboard, int code) {
  const auto& modes = keyboard.light_names().modes;
  for (std::size_t i = 0; i < modes.size(); ++i)
    if (modes[i].value == code) return i;
  ADD_FAILURE() << "no mode with code " << code;
  return 0;
}

class KeyboardDeviceTest : public test::KeyboardFixture {
 protected:
  // Runs a write and waits for its outcome.
  template <typename Write>
  bool Written(Write write) {
    std::optional<bool> outcome;
    write([&](bool ok) { outcome = ok; });
    EXPECT_TRUE(PumpUntil([&] { return outcome.has_value(); }));
    return outcome.value_or(false);
  }

  // The command codes the host sent, runs of one code counted once.
  std::vector<std::uint8_t> CommandRuns() {
    std::vector<std::uint8_t> runs;
    for (const sim::JournalEntry& e : Requests())
      if (runs.empty() || runs.back() != e.command) runs.push_back(e.command);
    return runs;
  }
  std::size_t BytesOf(std::uint8_t command) {
    std::size_t total = 0;
    for (const sim::JournalEntry& e : Requests(command)) total += e.length;
    return total;
  }
  std::vector<std::uint8_t> Memory(MemoryRegion region, std::size_t address, std::size_t length) {
    return Device().ReadMemory(region, address, length).value_or(std::vector<std::uint8_t>{});
  }
};

TEST_F(KeyboardDeviceTest, ConnectReadsEveryTableInOneTransactionThenTheSettings) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  EXPECT_EQ(CommandRuns(), (std::vector<std::uint8_t>{0x01, 0x03, 0x07, 0x08, 0x1B, 0x25, 0x26, 0x02, 0x05}));
  const std::size_t slots = keyboard.info().key_slot_count();
  EXPECT_EQ(BytesOf(0x07), slots * 3);
  EXPECT_EQ(BytesOf(0x08), 4 * slots * 3);
  EXPECT_EQ(BytesOf(0x1B), slots);
  EXPECT_EQ(keyboard.channel().data_length(), slots * 3);
  // The key picture's variant and the profile of the selector's first entry.
  EXPECT_TRUE(std::filesystem::exists(keyboard.profile().ProfilePath()));
  EXPECT_FALSE(keyboard.keys().empty());
  EXPECT_NE(keyboard.maps().slot[64], keyboard::kNoSlot);  // A
}

TEST_F(KeyboardDeviceTest, A104SlotKeyboardReadsTablesOf312Bytes) {
  Device().WriteMemory(MemoryRegion::kDeviceInfo, 5, std::array<std::uint8_t, 1>{104});
  CCorvaneKeyboardDevice& keyboard = Connect();
  EXPECT_EQ(keyboard.channel().data_length(), 312);
  EXPECT_EQ(BytesOf(0x07), 312u);
  EXPECT_EQ(BytesOf(0x1B), 104u);
  for (std::uint8_t slot : keyboard.maps().slot) {
    if (slot != keyboard::kNoSlot) {
      EXPECT_LT(slot, 104);
    }
  }
}

TEST_F(KeyboardDeviceTest, ASlotCountOver170EndsTheReadAfterTheDeviceInformationAndEndsTheTransaction) {
  Device().WriteMemory(MemoryRegion::kDeviceInfo, 5, std::array<std::uint8_t, 1>{200});
  Connect();
  EXPECT_EQ(CommandRuns(), (std::vector<std::uint8_t>{0x01, 0x03, 0x02, 0x05}));
  EXPECT_FALSE(Device().Status().transaction_open);
}

TEST_F(KeyboardDeviceTest, TheSettingsRecordIsWrittenByteForByte) {
  const std::array<std::uint8_t, 7> untouched = {0xA9, 0xAA, 0xAB, 0xAC, 0xAD, 0xAE, 0xAF};
  Device().WriteMemory(MemoryRegion::kParameters, 9, untouched);
  CCorvaneKeyboardDevice& keyboard = Connect();
  LightSetting light = keyboard.profile().GetLight();
  light.select_item = static_cast<std::uint8_t>(IndexOfCode(keyboard, 29));
  light.speed = 1;
  light.light = 3;
  light.red = 0x12;
  keyboard.profile().SetLight(light);
  KeyboardSystem system = keyboard.profile().GetKeyboardSystem();
  system.polling_rate = 2;
  system.repeat = 999;  // the profile's alone
  keyboard.profile().SetKeyboardSystem(system);

  ASSERT_TRUE(Written([&](auto done) { keyboard.WriteSettings(0, 0, done); }));
  ASSERT_EQ(Requests(0x06).size(), 1u);
  const std::vector<std::uint8_t> record = Requests(0x06).front().payload;
  ASSERT_EQ(record.size(), keyboard::kRecordSize);
  EXPECT_EQ(record[0], 0);
  EXPECT_EQ(record[1], keyboard::kHostDrivenCode);
  EXPECT_EQ(record[2], 3);
  EXPECT_EQ(record[3], 3);  // 4 - speed
  EXPECT_EQ(record[6], 0x12);
  EXPECT_TRUE(std::equal(untouched.begin(), untouched.end(), record.begin() + 9));
  EXPECT_EQ(record[16], 0);
  EXPECT_EQ(record[22], 2);
  EXPECT_EQ(Memory(MemoryRegion::kParameters, 0, keyboard::kRecordSize), record);
  EXPECT_EQ(CommandRuns().back(), 0x02);
}

TEST_F(KeyboardDeviceTest, AFailedSettingsWriteIsReportedAndTheDeviceKeepsItsRecord) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  const std::vector<std::uint8_t> before = Memory(MemoryRegion::kParameters, 0, keyboard::kRecordSize);
  LightSetting light = keyboard.profile().GetLight();
  light.light = light.light == 1 ? 2 : 1;
  keyboard.profile().SetLight(light);
  Device().Faults().ErrorStatus(0xFF, 3);  // begin, write and end refused
  EXPECT_FALSE(Written([&](auto done) { keyboard.WriteSettings(0, 0, done); }));
  EXPECT_EQ(Memory(MemoryRegion::kParameters, 0, keyboard::kRecordSize), before);
}

TEST_F(KeyboardDeviceTest, ASettingsReadOvertakenByTheUsersChangeDoesNotTakeItBack) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  LightSetting light = keyboard.live_light();
  light.light = light.light == 1 ? 2 : 1;
  keyboard.OnSyncRequest();  // its answer comes after the change below
  ASSERT_TRUE(keyboard.ApplyLightRecord(light, {}));
  ASSERT_TRUE(PumpUntil([&] { return Requests(0x06).size() == 1 && !keyboard.io().Busy(); }));
  loop.RunUntilIdle();
  EXPECT_EQ(keyboard.live_light().light, light.light);
  EXPECT_EQ(keyboard.profile().GetLight().light, light.light);
  EXPECT_EQ(Memory(MemoryRegion::kParameters, 0, keyboard::kRecordSize), Requests(0x06).front().payload);
}

TEST_F(KeyboardDeviceTest, MacroSlotsAreNumberedInOrderOfFirstUseAndDanglingMacrosFallBack) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  MacroIndex macros;
  for (int i = 0; i < 5; ++i) macros.Append("m" + std::to_string(i), "guid" + std::to_string(i));
  ASSERT_TRUE(macros.Write(keyboard.UserDataFolder()));
  std::vector<KeyAssignment> keys = keyboard.keys();
  ASSERT_GT(keys.size(), 66u);
  keys[64].assignment = {0x70, 4, 0};  // A
  keys[65].assignment = {0x70, 2, 0};
  keys[66].assignment = {0x70, 7, 0};  // no such macro
  ASSERT_TRUE(Written([&](auto done) { keyboard.WriteKeyTable(0, keys, done); }));
  auto at = [&](std::size_t key) { return Memory(MemoryRegion::kKeyTables, keyboard.maps().slot[key] * 3u, 3); };
  EXPECT_EQ(at(64), (std::vector<std::uint8_t>{0x70, 0, 0}));
  EXPECT_EQ(at(65), (std::vector<std::uint8_t>{0x70, 1, 0}));
  const KeyAction fallback = keys[66].default_action;
  EXPECT_EQ(at(66), (std::vector<std::uint8_t>(fallback.begin(), fallback.end())));
  EXPECT_EQ(Requests(0x09).front().address, 0);
}

TEST_F(KeyboardDeviceTest, TheFnTableGoesToIndexZeroWithTheDevicesOwnFnActionsKept) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  const std::vector<std::uint8_t> built_in = Memory(MemoryRegion::kFnBaseTable, 0, keyboard.slot_count() * 3);
  ASSERT_TRUE(Written([&](auto done) { keyboard.WriteCurrentFnKeyTable(0, done); }));
  ASSERT_FALSE(Requests(0x27).empty());
  EXPECT_EQ(Requests(0x27).front().address, 0);
  // Keys with an Fn action of the device's own that the profile leaves at its
  // default keep that action.
  ASSERT_FALSE(keyboard.maps().fn_keys.empty());
  const std::vector<std::uint8_t> written = Memory(MemoryRegion::kFnKeyTables, 0, keyboard.slot_count() * 3);
  for (std::uint8_t key : keyboard.maps().fn_keys) {
    const std::size_t at = keyboard.maps().slot[key] * 3u;
    EXPECT_TRUE(std::equal(built_in.begin() + at, built_in.begin() + at + 3, written.begin() + at)) << int{key};
  }
}

TEST_F(KeyboardDeviceTest, APickedProfileBringsItsSettingsAndItsOnBoardKeyTable) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  CDeviceProfileUI* panel = keyboard.profile_panel();
  ASSERT_NE(panel, nullptr);
  ASSERT_TRUE(panel->AddProfile());  // a fifth

  ASSERT_TRUE(panel->Select(1));
  ASSERT_TRUE(Written([&](auto done) { keyboard.ApplySelectedProfile(done); }));
  EXPECT_EQ(keyboard.profile().ProfilePath(), panel->ProfileFilePath(1));
  EXPECT_EQ(Requests(0x06).size(), 1u);
  ASSERT_FALSE(Requests(0x09).empty());
  EXPECT_EQ(Requests(0x09).front().address, 0x180);  // on-board index 1

  // Four on-board tables: the fifth profile's keys stay in the profile.
  const std::size_t tables = Requests(0x09).size();
  ASSERT_TRUE(panel->Select(4));
  ASSERT_TRUE(Written([&](auto done) { keyboard.ApplySelectedProfile(done); }));
  EXPECT_EQ(Requests(0x06).size(), 2u);
  EXPECT_EQ(Requests(0x09).size(), tables);
}

TEST_F(KeyboardDeviceTest, PerKeyColoursOfAGroupGoToItsTableAtGroupTimes512) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  std::vector<CustomColour> colours = keyboard.profile().GetCustomColors(2, kLogicalKeyCount);
  colours[64] = {200, 100, 50, 128};
  keyboard.profile().SetCustomColors(2, colours);
  ASSERT_TRUE(Written([&](auto done) { keyboard.LoadGroupAndWrite(2, done); }));
  EXPECT_EQ(Requests(0x0B).front().address, 2 * 512);
  const std::size_t led = keyboard.maps().led[64];
  EXPECT_EQ(Memory(MemoryRegion::kColourTables, 2 * 512 + led * 3, 3), (std::vector<std::uint8_t>{100, 50, 25}));
}

TEST_F(KeyboardDeviceTest, FramesStreamOnlyInTheHostDrivenModes) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  LightSetting light = keyboard.profile().GetLight();
  light.select_item = 5;
  keyboard.profile().SetLight(light);
  keyboard.LoadLighting();
  // Held still, as synchronised lighting holds it: the colour set here stays.
  keyboard.channel().set_polling_paused(true);
  keyboard.SetPositionColour(64, 0xFF00FF00);
  loop.AdvanceBy(200ms);
  PumpUntil([&] { return !keyboard.io().Busy(); });
  EXPECT_TRUE(Requests(0x12).empty());

  light.select_item = static_cast<std::uint8_t>(IndexOfCode(keyboard, 30));
  keyboard.profile().SetLight(light);
  keyboard.LoadLighting();
  loop.AdvanceBy(20ms);
  ASSERT_TRUE(PumpUntil([&] { return !Requests(0x12).empty(); }));
  const std::size_t led = keyboard.maps().led[64];
  EXPECT_TRUE(PumpUntil([&] {
    return Memory(MemoryRegion::kLiveFrame, led * 3, 3) == std::vector<std::uint8_t>{0, 0xFE, 0};
  }));
}

TEST_F(KeyboardDeviceTest, AKeyboardArrivingWhileTheHostLightingIsOffStaysOffUntilTurnedOn) {
  roster_.host_lighting = false;
  CCorvaneKeyboardDevice& keyboard = Connect();
  EXPECT_FALSE(keyboard.host_lighting());
  LightSetting light = keyboard.profile().GetLight();
  light.select_item = static_cast<std::uint8_t>(IndexOfCode(keyboard, 29));
  keyboard.profile().SetLight(light);
  keyboard.LoadLighting();
  loop.AdvanceBy(100ms);
  PumpUntil([&] { return !keyboard.io().Busy(); });
  EXPECT_TRUE(Requests(0x12).empty());
  EXPECT_TRUE(Requests(0x1C).empty());

  keyboard.set_host_lighting(true);
  EXPECT_TRUE(PumpUntil([&] { return Requests(0x1C).size() == 1; }));
  loop.AdvanceBy(20ms);
  EXPECT_TRUE(PumpUntil([&] { return !Requests(0x12).empty(); }));
}

TEST_F(KeyboardDeviceTest, OnBoardIndexEventsSetTheIndexAndRecordByte17) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  struct Case {
    std::uint16_t code;
    std::uint8_t index;
    std::uint8_t byte17;
  };
  for (const Case& c : {Case{0x1135, 5, 3}, Case{0x1023, 3, 3}, Case{0x1105, 5, 0}, Case{0x0403, 5, 0}}) {
    ASSERT_TRUE(simulator().Event(kVendor, kCabled, c.code));
    // A heartbeat after it: once that is counted the event before it was seen.
    const std::uint64_t beats = keyboard.heartbeats();
    ASSERT_TRUE(simulator().Event(kVendor, kCabled, 0x0404));
    ASSERT_TRUE(PumpUntil([&] { return keyboard.heartbeats() > beats; }));
    loop.RunUntilIdle();
    EXPECT_EQ(keyboard.settings_index(), c.index) << std::hex << c.code;
    EXPECT_EQ(keyboard.raw_record()[17], c.byte17) << std::hex << c.code;
  }
}

TEST_F(KeyboardDeviceTest, ACorruptCurrentProfileIsReplacedAtTheNextConnect) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  const std::filesystem::path profile = keyboard.profile().ProfilePath();
  std::ofstream(profile) << "{ \"Device\": [ not json";
  simulator().Unplug(kVendor, kCabled);
  ASSERT_TRUE(PumpUntil([&] { return !keyboard.channel().open(); }));
  simulator().Plug(kVendor, kCabled);
  Connect(2);
  const Json::Value document = ReadJsonDocument(profile);
  ASSERT_TRUE(document.isObject());
  EXPECT_TRUE(document["Device"][0].isObject());
  EXPECT_TRUE(document["Device"][0]["LightInfo"].isObject());
}

}  // namespace
}  // namespace brontal
