// The keyboard's system page on a simulated keyboard: its controls through
// the main window's routes, read back from the profile file and from what
// reached the simulated device.
#include <gtest/gtest.h>

#include <fstream>
#include <memory>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window_fixture.h"
#include "app/message_boxes.h"
#include "device_access/command_codes.h"
#include "devices/device_option_ui.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "macros/macro_file.h"
#include "macros/macro_index.h"
#include "models/memory_layout.h"
#include "ui/controls/device_profile_ui.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"

namespace brontal {
namespace {

using sim::MemoryRegion;

constexpr std::uint16_t kProduct = 0x5100;
constexpr std::size_t kTableStride = 0x180;  // one on-board index's key table
constexpr int kKeyA = 64;
constexpr KeyAction kKeyADefault = {0x20, 0x00, 0x04};
constexpr KeyAction kPlay = {0x30, 0xCD, 0x00};
constexpr KeyAction kFirstMacro = {0x70, 0x00, 0x00};

class SystemPageTest : public MainWindowTest {
 protected:
  SystemPageTest() { ConnectAndShow<CCorvaneKeyboardDevice>(); }

  CCorvaneKeyboardDevice* Keyboard() { return First<CCorvaneKeyboardDevice>(); }
  CDeviceProfileUI& Profiles() { return *Keyboard()->profile_panel(); }
  template <typename T>
  T& Part(std::string_view name) {
    return dynamic_cast<T&>(Control(name));
  }
  bool Selected(std::string_view option) { return Part<COptionUI>(option).IsSelected(); }
  std::string Text(std::string_view id) { return toolkit_.Resources().Translate(id); }
  // A click, with the boxes it asks answered in turn.
  void Press(std::string_view name, std::vector<std::string> answers = {}) {
    boxes_.answers = std::move(answers);
    boxes_.asked.clear();
    ASSERT_TRUE(Control(name).Activate()) << name;
    loop_.RunUntilIdle();
    EXPECT_TRUE(boxes_.answers.empty()) << name << " asked less than expected";
  }

