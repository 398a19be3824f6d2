#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "control/device_commands.h"
#include "devices/keyboard_fixture.h"
#include "macros/macro_index.h"
#include "models/memory_layout.h"
#include "profiles/family_profile_data.h"
#include "ui/controls/device_profile_ui.h"

namespace brontal {
namespace {

using sim::MemoryRegion;

// brontalctl's device commands as the owning program runs them.
class KeyboardCommandsTest : public test::KeyboardFixture {
 protected:
  KeyboardCommandsTest() { Connect(); }

  DeviceReply Run(std::vector<std::string> args) {
    std::optional<DeviceReply> reply;
    RunDeviceRequest(roster_, {std::move(args), "test"}, [&](DeviceReply r) { reply = std::move(r); });
    EXPECT_TRUE(PumpUntil([&] { return reply.has_value(); }));
    return reply.value_or(DeviceReply{-1, "", "no reply"});
  }
};

TEST_F(KeyboardCommandsTest, SetChangesTheProfileOnceAndWritesOneRecordWhateverTheNumberOfNames) {
  const DeviceReply reply =
      Run({"set", "keyboard", "brightness=1", "speed=0", "color=102030", "polling-rate=3", "mode=Sweep", "repeat=7"});
  ASSERT_EQ(reply.status, 0) << reply.err;
  ASSERT_EQ(Requests(0x06).size(), 1u);
  const std::vector<std::uint8_t> record = Requests(0x06).front().payload;
  EXPECT_EQ(record[1], 3);  // "Sweep" is mode 3 of the factory list
  EXPECT_EQ(record[2], 1);
  EXPECT_EQ(record[3], 4);
  EXPECT_EQ((std::vector<std::uint8_t>(record.begin() + 6, record.begin() + 9)),
            (std::vector<std::uint8_t>{0x10, 0x20, 0x30}));
  EXPECT_EQ(record[22], 3);
  EXPECT_EQ(Keyboard()->profile().GetKeyboardSystem().repeat, 7);

  // Names of the profile alone send nothing.
  ASSERT_EQ(Run({"set", "keyboard", "repeat-delay=3"}).status, 0);
  EXPECT_EQ(Requests(0x06).size(), 1u);
}

TEST_F(KeyboardCommandsTest, RefusedCommandsWriteNothingAnywhere) {
  const std::size_t before = Requests().size();
  const auto written = std::filesystem::last_write_time(Keyboard()->profile().ProfilePath());
  for (const std::vector<std::string>& args : {std::vector<std::string>{"set", "keyboard", "brightness=2", "bogus=1"},
                                               {"set", "keyboard", "mode=99"},
                                               {"assign", "keyboard", "64=200004", "65=xyz"},
                                               {"profile", "keyboard", "select", "no such profile"}}) {
    EXPECT_EQ(Run(args).status, 2) << args[1];
  }
  EXPECT_EQ(Requests().size(), before);
  EXPECT_EQ(std::filesystem::last_write_time(Keyboard()->profile().ProfilePath()), written);
}

TEST_F(KeyboardCommandsTest, AProfileThatCannotBeSavedIsReportedAndNothingIsSent) {
  const std::filesystem::path profile = Keyboard()->profile().ProfilePath();
  // A folder in the file's place: the replacing rename cannot land.
  std::filesystem::remove(profile);
  std::filesystem::create_directory(profile);
  const std::size_t before = Requests().size();
  const DeviceReply reply = Run({"set", "keyboard", "brightness=2"});
  EXPECT_EQ(reply.status, 1);
  EXPECT_NE(reply.err.find("could not be saved"), std::string::npos) << reply.err;
  EXPECT_EQ(Requests().size(), before);
}

TEST_F(KeyboardCommandsTest, ASetModeIsShownAndReadBackFromTheKeyboard) {
  const auto shown = [&] {
    const DeviceReply reply = Run({"show", "keyboard", "--json"});
    Json::Value v;
    EXPECT_TRUE(Json::Reader().parse(reply.out, v)) << reply.out << reply.err;
    return v["settings"];
  };
  ASSERT_NE(shown()["mode"].asInt(), 5);
  const DeviceReply set = Run({"set", "keyboard", "mode=Breathing", "brightness=2"});
  ASSERT_EQ(set.status, 0) << set.err;
  EXPECT_EQ(set.err, "");
  Json::Value settings = shown();
  EXPECT_EQ(settings["mode"].asInt(), 5);
  EXPECT_EQ(settings["mode_name"].asString(), "Breathing");
  EXPECT_EQ(settings["brightness"].asInt(), 2);

  // What the keyboard reads back from the device replaces what it holds.
  bool read_back = false;
  Keyboard()->on_shown_on_panels = [&](CCorvaneUSBDevice&) { read_back = true; };
  Keyboard()->OnSyncRequest();
  const bool read = PumpUntil([&] { return read_back; });
  Keyboard()->on_shown_on_panels = nullptr;
  ASSERT_TRUE(read);
  settings = shown();
  EXPECT_EQ(settings["mode"].asInt(), 5);
  EXPECT_EQ(settings["brightness"].asInt(), 2);
  EXPECT_EQ(Keyboard()->profile().GetLight().select_item, 5);
}

// The music lighting lives in the profile: saved and taken by the live
// lighting, nothing written to the keyboard.
TEST_F(KeyboardCommandsTest, SetTakesTheMusicLightingIntoTheProfile) {
  const std::size_t writes = Requests(0x06).size();
  AudioLightSetting start = Keyboard()->profile().GetAudioLight();
  start.seven_color = 1;
  Keyboard()->profile().SetAudioLight(start);
  struct Case {
    std::vector<std::string> settings;
    AudioLightSetting expected;
  };
  AudioLightSetting coloured = start;
  coloured.audio_mode = 2;
  coloured.fg_red = 0x10, coloured.fg_green = 0x20, coloured.fg_blue = 0x30;
  coloured.seven_color = 0;  // a foreground colour of its own ends the seven colours
  AudioLightSetting both = coloured;
  both.bk_red = 0xAB, both.bk_green = 0xCD, both.bk_blue = 0xEF;
  both.seven_color = 1;
  const Case cases[] = {
      {{"audio-mode=2", "audio-foreground=102030"}, coloured},
      {{"audio-multicolor=1", "audio-background=#abcdef", "audio-foreground=102030"}, both},
  };
  for (const Case& c : cases) {
    std::vector<std::string> args = {"set", "keyboard"};
    args.insert(args.end(), c.settings.begin(), c.settings.end());
    const DeviceReply reply = Run(args);
    ASSERT_EQ(reply.status, 0) << reply.err;
    EXPECT_EQ(Keyboard()->live_audio(), c.expected);
    CKeyboardProfiledata saved;
    saved.Load(Keyboard()->profile().ProfilePath());
    EXPECT_EQ(saved.GetAudioLight(), c.expected);
  }
  EXPECT_EQ(Requests(0x06).size(), writes);

  Json::Value shown;
  ASSERT_TRUE(Json::Reader().parse(Run({"show", "keyboard", "--json"}).out, shown));
  EXPECT_EQ(shown["settings"]["audio-mode"].asInt(), 2);
  EXPECT_EQ(shown["settings"]["audio-background"].asString(), "abcdef");
  EXPECT_EQ(shown["settings"]["audio-multicolor"].asInt(), 1);
  for (const char* refused : {"audio-mode=7", "audio-multicolor=2", "audio-foreground=12345"})
    EXPECT_EQ(Run({"set", "keyboard", refused}).status, 2) << refused;
}

// The program that animates draws the lights itself: no note.
TEST_F(KeyboardCommandsTest, AnAnimatingProgramSetsAHostDrivenModeWithoutANote) {
  ASSERT_TRUE(Keyboard()->animating());
  for (const char* mode : {"mode=29", "mode=30"}) {
    const DeviceReply reply = Run({"set", "keyboard", mode});
    EXPECT_EQ(reply.status, 0) << mode << ": " << reply.err;
    EXPECT_EQ(reply.err, "") << mode;
  }
}

TEST_F(KeyboardCommandsTest, AssignWritesEveryPairInOneKeyTableWrite) {
  ASSERT_EQ(Run({"assign", "keyboard", "64=200005", "65=200006", "--index", "2"}).status, 0);
  ASSERT_FALSE(Requests(0x09).empty());
  for (const sim::JournalEntry& e : Requests(0x09)) EXPECT_GE(e.address, 2 * 0x180);
  const auto at = [&](std::size_t key) {
    return Device().ReadMemory(MemoryRegion::kKeyTables, 2 * 0x180 + Keyboard()->maps().slot[key] * 3u, 3);
  };
  EXPECT_EQ(at(64), (std::vector<std::uint8_t>{0x20, 0x00, 0x05}));
  EXPECT_EQ(at(65), (std::vector<std::uint8_t>{0x20, 0x00, 0x06}));

  const DeviceReply keys = Run({"keys", "keyboard", "--json", "--index", "2"});
  Json::Value rows;
  ASSERT_TRUE(Json::Reader().parse(keys.out, rows)) << keys.out;
  EXPECT_EQ(rows[64]["action"], "200005");
  EXPECT_EQ(rows[64]["default"], "200004");
}

// Names and macros end in the same three bytes as the panel would give them.
TEST_F(KeyboardCommandsTest, AssignTakesCatalogueNamesAndMacrosByName) {
  MacroIndex macros;
  macros.Append("Combo", "2024_03_07_14_05_09_042");
  macros.Append("Burst", "2024_03_07_14_05_09_043");
  ASSERT_TRUE(macros.Write(Keyboard()->UserDataFolder()));
  const DeviceReply reply = Run({"assign", "keyboard", "5=media_play", "6=keyboard_key_backslash",
                                 "7=macro:burst:repeat=3", "8=macro:Combo:mode=2", "9=macro:Combo", "10=Custom_Save"});
  ASSERT_EQ(reply.status, 0) << reply.err;
  const std::map<std::size_t, KeyAction> expected = {
      {5, {0x30, 0xCD, 0x00}}, {6, {0x20, 0x00, 0x31}}, {7, {0x71, 0x01, 0x03}},
      {8, {0x70, 0x00, 0x02}}, {9, {0x70, 0x00, 0x00}}, {10, {0x20, 0x10, 0x16}},
  };
  CKeyboardProfiledata saved;
  saved.Load(Keyboard()->profile().ProfilePath());
  const std::vector<KeyAssignment> keys = saved.GetKeyList();
  for (const auto& [key, action] : expected) {
    ASSERT_LT(key, keys.size());
    EXPECT_EQ(keys[key].assignment, action) << "key " << key;
    EXPECT_EQ(Keyboard()->keys()[key].assignment, action) << "key " << key;
  }
  // The keyboard holds what is no macro as it is.
  const auto at = [&](std::size_t key) {
    const int index = std::max(0, Keyboard()->ProfilePosition());
    return Device().ReadMemory(MemoryRegion::kKeyTables, index * 0x180 + Keyboard()->maps().slot[key] * 3u, 3);
  };
  EXPECT_EQ(at(5), (std::vector<std::uint8_t>{0x30, 0xCD, 0x00}));
  EXPECT_EQ(at(10), (std::vector<std::uint8_t>{0x20, 0x10, 0x16}));
}

TEST_F(KeyboardCommandsTest, AssignRefusesWordsItCannotMakeAnActionOfAndWritesNothing) {
  MacroIndex macros;
  macros.Append("Combo", "2024_03_07_14_05_09_042");
  ASSERT_TRUE(macros.Write(Keyboard()->UserDataFolder()));
  const std::size_t before = Requests().size();
  const auto written = std::filesystem::last_write_time(Keyboard()->profile().ProfilePath());
  const std::vector<KeyAssignment> keys = Keyboard()->keys();
  const struct {
    std::vector<std::string> words;
    std::string_view reason;
  } cases[] = {
      {{"5=media_plya"}, "not an action"},
      {{"5=wed_stop"}, "not an action"},  // the label's spelling is no name
      {{"5=macro:"}, "which macro"},
      {{"5=macro:Combo:repeat=0"}, "repeats 1..255"},
      {{"5=macro:Combo:repeat=256"}, "repeats 1..255"},
      {{"5=macro:Combo:repeat=x"}, "repeats 1..255"},
      {{"5=macro:Combo:mode=4"}, "play mode is 0..3"},
      {{"5=macro:Combo:mode=1:repeat=2"}, "one of :mode=M and :repeat=N"},
      {{"5=mouse_key_dpi_add"}, "mouse function"},
      {{"5=gun_1"}, "mouse function"},
      {{"5=iq_layer_fn", "--fn"}, "Fn layer cannot hold"},
      // Known only on the device: the macro list is read when the keys change.
      {{"6=media_play", "5=macro:Nothing"}, "no macro is named 'Nothing'"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = {"assign", "keyboard"};
    args.insert(args.end(), c.words.begin(), c.words.end());
    const DeviceReply reply = Run(args);
    EXPECT_EQ(reply.status, 2) << c.words.back();
    EXPECT_NE(reply.err.find(c.reason), std::string::npos) << reply.err;
  }
  EXPECT_EQ(Requests().size(), before);
  EXPECT_EQ(std::filesystem::last_write_time(Keyboard()->profile().ProfilePath()), written);
  EXPECT_EQ(Keyboard()->keys(), keys);
}

TEST_F(KeyboardCommandsTest, ColoursAreStoredAndWrittenAsTheGroupsTable) {
  ASSERT_EQ(Run({"colors", "keyboard", "--group", "3", "64=ff8000"}).status, 0);
  ASSERT_FALSE(Requests(0x0B).empty());
  EXPECT_EQ(Requests(0x0B).front().address, 3 * 512);
  const DeviceReply shown = Run({"colors", "keyboard", "--group", "3", "--json"});
  Json::Value v;
  ASSERT_TRUE(Json::Reader().parse(shown.out, v)) << shown.out;
  EXPECT_EQ(v["colors"][64]["color"], "ff8000");
}

TEST_F(KeyboardCommandsTest, SelectingAProfileDrivesTheKeyboardThroughIt) {
  ASSERT_EQ(Run({"profile", "keyboard", "select", "PROFILE3"}).status, 0);
  EXPECT_EQ(Keyboard()->profile_panel()->SelectedIndex(), 2);
  EXPECT_EQ(Requests(0x06).size(), 1u);
  ASSERT_FALSE(Requests(0x09).empty());
  EXPECT_EQ(Requests(0x09).front().address, 2 * 0x180);

  const DeviceReply added = Run({"profile", "keyboard", "add"});
  EXPECT_EQ(added.out, "profile5\n");
  const DeviceReply list = Run({"profile", "keyboard", "list"});
  EXPECT_EQ(list.out, "  profile1\n  profile2\n* profile3\n  profile4\n  profile5\n");
}

}  // namespace
}  // namespace brontal
