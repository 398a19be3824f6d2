#include <gtest/gtest.h>

#include <fstream>

#include "devices/keyboard/corvane_keyboard_device.h"
#include "devices/keyboard_fixture.h"
#include "macros/macro_file.h"
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
  static std::vector<MacroEvent> Presses(std::size_t count) {
    return std::vector<MacroEvent>(count, MacroEvent{macro_event_type::kKey, 0x04, true, 1});
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

TEST_F(KeyboardDeviceTest, TheUsedMacrosGoDownInSlotOrderAndThenTheKeyTablePointsIntoThem) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  const MacroEvent a_down{macro_event_type::kKey, 0x04, true, 50};
  const MacroEvent a_up{macro_event_type::kKey, 0x04, false, 0};
  const MacroEvent left_down{macro_event_type::kMouseButton, 0x01, true, 300};
  SaveMacros(keyboard.UserDataFolder(), {{}, {}, {left_down}, {}, {a_down, a_up}});
  std::vector<KeyAssignment> keys = keyboard.keys();
  ASSERT_GT(keys.size(), 66u);
  for (std::size_t key : {3, 5, 9, 66}) ASSERT_NE(keyboard.maps().slot[key], keyboard::kNoSlot);
  keys[3].assignment = {0x70, 4, 1};
  keys[5].assignment = {0x71, 2, 3};
  keys[9].assignment = {0x70, 4, 1};
  keys[66].assignment = {0x70, 7, 0};  // no such macro
  Device().Journal().Clear();

  const KeyWriteOutcome outcome =
      Awaited<KeyWriteOutcome>([&](auto done) { keyboard.WriteKeysWithMacros(0, keys, done); });
  EXPECT_TRUE(outcome.ok());
  EXPECT_EQ(outcome.macros.macros, (std::vector<std::uint8_t>{4, 2}));
  EXPECT_EQ(outcome.macros.outcome, MacroDownloadOutcome(MacrosSent{40}));
  EXPECT_EQ(CommandRuns(), (std::vector<std::uint8_t>{0x03, 0x01, 0x15, 0x02, 0x03, 0x01, 0x09, 0x02}));
  const std::vector<std::uint8_t> image = {
      0xAA, 0x55, 40, 0, 2,    0,    0,    0,    0,    0,    0,    0,    0, 0, 0, 0,  // magic, T, N
      20,   0,    32, 0,  // slot 0 (macro 4), slot 1 (macro 2)
      2,    0,    0,  0, 0x32, 0x00, 0x8A, 0x04, 0x00, 0x00, 0x0A, 0x04, 1, 0, 0, 0, 0x2C, 0x01, 0x81, 0x01,
  };
  EXPECT_EQ(Requests(0x15).front().address, 0);
  EXPECT_EQ(BytesOf(0x15), image.size());
  EXPECT_EQ(Memory(MemoryRegion::kMacros, 0, image.size()), image);
  auto at = [&](std::size_t key) { return Memory(MemoryRegion::kKeyTables, keyboard.maps().slot[key] * 3u, 3); };
  EXPECT_EQ(at(3), (std::vector<std::uint8_t>{0x70, 0, 1}));
  EXPECT_EQ(at(5), (std::vector<std::uint8_t>{0x71, 1, 3}));
  EXPECT_EQ(at(9), (std::vector<std::uint8_t>{0x70, 0, 1}));
  const KeyAction fallback = keys[66].default_action;
  EXPECT_EQ(at(66), (std::vector<std::uint8_t>(fallback.begin(), fallback.end())));

  // A fifth on-board table does not exist: its macros would only replace the image the four play.
  Device().Journal().Clear();
  EXPECT_FALSE(Awaited<KeyWriteOutcome>([&](auto done) { keyboard.WriteKeysWithMacros(4, keys, done); }).ok());
  EXPECT_TRUE(Requests().empty());
}