  sim::SimulatedDevice& Device() { return *simulation_.simulator().Device(0x320F, kProduct); }
  std::vector<sim::JournalEntry> Journal() { return Device().Journal().Entries(); }
  // The commands that reached the keyboard since `from` journal entries, of
  // those that read or write its key tables, macros and settings.
  std::vector<sim::JournalEntry> TableWork(std::size_t from) {
    std::vector<sim::JournalEntry> work;
    const std::vector<sim::JournalEntry> entries = Journal();
    for (std::size_t i = from; i < entries.size(); ++i) {
      const std::uint8_t c = entries[i].command;
      if (c == command::kReadIndexedKeyTable || c == command::kWriteMacros || c == command::kWriteIndexedKeyTable ||
          c == command::kWriteSecondIndexedKeyTable || c == command::kWriteParameters)
        work.push_back(entries[i]);
    }
    return work;
  }
  // Each command once, in the order it first came after the one before.
  static std::vector<std::uint8_t> Runs(const std::vector<sim::JournalEntry>& entries) {
    std::vector<std::uint8_t> runs;
    for (const sim::JournalEntry& e : entries)
      if (runs.empty() || runs.back() != e.command) runs.push_back(e.command);
    return runs;
  }
  bool KeyTableWritten(std::size_t from, int index) {
    for (const sim::JournalEntry& e : TableWork(from))
      if (e.command == command::kWriteIndexedKeyTable && e.address / kTableStride == static_cast<std::size_t>(index))
        return true;
    return false;
  }
  // Everything posted to the keyboard so far has reached it.
  void Settle() {
    bool read = false;
    Keyboard()->ReadPowerStatus([&](auto) { read = true; });
    ASSERT_TRUE(PumpUntil([&] { return read; }));
  }
  KeyAction HeldAction(int index, int key) {
    const auto bytes = Device().ReadMemory(
        MemoryRegion::kKeyTables,
        static_cast<std::size_t>(index) * kTableStride + Keyboard()->maps().slot[static_cast<std::size_t>(key)] * 3u,
        3);
    return bytes ? KeyAction{(*bytes)[0], (*bytes)[1], (*bytes)[2]} : KeyAction{};
  }
  static KeyAction ActionOf(const std::vector<KeyAssignment>& keys, int key) {
    for (const KeyAssignment& k : keys)
      if (k.key_index == key) return k.assignment;
    return {};
  }
  // The key of the current profile plays `action`, in the file and on the
  // keyboard's table of on-board index `index`.
  void AssignAndWrite(int index, int key, KeyAction action) {
    std::vector<KeyAssignment>& keys = Keyboard()->mutable_keys();
    for (KeyAssignment& k : keys)
      if (k.key_index == key) k.assignment = action;
    Keyboard()->profile().SetKeyList(keys);
    ASSERT_TRUE(Keyboard()->profile().Save());
    std::optional<bool> written;
    Keyboard()->WriteKeysWithMacros(index, keys, [&](const KeyWriteOutcome& outcome) { written = outcome.ok(); });
    ASSERT_TRUE(PumpUntil([&] { return written.has_value(); }));
    ASSERT_TRUE(*written);
  }
  void SwitchAndWait(std::string_view option, int index) {
    const std::size_t from = Journal().size();
    Press(option);
    ASSERT_TRUE(PumpUntil([&] { return KeyTableWritten(from, index); })) << option;
    Settle();
  }
  // The profile as its file holds it now.
  std::unique_ptr<CKeyboardProfiledata> FileProfile() {
    auto file = std::make_unique<CKeyboardProfiledata>();
    file->Load(Keyboard()->profile().ProfilePath());
    return file;
  }
  std::string FileText() {
    std::ostringstream text;
    text << std::ifstream(Keyboard()->profile().ProfilePath()).rdbuf();
    return text.str();
  }

  MessageBoxes boxes_{toolkit_};
};

TEST_F(SystemPageTest, RecordSettingsAreSavedAndWrittenAndTheKeyRepeatIsOnlySaved) {
  struct Case {
    std::string_view control;
    std::optional<int> slider;  // dropped there; otherwise clicked
    std::uint16_t KeyboardSystem::*member;
    std::uint16_t value;
    std::optional<std::size_t> record_byte;  // nothing: the keyboard hears nothing
  };
  const Case cases[] = {
      {"polling_rate_option_2", std::nullopt, &KeyboardSystem::polling_rate, 2, 22},
      {"winlockflag_option", std::nullopt, &KeyboardSystem::win_flag, 1, 21},
      {"wflag_option", std::nullopt, &KeyboardSystem::w_flag, 1, 19},
      {"6flag_option", std::nullopt, &KeyboardSystem::key6_flag, 1, 20},
      {"repeat_delay_check_3", std::nullopt, &KeyboardSystem::repeat_delay, 3, std::nullopt},
      {"repeat_rate_slider", 9, &KeyboardSystem::repeat, 9, std::nullopt},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.control));
    const std::size_t writes = TableWork(0).size();
    if (c.slider) {
      Part<CSliderUI>(c.control).UserDrag(*c.slider);
      Part<CSliderUI>(c.control).UserRelease(*c.slider);
    } else {
      Press(c.control);
    }
    EXPECT_EQ(FileProfile()->GetKeyboardSystem().*c.member, c.value);
    if (c.record_byte) {
      ASSERT_TRUE(PumpUntil([&] { return TableWork(0).size() > writes; }));
      const sim::JournalEntry written = TableWork(0).back();
      ASSERT_EQ(written.command, command::kWriteParameters);
      EXPECT_EQ(written.payload.at(*c.record_byte), c.value);
    } else {
      Settle();
      EXPECT_EQ(TableWork(0).size(), writes);
    }
  }
  EXPECT_FALSE(Selected("polling_rate_option_0"));
  EXPECT_TRUE(Selected("polling_rate_option_2"));
  EXPECT_EQ(Control("repeat_delay_time_label1").GetText(), Text("repeat_delay_text_3"));
}

