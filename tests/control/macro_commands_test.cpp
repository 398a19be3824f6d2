// brontalctl's macro commands on the simulated keyboard, as the owning
// program runs them: the macro folder, the profiles and the device.
#include <gtest/gtest.h>
#include <json/json.h>

#include <algorithm>
#include <fstream>

#include "control/device_commands.h"
#include "devices/keyboard_fixture.h"
#include "e2e/virtual_display.h"
#include "helpers/pump_until.h"
#include "helpers/scoped_environment.h"
#include "helpers/temporary_folder.h"
#include "input_capture/input_node_scan.h"
#include "macros/macro_file.h"
#include "macros/macro_folder.h"
#include "macros/macro_image.h"
#include "models/memory_layout.h"
#include "profiles/data_folders.h"
#include "profiles/file_contents.h"
#include "ui/controls/device_profile_ui.h"

namespace brontal {
namespace {

using sim::MemoryRegion;

class MacroCommandsTest : public test::KeyboardFixture {
 protected:
  MacroCommandsTest() { Connect(); }

  DeviceReply Run(std::vector<std::string> args) {
    std::optional<DeviceReply> reply;
    RunDeviceRequest(roster_, {std::move(args), "test"}, [&](DeviceReply r) { reply = std::move(r); });
    EXPECT_TRUE(PumpUntil([&] { return reply.has_value(); }));
    return reply.value_or(DeviceReply{-1, "", "no reply"});
  }
  DeviceReply Macro(std::vector<std::string> words) {
    words.insert(words.begin(), {"macro", "keyboard"});
    return Run(std::move(words));
  }

  MacroFolder Folder() { return MacroFolder(Keyboard()->UserDataFolder()); }
  void SaveEvents(std::size_t index, const std::vector<MacroEvent>& events) {
    const MacroIndex macros = Folder().Index();
    ASSERT_TRUE(SaveMacroFile(Folder().Path(), macros.Guid(index), macros.Name(index), events));
  }

  // A profile as its file holds it.
  static void Open(CKeyboardProfiledata& profile, const std::filesystem::path& path) {
    profile.SetDefaultProfilePath(DefaultProfilePath("keyboard"));
    profile.SetProfilePath(path);
    profile.Load(path);
  }
  // Another profile of the folder than the loaded one.
  std::filesystem::path OtherProfile() { return Keyboard()->profile_panel()->ProfileFilePath(1); }

  KeyAction Written(std::size_t key) {
    const auto bytes = Device().ReadMemory(MemoryRegion::kKeyTables, Keyboard()->maps().slot[key] * 3u, 3);
    return bytes ? KeyAction{(*bytes)[0], (*bytes)[1], (*bytes)[2]} : KeyAction{};
  }