TEST_F(KeyboardDeviceTest, AMacroKeyPlaysTheSameMacroAfterItsTableIsReadBack) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  SaveMacros(keyboard.UserDataFolder(), {{}, {}, Presses(1), {}, Presses(2)});
  std::vector<KeyAssignment> keys = keyboard.keys();
  keys[3].assignment = {0x70, 4, 1};
  keys[5].assignment = {0x71, 2, 3};
  keyboard.profile().SetKeyList(keys);
  ASSERT_TRUE(keyboard.profile().Save());
  ASSERT_TRUE(Awaited<KeyWriteOutcome>([&](auto done) { keyboard.WriteKeysWithMacros(0, keys, done); }).ok());
  // The keyboard holds slots 0 and 1; the profile, read again over them, must hold macros 4 and 2.
  simulator().Unplug(kVendor, kCabled);
  ASSERT_TRUE(PumpUntil([&] { return !keyboard.channel().open(); }));
  simulator().Plug(kVendor, kCabled);
  Connect(2);
  keyboard.ReloadKeyAssignments();
  EXPECT_EQ(keyboard.keys()[3].assignment, (KeyAction{0x70, 4, 1}));
  EXPECT_EQ(keyboard.keys()[5].assignment, (KeyAction{0x71, 2, 3}));
  Device().Journal().Clear();
  const KeyWriteOutcome again =
      Awaited<KeyWriteOutcome>([&](auto done) { keyboard.WriteKeysWithMacros(0, keyboard.keys(), done); });
  EXPECT_EQ(again.macros.macros, (std::vector<std::uint8_t>{4, 2}));
}

TEST_F(KeyboardDeviceTest, TheKeyTableFollowsOnlyAnImageTheKeyboardTook) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  std::vector<MacroDownloadResult> told;
  keyboard.on_macro_download_report = [&](const MacroDownloadResult& result) { told.push_back(result); };
  const std::size_t keys_with_macros[] = {3, 5, 9, 11, 13};
  const struct {
    const char* name;
    std::uint8_t units;               // the macro memory the keyboard tells, in 128 bytes
    std::vector<std::size_t> macros;  // their event counts, one key playing each
    MacroDownloadOutcome expected;
    bool image_packets;
  } cases[] = {
      {"251 events", 32, {251}, MacrosSent{16 + 6 + 251 * 4}, true},
      {"252 events", 32, {252}, MacroTooLong{0, 252}, false},
      {"60 events in 256 bytes", 2, {60}, MacroImageTooLarge{16 + 6 + 240, 256}, false},
      // It tells 8 KiB but holds 4: the packet past them is refused, after
      // part of the image went in.
      {"a packet refused", 64, {220, 220, 220, 220, 220}, MacroTransferFailed{}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::vector<MacroEvent>> macros;
    std::vector<KeyAssignment> keys = keyboard.keys();
    for (std::size_t i = 0; i < c.macros.size(); ++i) {
      macros.push_back(Presses(c.macros[i]));
      keys[keys_with_macros[i]].assignment = {0x70, static_cast<std::uint8_t>(i), 0};
    }
    SaveMacros(keyboard.UserDataFolder(), macros);
    Device().WriteMemory(MemoryRegion::kDeviceInfo, 6, std::array<std::uint8_t, 1>{c.units});
    Device().Journal().Clear();
    const std::size_t told_before = told.size();

    const KeyWriteOutcome outcome =
        Awaited<KeyWriteOutcome>([&](auto done) { keyboard.WriteKeysWithMacros(0, keys, done); });
    EXPECT_EQ(outcome.macros.outcome, c.expected);
    const bool sent = std::holds_alternative<MacrosSent>(c.expected);
    EXPECT_EQ(outcome.key_table, sent ? std::optional<bool>(true) : std::nullopt);
    EXPECT_EQ(Requests(0x09).empty(), !sent);
    EXPECT_EQ(Requests(0x15).empty(), !c.image_packets);
    EXPECT_EQ(told.size(), told_before + (sent ? 0 : 1));
    EXPECT_FALSE(Device().Status().transaction_open);
  }
}

TEST_F(KeyboardDeviceTest, AProfileWhoseMacrosTheKeyboardRefusesKeepsItsOldKeyTable) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  SaveMacros(keyboard.UserDataFolder(), {Presses(252)});
  // The profile's key list comes from the keyboard's own table.
  Device().WriteMemory(MemoryRegion::kKeyTables, keyboard.maps().slot[3] * 3u, std::array<std::uint8_t, 3>{0x70, 0, 0});
  keyboard.ReloadKeyTables();
  ASSERT_TRUE(PumpUntil([&] { return keyboard.keys()[3].assignment[0] == 0x70; }));
  std::optional<MacroDownloadResult> told;
  keyboard.on_macro_download_report = [&](const MacroDownloadResult& result) { told = result; };
  Device().Journal().Clear();

  EXPECT_FALSE(Written([&](auto done) { keyboard.ApplySelectedProfile(done); }));
  EXPECT_EQ(Requests(0x06).size(), 1u);  // the settings go their own way
  EXPECT_TRUE(Requests(0x15).empty());
  EXPECT_TRUE(Requests(0x09).empty());
  ASSERT_TRUE(told.has_value());
  EXPECT_EQ(NoticeOf(*told)->text_id, "message_text_30");
  EXPECT_EQ(NoticeOf(*told)->argument, 2);
}