TEST_F(SystemPageTest, ThePageShowsTheProfilesSystemSettings) {
  KeyboardSystem system;
  system.repeat = 17;
  system.repeat_delay = 2;
  system.key6_flag = 1;
  system.polling_rate = 1;
  system.win_flag = 1;
  Keyboard()->profile().SetKeyboardSystem(system);
  Keyboard()->ApplyToUi();
  EXPECT_TRUE(Selected("polling_rate_option_1"));
  EXPECT_FALSE(Selected("polling_rate_option_0"));
  EXPECT_TRUE(Selected("repeat_delay_check_2"));
  EXPECT_EQ(Control("repeat_delay_time_label1").GetText(), Text("repeat_delay_text_2"));
  EXPECT_TRUE(Selected("6flag_option"));
  EXPECT_TRUE(Selected("winlockflag_option"));
  EXPECT_FALSE(Selected("wflag_option"));
  EXPECT_EQ(Part<CSliderUI>("repeat_rate_slider").GetValue(), 17);
  EXPECT_TRUE(Selected("Layer_0"));

  // Where the user tries the repeat: emptied, nothing stored.
  ASSERT_TRUE(Part<CEditUI>("repeat_input_richedit").UserEditText("aaaaaa"));
  const std::string before = FileText();
  Press("reset_repeat_btn");
  EXPECT_EQ(Control("repeat_input_richedit").GetText(), "");
  EXPECT_EQ(FileText(), before);
}

TEST_F(SystemPageTest, ALayerSwitchReadsTheTablesThenSendsTheMacrosAndTheLayersKeyTableButNoSettings) {
  MacroIndex macros;
  macros.Append("Combo", "2024_03_07_14_05_09_042");
  ASSERT_TRUE(macros.Write(Keyboard()->UserDataFolder()));
  const std::vector<MacroEvent> tap = {{macro_event_type::kKey, 0x04, true, 1},
                                       {macro_event_type::kKey, 0x04, false, 0}};
  ASSERT_TRUE(SaveMacroFile(Keyboard()->UserDataFolder(), macros.Guid(0), macros.Name(0), tap));
  SwitchAndWait("Layer_2", 2);
  AssignAndWrite(2, kKeyA, kFirstMacro);
  SwitchAndWait("Layer_0", 0);
  ASSERT_EQ(ActionOf(Keyboard()->keys(), kKeyA), kKeyADefault);

  const std::size_t from = Journal().size();
  SwitchAndWait("Layer_2", 2);
  const std::vector<sim::JournalEntry> work = TableWork(from);
  EXPECT_EQ(Runs(work), (std::vector<std::uint8_t>{command::kReadIndexedKeyTable, command::kWriteMacros,
                                                   command::kWriteIndexedKeyTable}));
  std::set<std::size_t> tables_read;
  for (const sim::JournalEntry& e : work)
    if (e.command == command::kReadIndexedKeyTable) tables_read.insert(e.address / kTableStride);
  EXPECT_EQ(tables_read, (std::set<std::size_t>{0, 1, 2, 3}));

  // The keys are the layer's as the keyboard holds them.
  EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA), kFirstMacro);
  EXPECT_EQ(HeldAction(2, kKeyA), kFirstMacro);
  EXPECT_EQ(Profiles().SelectedIndex(), 2);
  EXPECT_EQ(Keyboard()->ProfilePosition(), 2);
  EXPECT_TRUE(Selected("Layer_2"));
  EXPECT_FALSE(Selected("Layer_0"));
}