  test::TemporaryFolder elsewhere_{"brontal_macro_commands"};
};

TEST_F(MacroCommandsTest, AddRenameListShowExportAndImport) {
  EXPECT_EQ(Macro({"add"}).out, "macro_1\n");
  EXPECT_EQ(Macro({"add"}).out, "macro_2\n");
  EXPECT_EQ(Macro({"rename", "MACRO_2", "Fire"}).status, 0);
  const DeviceReply taken = Macro({"rename", "macro_1", "FIRE"});
  EXPECT_EQ(taken.status, 1);
  EXPECT_EQ(taken.err, "brontalctl: macro: a macro has that name already\n");
  SaveEvents(1, {{10, 0x04, true, 50}, {9, 0x02, false, 0}, {4, 20, true, 7}, {1, 0x10, true, 65535}});

  EXPECT_EQ(Macro({"list"}).out, "0  macro_1  (0 events)\n1  Fire  (4 events)\n");
  EXPECT_EQ(Macro({"show", "fire"}).out,
            "event  input               action  delay\n"
            "    0  A                   down       50\n"
            "    1  LShift              up          0\n"
            "    2  move left           20          7\n"
            "    3  forward             down    65535\n");
  Json::Value shown;
  ASSERT_TRUE(Json::Reader().parse(Macro({"show", "Fire", "--json"}).out, shown));
  EXPECT_EQ(shown[2]["Name"], "mouse_move_to_left_text");
  EXPECT_EQ(shown[3]["Delay"], "65535");

  const std::string file = (elsewhere_.path() / "Fire.mac").string();
  ASSERT_EQ(Macro({"export", "Fire", file}).status, 0);
  EXPECT_EQ(ReadFileContents(file), ReadFileContents(*MacroFilePath(Folder().Path(), Folder().Index().Guid(1))));
  EXPECT_EQ(Macro({"import", file}).out, "Fire_1\n");
  Json::Value listed;
  ASSERT_TRUE(Json::Reader().parse(Macro({"list", "--json"}).out, listed));
  ASSERT_EQ(listed.size(), 3u);
  EXPECT_EQ(listed[2]["name"], "Fire_1");
  EXPECT_EQ(listed[2]["events"], 4);
}

// Macro 1 of 0, 1 and 2 goes: keys on it fall back to their defaults, keys
// on macro 2 now name macro 1, in the loaded profile and in another, on both
// layers; the keyboard gets the macro it still plays, then the tables.
TEST_F(MacroCommandsTest, DeleteMendsEveryProfileOnBothLayersAndWritesTheKeyboard) {
  for (int i = 0; i < 3; ++i) ASSERT_EQ(Macro({"add"}).status, 0);
  const MacroEvent deleted_event{10, 0x1D, true, 11}, kept_event{10, 0x1B, true, 22};
  SaveEvents(1, {deleted_event});
  SaveEvents(2, {kept_event});
  ASSERT_EQ(Run({"assign", "keyboard", "64=700100", "65=700200"}).status, 0);
  ASSERT_EQ(Run({"assign", "keyboard", "66=710205", "67=700103", "--fn"}).status, 0);
  CKeyboardProfiledata other;
  Open(other, OtherProfile());
  std::vector<KeyAssignment> keys = other.GetKeyList(), fn_keys = other.GetKeyFnList();
  keys[64].assignment = {0x70, 2, 0};
  fn_keys[66].assignment = {0x71, 1, 3};
  other.SetKeyList(keys);
  other.SetKeyFnList(fn_keys);
  ASSERT_TRUE(other.Save());
  const std::size_t journal = Requests().size();

  const DeviceReply deleted = Macro({"delete", "macro_2"});
  ASSERT_EQ(deleted.status, 0) << deleted.err;

  const MacroIndex macros = Folder().Index();
  ASSERT_EQ(macros.Count(), 2u);
  EXPECT_EQ(macros.Name(1), "macro_3");
  const KeyAction key64_default = kLogicalKeyActions[64];
  EXPECT_EQ(Keyboard()->keys()[64].assignment, key64_default);
  EXPECT_EQ(Keyboard()->keys()[65].assignment, (KeyAction{0x70, 1, 0}));
  EXPECT_EQ(Keyboard()->fn_keys()[66].assignment, (KeyAction{0x71, 1, 5}));
  EXPECT_NE(Keyboard()->fn_keys()[67].assignment[0], 0x70);

  CKeyboardProfiledata loaded;
  Open(loaded, Keyboard()->profile().ProfilePath());
  EXPECT_EQ(loaded.GetKeyList()[64].assignment, key64_default);
  EXPECT_EQ(loaded.GetKeyList()[65].assignment, (KeyAction{0x70, 1, 0}));
  EXPECT_EQ(loaded.GetKeyFnList()[66].assignment, (KeyAction{0x71, 1, 5}));
  EXPECT_EQ(loaded.GetKeyFnList()[67].assignment, loaded.GetKeyFnList()[67].default_action);
  Open(other, OtherProfile());
  EXPECT_EQ(other.GetKeyList()[64].assignment, (KeyAction{0x70, 1, 0}));
  EXPECT_EQ(other.GetKeyFnList()[66].assignment, other.GetKeyFnList()[66].default_action);

  // The key table's macro key plays slot 0, and slot 0 is macro_3.
  EXPECT_EQ(Written(64), key64_default);
  EXPECT_EQ(Written(65), (KeyAction{0x70, 0, 0}));
  const auto image = Device().ReadMemory(MemoryRegion::kMacros, 0, 512);
  ASSERT_TRUE(image);
  const auto holds = [&](const MacroEvent& event) {
    const auto bytes = EncodeMacroEvent(event);
    return std::search(image->begin(), image->end(), bytes.begin(), bytes.end()) != image->end();
  };
  EXPECT_TRUE(holds(kept_event));
  EXPECT_FALSE(holds(deleted_event));
  // Macros before tables.
  std::vector<std::uint8_t> commands;
  for (std::size_t i = journal; i < Requests().size(); ++i) commands.push_back(Requests()[i].command);
  const auto download = std::find(commands.begin(), commands.end(), 0x15);
  const auto table = std::find(commands.begin(), commands.end(), 0x09);
  ASSERT_NE(download, commands.end());
  ASSERT_NE(table, commands.end());
  EXPECT_LT(download, table);
}

TEST_F(MacroCommandsTest, DownloadTellsTheMacrosBySlotAndTheImagesSizeInJson) {
  const auto download = [&] {
    Json::Value told;
    const DeviceReply reply = Macro({"download", "--json"});
    EXPECT_EQ(reply.status, 0) << reply.err;
    EXPECT_TRUE(Json::Reader().parse(reply.out, told)) << reply.out;
    return told;
  };
  const Json::Value nothing = download();
  EXPECT_EQ(nothing["macros"], Json::Value(Json::arrayValue));
  EXPECT_EQ(nothing["bytes"], 0);

  for (int i = 0; i < 3; ++i) ASSERT_EQ(Macro({"add"}).status, 0);
  SaveEvents(0, {{10, 0x04, true, 70000}});
  SaveEvents(2, {{10, 0x05, true, 1}, {10, 0x05, false, 2}});
  ASSERT_EQ(Run({"assign", "keyboard", "64=700200", "65=700000", "66=700200"}).status, 0);
  const Json::Value sent = download();
  Json::Value slots(Json::arrayValue);
  slots.append(2);
  slots.append(0);
  EXPECT_EQ(sent["macros"], slots);
  EXPECT_EQ(sent["bytes"], 16 + 6 * 2 + 4 * 3);
  const auto image = Device().ReadMemory(MemoryRegion::kMacros, 0, 40);
  ASSERT_TRUE(image);
  EXPECT_EQ((*image)[2], 40);
  // Slot 1 is macro 0, whose one event waits 70000 ms: its low 16 bits.
  EXPECT_EQ(std::vector<std::uint8_t>(image->begin() + 36, image->end()),
            (std::vector<std::uint8_t>{0x70, 0x11, 0x8A, 0x04}));
}

TEST_F(MacroCommandsTest, DeletingAnUnusedMacroSendsNothing) {
  for (int i = 0; i < 2; ++i) ASSERT_EQ(Macro({"add"}).status, 0);
  const std::size_t journal = Requests().size();
  ASSERT_EQ(Macro({"delete", "macro_2"}).status, 0);
  EXPECT_EQ(Requests().size(), journal);
  EXPECT_EQ(Folder().Index().Count(), 1u);
}

TEST_F(MacroCommandsTest, RefusalsChangeNoFile) {
  ASSERT_EQ(Macro({"add"}).status, 0);
  const std::filesystem::path index = Folder().Path() / kMacroIndexFileName;
  const std::string before = ReadFileContents(index);
  std::string many = R"({"Events": [)";
  for (std::size_t i = 0; i <= kMacroEventLimit; ++i) many += std::string(i ? "," : "") + R"({"Type": 10})";
  std::ofstream(elsewhere_.path() / "Many.mac") << many << "]}";
  struct Case {
    std::vector<std::string> words;
    int status;
    std::string err;
  };
  const Case cases[] = {
      {{}, 2, "list, show NAME, add, rename OLD NEW"},
      {{"frobnicate"}, 2, "list, show NAME, add, rename OLD NEW"},
      {{"rename", "macro_1"}, 2, "rename takes two arguments"},
      {{"rename", "macro_1", " \t"}, 2, "the name is blank"},
      {{"delete"}, 2, "delete takes one argument"},
      {{"import", ""}, 2, "which file?"},
      {{"show", "macro_9"}, 2, "no macro named 'macro_9'"},
      {{"delete", "macro_9"}, 2, "no macro named 'macro_9'"},
      {{"export", "macro_1", (elsewhere_.path() / "no folder" / "x.mac").string()}, 1, "could not be copied"},
      {{"import", (elsewhere_.path() / "Many.mac").string()}, 1, "holds 4001 events; a macro takes at most 4000"},
      {{"import", elsewhere_.path().string()}, 1, "is a folder"},
      {{"record", "macro_1", "--for", "0"}, 2, "--for takes a number of seconds from 1 to 600"},
      {{"record", "macro_1", "--delay", "fixed=65536"}, 2, "--delay takes recorded, none or fixed=MS"},
      {{"record", "macro_1", "--delay", "sometimes"}, 2, "--delay takes recorded, none or fixed=MS"},
      {{"record", " "}, 2, "the name is blank"},
      {{"list", "--for", "5"}, 2, "only record takes --for and --delay"},
  };
  for (const Case& c : cases) {
    const DeviceReply reply = Macro(c.words);
    EXPECT_EQ(reply.status, c.status) << c.err;
    EXPECT_NE(reply.err.find(c.err), std::string::npos) << reply.err;
  }
  EXPECT_EQ(ReadFileContents(index), before);
}

// Neither X11 nor a readable event node: nothing to record from, and no macro is made.
TEST_F(MacroCommandsTest, RecordWithoutASystemWideCaptureSaysWhyAndMakesNothing) {
  if (!ReadableKeyboardsAndMice("/dev/input").empty()) GTEST_SKIP() << "this machine's input nodes may be read";
  const test::ScopedEnvironment session({{"DISPLAY", ""}, {"WAYLAND_DISPLAY", "wayland-0"}});
  const DeviceReply reply = Macro({"record", "Typed", "--for", "1"});
  EXPECT_EQ(reply.status, 1);
  EXPECT_NE(reply.err.find("nothing to record from: not an X11 session"), std::string::npos) << reply.err;
  EXPECT_EQ(Folder().Index().Count(), 0u);
}

// The session's keys and buttons go into the macro, made under the name when
// missing and added to after that. The release of a key pressed before the
// recording (the Enter that started it) is left out.
TEST_F(MacroCommandsTest, RecordTakesWhatIsTypedOnTheX11Display) {
  if (!e2e::OnPath("Xvfb") || !e2e::OnPath("xdotool")) GTEST_SKIP() << "Xvfb and xdotool come from scripts/deps";
  std::string error;
  const std::unique_ptr<e2e::VirtualDisplay> display = e2e::VirtualDisplay::Start({}, "/dev/null", error);
  ASSERT_TRUE(display) << error;
  const test::ScopedEnvironment session(
      {{"DISPLAY", display->name()}, {"WAYLAND_DISPLAY", ""}, {"XDG_SESSION_TYPE", "x11"}});
  auto record = [&](std::vector<std::string> words, const std::vector<std::string>& typed) {
    words.insert(words.begin(), {"macro", "keyboard", "record"});
    std::optional<DeviceReply> reply;
    RunDeviceRequest(roster_, {std::move(words), "test"}, [&](DeviceReply r) { reply = std::move(r); });
    // The capture listens once the command has started it; the loop's clock
    // is the test's, so the recording ends when the test moves it on.
    EXPECT_EQ(display->XDoTool(typed), 0);
    test::PumpUntil(
        loop, [] { return false; }, std::chrono::milliseconds(500));
    loop.AdvanceBy(std::chrono::seconds(1));
    EXPECT_TRUE(reply.has_value());
    return reply.value_or(DeviceReply{-1, "", "no reply"});
  };
  // Key codes are the evdev codes plus 8: 36 Return, 38 A, 56 B.
  const DeviceReply first =
      record({"Typed", "--for", "1", "--delay", "fixed=20"}, {"keyup", "36", "key", "38", "click", "1"});
  EXPECT_EQ(first.out, "4 events recorded into Typed (4 in all)\n") << first.err;
  const DeviceReply second = record({"typed", "--for", "1", "--delay", "none"}, {"key", "56"});
  EXPECT_EQ(second.out, "2 events recorded into Typed (6 in all)\n") << second.err;
  EXPECT_EQ(Folder().Index().Count(), 1u);
  EXPECT_EQ(Macro({"show", "Typed"}).out,
            "event  input               action  delay\n"
            "    0  A                   down       20\n"
            "    1  A                   up         20\n"
            "    2  left                down       20\n"
            "    3  left                up         20\n"
            "    4  B                   down        0\n"
            "    5  B                   up          0\n");
}

TEST(DeviceRequestTimeLimit, ARecordingGetsItsLengthOnTopOfTheMinute) {
  struct Case {
    std::vector<std::string> words;
    std::chrono::seconds limit;
  };
  const Case cases[] = {
      {{"macro", "keyboard", "record", "M", "--for", "600"}, std::chrono::seconds(660)},
      {{"macro", "keyboard", "record", "M"}, std::chrono::seconds(70)},
      {{"macro", "keyboard", "list"}, std::chrono::seconds(60)},
      {{"set", "keyboard", "mode=3"}, std::chrono::seconds(60)},
      {{"macro", "keyboard", "record", "M", "--for", "601"}, std::chrono::seconds(60)},
  };
  for (const Case& c : cases) EXPECT_EQ(DeviceRequestTimeLimit({c.words, "test"}), c.limit) << c.words[2];
}

TEST(CallerFileWord, NamesTheFileOfImportAndExport) {
  struct Case {
    std::vector<std::string> words;
    std::optional<std::size_t> file;
  };
  const Case cases[] = {
      {{"macro", "keyboard", "import", "a.mac"}, 1},
      {{"macro", "keyboard", "export", "a.mac", "a.mac"}, 2},
      {{"macro", "keyboard", "show", "a.mac"}, std::nullopt},
      {{"profile", "keyboard", "export", "p.json"}, 1},
      {{"profile", "keyboard", "rename", "p.json"}, std::nullopt},
      {{"shoot", "mouse", "import", "1", "p.shoot"}, 2},
      {{"shoot", "mouse", "export", "1", "p.shoot"}, 2},
      {{"shoot", "mouse", "show", "1"}, std::nullopt},
  };
  for (const Case& c : cases) {
    DeviceCommandLine line;
    std::string error;
    ASSERT_TRUE(ParseDeviceCommand(c.words, line, error)) << error;
    EXPECT_EQ(CallerFileWord(line), c.file) << c.words[2];
  }
}

}  // namespace
}  // namespace brontal