TEST_F(KeyboardDeviceTest, TheFnTableWaitsForTheMacrosOfTheKeyList) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  keyboard.mutable_keys()[3].assignment = {0x70, 0, 0};
  SaveMacros(keyboard.UserDataFolder(), {Presses(252)});
  Device().Journal().Clear();
  const KeyWriteOutcome refused = Awaited<KeyWriteOutcome>([&](auto done) { keyboard.WriteFnKeysWithMacros(0, done); });
  EXPECT_EQ(refused.key_table, std::nullopt);
  EXPECT_TRUE(Requests(0x27).empty());

  SaveMacros(keyboard.UserDataFolder(), {Presses(2)});
  EXPECT_TRUE(Awaited<KeyWriteOutcome>([&](auto done) { keyboard.WriteFnKeysWithMacros(0, done); }).ok());
  EXPECT_EQ(CommandRuns(), (std::vector<std::uint8_t>{0x03, 0x01, 0x15, 0x02, 0x03, 0x01, 0x27, 0x02}));
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
  EXPECT_TRUE(Requests(0x15).empty());  // no key plays a macro
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

// On the full brightness, one colour, at full speed: a key press through the
// event collection starts a ring on the picture's keys; spectra handed over
// light music bars in the frames the keyboard receives.
TEST_F(KeyboardDeviceTest, AKeyPressRipplesAndTheSpectrumLightsMusicBarsInTheFrames) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  LightSetting light = keyboard.profile().GetLight();
  light.select_item = static_cast<std::uint8_t>(IndexOfCode(keyboard, 8));
  light.light = 4;
  light.speed = 4;
  light.multi_color = 0;
  light.red = 255;
  keyboard.profile().SetLight(light);
  keyboard.LoadLighting();
  // L at column 10, row 3 of the grid, ; beside it.
  constexpr int kL = 72, kSemicolon = 73;
  const std::uint8_t slot = keyboard.maps().slot[kL];
  ASSERT_NE(slot, keyboard::kNoSlot);
  ASSERT_TRUE(simulator().Event(kVendor, kCabled, static_cast<std::uint16_t>(0x0500 | slot)));
  auto alpha = [&](int key) { return keyboard.GetPositionColour(key) >> 24; };
  EXPECT_TRUE(PumpUntil([&] { return alpha(kL) != 0; }));
  EXPECT_TRUE(PumpUntil([&] { return alpha(kSemicolon) != 0; })) << "the ring spreads";

  AudioLightSetting audio;
  audio.audio_mode = 0;  // a bar per column
  audio.fg_green = 255;
  audio.bk_blue = 255;
  ASSERT_TRUE(keyboard.ApplyAudioRecord(audio));
  light.select_item = static_cast<std::uint8_t>(IndexOfCode(keyboard, 29));
  keyboard.profile().SetLight(light);
  keyboard.LoadLighting();
  // Band 5 full: column 5 (F4, 5, T, G, B) lit from row 1 down.
  std::vector<std::int32_t> frame(500, 0);
  frame[5] = 2000;
  auto shown = [&](int key) { return Memory(MemoryRegion::kLiveFrame, keyboard.maps().led[key] * 3u, 3); };
  const std::vector<std::uint8_t> bar = {0, 253, 0};
  const std::vector<std::uint8_t> background = {0, 0, 254};
  EXPECT_TRUE(PumpUntil([&] {
    keyboard.OnAudioSpectrum(frame);
    loop.AdvanceBy(20ms);
    return shown(47) == bar && shown(88) == bar && shown(4) == background && shown(48) == background;
  }));
}

TEST_F(KeyboardDeviceTest, TheAudioColourBlockIsKeptForTheAudioColourModeAcrossARestart) {
  CCorvaneKeyboardDevice& keyboard = Connect();
  keyboard.OnAudioColour(std::vector<std::uint8_t>{10, 20, 30, 40, 50, 60});
  keyboard.StartLightingThread();
  LightSetting light = keyboard.profile().GetLight();
  light.select_item = static_cast<std::uint8_t>(IndexOfCode(keyboard, 30));
  light.light = 4;
  keyboard.profile().SetLight(light);
  keyboard.LoadLighting();
  const std::size_t led = keyboard.maps().led[64];
  EXPECT_TRUE(PumpUntil([&] {
    loop.AdvanceBy(20ms);
    return Memory(MemoryRegion::kLiveFrame, led * 3, 3) == std::vector<std::uint8_t>{9, 19, 29};
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