TEST_F(SystemPageTest, ALayerOutsideTheFourIsTheFirst) {
  SwitchAndWait("Layer_3", 3);
  COptionUI beyond;
  beyond.SetName("Layer_5");
  TNotifyUI msg{std::string(notify::kSelectChanged), &beyond};
  const std::size_t from = Journal().size();
  window_.Notify(msg);
  ASSERT_TRUE(PumpUntil([&] { return KeyTableWritten(from, 0); }));
  EXPECT_EQ(Profiles().SelectedIndex(), 0);
  EXPECT_TRUE(Selected("Layer_0"));
  EXPECT_FALSE(Selected("Layer_3"));
}

TEST_F(SystemPageTest, ALayerWhoseProfileWasDeletedIsRefusedWithAMessage) {
  ASSERT_TRUE(Profiles().Select(3));
  ASSERT_GE(Profiles().DeleteProfile(), 0);
  ASSERT_TRUE(Profiles().Select(0));
  const std::filesystem::path current = Keyboard()->profile().ProfilePath();
  const std::size_t from = Journal().size();

  Press("Layer_3", {"confirm_btn"});
  EXPECT_EQ(boxes_.asked, (std::vector<std::string>{Text("message_layer_missing")}));
  Settle();
  EXPECT_TRUE(TableWork(from).empty());
  EXPECT_EQ(Profiles().SelectedIndex(), 0);
  EXPECT_EQ(Keyboard()->profile().ProfilePath(), current);
  EXPECT_TRUE(Selected("Layer_0"));
  EXPECT_FALSE(Selected("Layer_3"));
}

TEST_F(SystemPageTest, RestoringDefaultsAsksFirstThenRestoresTheProfileAndWritesLayerZeroAndTheSettings) {
  AssignAndWrite(0, kKeyA, kPlay);
  KeyboardSystem system = Keyboard()->profile().GetKeyboardSystem();
  system.repeat = 9;
  system.polling_rate = 3;
  Keyboard()->profile().SetKeyboardSystem(system);
  LightSetting light = Keyboard()->profile().GetLight();
  light.light = 1;
  light.select_item = 6;
  Keyboard()->profile().SetLight(light);
  ASSERT_TRUE(Keyboard()->profile().Save());
  const std::string before = FileText();

  std::size_t from = Journal().size();
  Press("default_btn", {"cancel_btn"});
  EXPECT_EQ(boxes_.asked, (std::vector<std::string>{Text("message_text_22")}));
  Settle();
  EXPECT_TRUE(TableWork(from).empty());
  EXPECT_EQ(FileText(), before);
  EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA), kPlay);

  from = Journal().size();
  Press("default_btn", {"confirm_btn"});
  ASSERT_TRUE(PumpUntil([&] { return !TableWork(from).empty() && TableWork(from).back().command == 0x06; }));
  CKeyboardProfiledata factory;
  factory.Load(Keyboard()->DefaultDataFile());
  const std::unique_ptr<CKeyboardProfiledata> file = FileProfile();
  EXPECT_EQ(file->GetLight(), factory.GetLight());
  EXPECT_EQ(file->GetKeyboardSystem(), factory.GetKeyboardSystem());
  EXPECT_EQ(file->GetStoredKeyList(), factory.GetStoredKeyList());
  EXPECT_EQ(Keyboard()->live_light(), factory.GetLight());
  EXPECT_EQ(Part<CSliderUI>("repeat_rate_slider").GetValue(), factory.GetKeyboardSystem().repeat);

  // Layer 0's key table, then the settings record, which carries the factory values.
  const std::vector<sim::JournalEntry> work = TableWork(from);
  EXPECT_EQ(Runs(work), (std::vector<std::uint8_t>{command::kWriteIndexedKeyTable, command::kWriteParameters}));
  EXPECT_EQ(work.front().address, 0u);
  EXPECT_EQ(work.back().payload.at(22), factory.GetKeyboardSystem().polling_rate);
  EXPECT_EQ(HeldAction(0, kKeyA), kKeyADefault);
  EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA), kKeyADefault);
}

}  // namespace
}  // namespace brontal
