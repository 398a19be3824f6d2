// The macro page on a simulated keyboard: its buttons through the main
// window's routes, each read back from the keyboard's macro folder, its
// profiles and the simulated device; recordings fed through our own window's
// capture.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <fstream>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/main_window_fixture.h"
#include "app/message_boxes.h"
#include "devices/device_option_ui.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "input_capture/own_window_capture.h"
#include "input_capture/x11_input_capture.h"
#include "macros/macro_file.h"
#include "macros/macro_index.h"
#include "profiles/profile_list_file.h"
#include "ui/controls/key_set_control_ui.h"
#include "ui/controls/macro_control_ui.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/window_host.h"
#include "ui/windows/msg_wnd.h"

namespace brontal {
namespace {

constexpr std::uint16_t kProduct = 0x5100;
constexpr std::uint8_t kWriteKeyTable = 0x09;
constexpr int kKeyA = 64;
constexpr KeyAction kKeyADefault = {0x20, 0x00, 0x04};
constexpr std::uint32_t kXkb = 8;  // X11 and Wayland key codes are evdev's plus 8

class MacroPageTest : public MainWindowTest {
 protected:
  MacroPageTest() {
    ConnectAndShow<CCorvaneKeyboardDevice>();
    auto capture = std::make_unique<OwnWindowCapture>(loop_);
    own_window_ = capture.get();
    window_.SetInputCapture(std::move(capture));
  }

  CCorvaneKeyboardDevice* Keyboard() { return First<CCorvaneKeyboardDevice>(); }
  CMacroControlUI& Panel() { return dynamic_cast<CMacroControlUI&>(Control(CMacroControlUI::kItemName)); }
  template <typename T = CControlUI>
  T& Part(std::string_view name) {
    return dynamic_cast<T&>(*CPaintManagerUI::FindSubControlByName(&Panel(), name));
  }
  // A click on one of the page's controls, with the boxes it asks answered in turn.
  void Press(std::string_view name, std::vector<std::string> answers = {}) {
    boxes_.answers = std::move(answers);
    boxes_.asked.clear();
    ASSERT_TRUE(Part(name).Activate()) << name;
    loop_.RunUntilIdle();
    EXPECT_TRUE(boxes_.answers.empty()) << name << " asked less than expected";
  }
  void AddMacro() { Press("macro_btn_name_add", {"confirm_btn"}); }
  // Typed into a field that then loses the focus.
  void Commit(std::string_view field, std::string text) {
    window_.GetPaintManager().SetFocus(&Part(field));
    ASSERT_TRUE(Part<CEditUI>(field).UserEditText(std::move(text))) << field;
    window_.GetPaintManager().SetFocus(nullptr);
  }
  void PickEvent(int row) { ASSERT_TRUE(Part<CListUI>("macro_action_list").UserSelectItem(row)); }
  void PickMacro(int row) { ASSERT_TRUE(Part<CListUI>("macro_name_list").UserSelectItem(row)); }
  void Key(std::uint32_t evdev_code, bool down) { own_window_->OnWindowKey(evdev_code + kXkb, down, false); }

  std::filesystem::path Folder() { return Keyboard()->UserDataFolder(); }
  MacroIndex Index() { return MacroIndex::Read(Folder()); }
  std::vector<MacroEvent> FileEvents(std::size_t macro) { return LoadMacroEvents(Folder(), Index().Guid(macro)); }
  void WriteEvents(std::size_t macro, const std::vector<MacroEvent>& events) {
    ASSERT_TRUE(SaveMacroFile(Folder(), Index().Guid(macro), Index().Name(macro), events));
  }
  std::vector<std::string> KeyPanelMacros() {
    auto& macros = dynamic_cast<CComboUI&>(
        *CPaintManagerUI::FindSubControlByName(&Control(CKeySetControlUI::kItemName), "keyset_macro_combo"));
    std::vector<std::string> names;
    for (int i = 0; i < macros.GetCount(); ++i) names.push_back(macros.GetItemAt(i)->GetText());
    return names;
  }
  std::string Text(std::string_view id) { return toolkit_.Resources().Translate(id); }
  bool Locked() {
    return !Part("macro_btn_starredio").IsVisible() && Part("macro_btn_stopredio").IsVisible() &&
           !Part("macro_name_tab").IsEnabled() && !Control("device_select_layout").IsEnabled();
  }
  static MacroEvent KeyEvent(std::uint8_t usage, bool down, std::uint16_t delay) {
    return {macro_event_type::kKey, usage, down, delay};
  }

  MessageBoxes boxes_{toolkit_};
  OwnWindowCapture* own_window_ = nullptr;
};

TEST_F(MacroPageTest, AddAsksFirstAndTheNewMacroIsOpenAndOfferedToTheKeys) {
  Press("macro_btn_name_add", {"cancel_btn"});
  EXPECT_EQ(boxes_.asked, std::vector<std::string>{Text("message_text_28")});
  EXPECT_EQ(Index().Count(), 0U);

  AddMacro();
  AddMacro();
  ASSERT_EQ(Index().Count(), 2U);
  EXPECT_EQ(Index().Name(1), "macro_2");
  EXPECT_TRUE(std::filesystem::exists(Folder() / (Index().Guid(1) + ".mac")));
  EXPECT_EQ(Panel().SelectedMacro(), 1U);
  EXPECT_EQ(Part("macro_edit_macroname").GetText(), "macro_2");
  EXPECT_TRUE(Part("macro_action_layout").IsEnabled());
  EXPECT_EQ(KeyPanelMacros(), (std::vector<std::string>{"macro_1", "macro_2"}));
}

// brontalctl's macro commands reach the folder through this program too.
TEST_F(MacroPageTest, ShowingThePageReadsTheListAgainAndKeepsTheOpenMacro) {
  AddMacro();
  const MacroFolder elsewhere(Folder());
  ASSERT_TRUE(elsewhere.Add(std::chrono::system_clock::now() + std::chrono::hours(1)));
  ASSERT_EQ(elsewhere.Rename(0, "Renamed"), MacroRename::kRenamed);
  ASSERT_TRUE(Control("macro_Op_tab").Activate());
  loop_.RunUntilIdle();
  ASSERT_EQ(Part<CListUI>("macro_name_list").GetCount(), 2);
  EXPECT_EQ(Part<CListUI>("macro_name_list").GetItemAt(1)->GetText(), "macro_2");
  EXPECT_EQ(Panel().SelectedMacro(), 0U);
  EXPECT_EQ(Part("macro_edit_macroname").GetText(), "Renamed");
}

// After a brontalctl recording into the open macro, the panel shows its new
// events: an edit made next would otherwise save the old list over them.
TEST_F(MacroPageTest, AReloadShowsTheOpenMacroAsItsFileHoldsItNow) {
  AddMacro();
  AddMacro();
  PickMacro(1);
  WriteEvents(1, {KeyEvent(0x04, true, 5), KeyEvent(0x04, false, 0)});
  ASSERT_TRUE(MacroFolder(Folder()).Rename(0, "Other") == MacroRename::kRenamed);
  window_.macro_panel().ReloadMacros();
  EXPECT_EQ(Part<CListUI>("macro_name_list").GetItemAt(0)->GetText(), "Other");
  EXPECT_EQ(Panel().SelectedMacro(), 1U);
  EXPECT_EQ(Panel().Events().size(), 2U);
  ASSERT_TRUE(MacroFolder(Folder()).Remove(1));
  window_.macro_panel().ReloadMacros();
  EXPECT_EQ(Panel().SelectedMacro(), std::nullopt);
  EXPECT_TRUE(Panel().Events().empty());
}

TEST_F(MacroPageTest, ARecordingTakesTheWindowsKeysAndIsSavedWhenStopped) {
  AddMacro();
  Part<COptionUI>("macro_check_time").Selected(true, false);
  Commit("macro_fixed_time_edit", "70000");
  Press("macro_btn_starredio");
  EXPECT_TRUE(Locked());
  EXPECT_EQ(Part("macro_fixed_time_edit").GetText(), "65535");
  EXPECT_EQ(Part("macro_capture_note").GetText(), Text("macro_capture_own_window"));

  for (const auto& [code, down] :
       {std::pair{KEY_LEFTSHIFT, true}, {KEY_A, true}, {KEY_A, false}, {KEY_LEFTSHIFT, false}})
    Key(code, down);
  loop_.RunUntilIdle();
  EXPECT_EQ(Panel().Events().size(), 4U);
  EXPECT_TRUE(FileEvents(0).empty());  // saved when the recording ends

  Press("macro_btn_stopredio");
  EXPECT_FALSE(Locked());
  EXPECT_TRUE(Control("device_select_layout").IsEnabled());
  EXPECT_EQ(FileEvents(0), (std::vector<MacroEvent>{{macro_event_type::kModifierKey, 0x02, true, 65535},
                                                    KeyEvent(0x04, true, 65535),
                                                    KeyEvent(0x04, false, 65535),
                                                    {macro_event_type::kModifierKey, 0x02, false, 65535}}));
  // Stopped: the window's keys go nowhere.
  Key(KEY_B, true);
  loop_.RunUntilIdle();
  EXPECT_EQ(Panel().Events().size(), 4U);
}

TEST_F(MacroPageTest, InputWhileTheSystemSuspendsIsNotRecorded) {
  AddMacro();
  Press("macro_btn_starredio");
  window_.SendMessage(WindowMessage(kWmPowerBroadcast, kPbtSuspend));
  Key(KEY_A, true);
  loop_.RunUntilIdle();
  window_.SendMessage(WindowMessage(kWmPowerBroadcast, kPbtResume));
  Key(KEY_B, true);
  loop_.RunUntilIdle();
  Press("macro_btn_stopredio");
  EXPECT_EQ(FileEvents(0), std::vector<MacroEvent>{KeyEvent(0x05, true, 0)});
}

TEST_F(MacroPageTest, ACaptureThatCannotStartIsToldAndLeavesThePageAsItWas) {
  AddMacro();
  WriteEvents(0, {KeyEvent(0x04, true, 5)});
  Press("macro_btn_cancel");  // the file read again
  window_.SetInputCapture(std::make_unique<X11InputCapture>(loop_, ":65000"));
  Press("macro_btn_starredio", {"confirm_btn"});
  ASSERT_EQ(boxes_.asked.size(), 1U);
  EXPECT_TRUE(boxes_.asked[0].starts_with(Text("macro_capture_failed_text") + "\n")) << boxes_.asked[0];
  EXPECT_GT(boxes_.asked[0].size(), Text("macro_capture_failed_text").size() + 1) << "no reason given";
  EXPECT_FALSE(Panel().recording());
  EXPECT_TRUE(Part("macro_btn_starredio").IsVisible());
  EXPECT_TRUE(Part("macro_name_tab").IsEnabled());
  EXPECT_TRUE(Control("device_select_layout").IsEnabled());
  EXPECT_EQ(FileEvents(0), std::vector<MacroEvent>{KeyEvent(0x04, true, 5)});
}

TEST_F(MacroPageTest, EventEditsReachTheFileAtOnce) {
  AddMacro();
  WriteEvents(0, {KeyEvent(0x04, true, 10), KeyEvent(0x05, true, 20), KeyEvent(0x06, true, 30)});
  Press("macro_btn_cancel");  // the file read again

  struct DelayCase {
    std::string typed;
    std::uint16_t saved;
  };
  PickEvent(1);
  for (const DelayCase& c : {DelayCase{"250", 250}, {"70000", 65535}, {"", 0}}) {
    Commit("macro_delay", c.typed);
    EXPECT_EQ(FileEvents(0)[1].delay, c.saved) << c.typed;
    EXPECT_EQ(Part("macro_delay").GetText(), std::to_string(c.saved)) << c.typed;
  }

  Press("macro_btn_uptop");
  EXPECT_EQ(FileEvents(0),
            (std::vector<MacroEvent>{KeyEvent(0x05, true, 0), KeyEvent(0x04, true, 10), KeyEvent(0x06, true, 30)}));
  Press("macro_btn_up");  // already first
  Press("macro_btn_down");
  EXPECT_EQ(FileEvents(0)[1], KeyEvent(0x05, true, 0));
  EXPECT_EQ(Panel().SelectedEvent(), 1U);

  Part<CEditUI>("mouse_y_up_edit").SetText("7");
  Press("macro_inset_moveupkey_btn");
  EXPECT_EQ(FileEvents(0)[2], (MacroEvent{macro_event_type::kVerticalMove, 7, true, kInitialFixedDelay}));

  Press("macro_btn_delete");
  EXPECT_EQ(FileEvents(0).size(), 3U);
  Press("macro_btn_deleteall");
  EXPECT_TRUE(FileEvents(0).empty());
}

TEST_F(MacroPageTest, TheMenuInsertsClicksAfterThePickedEventAndStartsRecordings) {
  AddMacro();
  WriteEvents(0, {KeyEvent(0x04, true, 1), KeyEvent(0x04, false, 2), KeyEvent(0x05, true, 3), KeyEvent(0x05, false, 4),
                  KeyEvent(0x06, true, 5)});
  Press("macro_btn_cancel");  // the file read again
  PickEvent(4);
  auto& menu = Part<CComboUI>("macro_action_menu");
  const auto pick = [&menu](std::string_view item) {
    for (int i = 0; i < menu.GetCount(); ++i)
      if (menu.GetItemAt(i)->GetUserData() == item) return menu.UserSelectItem(i);
    return false;
  };
  ASSERT_TRUE(pick("left_click"));
  loop_.RunUntilIdle();
  const std::vector<MacroEvent> events = FileEvents(0);
  ASSERT_EQ(events.size(), 7U);
  EXPECT_EQ(events[5], (MacroEvent{macro_event_type::kMouseButton, 0x01, true, kInitialFixedDelay}));
  EXPECT_EQ(events[6], (MacroEvent{macro_event_type::kMouseButton, 0x01, false, kInitialFixedDelay}));
  EXPECT_EQ(menu.GetCurSel(), -1);

  // Recorded behind the picked event, in the order typed, without delays.
  PickEvent(0);
  ASSERT_TRUE(pick("redio_later_ignore_time"));
  EXPECT_TRUE(Locked());
  Key(KEY_Z, true);
  Key(KEY_Z, false);
  loop_.RunUntilIdle();
  Press("macro_btn_stopredio");
  const std::vector<MacroEvent> recorded = FileEvents(0);
  ASSERT_EQ(recorded.size(), 9U);
  EXPECT_EQ(recorded[1], KeyEvent(0x1D, true, 0));
  EXPECT_EQ(recorded[2], KeyEvent(0x1D, false, 0));
  EXPECT_EQ(recorded[3], KeyEvent(0x04, false, 2));
}

TEST_F(MacroPageTest, RenameRefusesANameTakenInAnyCaseAndTellsTheKeys) {
  AddMacro();
  AddMacro();
  Part<CEditUI>("macro_edit_macroname").SetText("MACRO_2");
  Press("macro_btn_name_edit", {"confirm_btn"});
  EXPECT_EQ(boxes_.asked, std::vector<std::string>{Text("message_text_5")});
  EXPECT_EQ(Index().Name(1), "macro_2");

  Part<CEditUI>("macro_edit_macroname").SetText("  Combo ");
  Press("macro_btn_name_edit");
  EXPECT_EQ(Index().Name(1), "Combo");
  EXPECT_EQ(Part<CListUI>("macro_name_list").GetItemAt(1)->GetText(), "Combo");
  EXPECT_EQ(KeyPanelMacros(), (std::vector<std::string>{"macro_1", "Combo"}));
}

TEST_F(MacroPageTest, ImportNamesTheCopyByItsFileAndExportCopiesTheFile) {
  const test::TemporaryFolder outside("brontal_macro_files");
  const std::filesystem::path source = outside.path() / "Combo.mac";
  std::ofstream(source) << R"({"Events": [{"Action": "down", "Button": 4, "Delay": "9", "Type": 10}], "Version": 64})";
  desktop_.chosen_file = source;
  Press("macro_btn_import");
  Press("macro_btn_import");
  ASSERT_EQ(Index().Count(), 2U);
  EXPECT_EQ(Index().Name(0), "Combo");
  EXPECT_EQ(Index().Name(1), "Combo_1");
  EXPECT_EQ(Panel().SelectedMacro(), 1U);
  EXPECT_EQ(Panel().Events().size(), 1U);
  EXPECT_EQ(KeyPanelMacros(), (std::vector<std::string>{"Combo", "Combo_1"}));

  desktop_.chosen_file = outside.path() / "out.mac";
  Press("macro_btn_export");
  const auto text = [](const std::filesystem::path& file) {
    std::ostringstream content;
    content << std::ifstream(file).rdbuf();
    return content.str();
  };
  EXPECT_EQ(text(desktop_.chosen_file), text(source));

  // Too many events: refused, and the user hears why.
  std::string many = R"({"Events": [)";
  for (std::size_t i = 0; i <= kMacroEventLimit; ++i) many += std::string(i ? "," : "") + R"({"Type": 10})";
  std::ofstream(outside.path() / "Long.mac") << many + "]}";
  desktop_.chosen_file = outside.path() / "Long.mac";
  Press("macro_btn_import", {"confirm_btn"});
  EXPECT_EQ(Index().Count(), 2U);
  ASSERT_EQ(boxes_.asked.size(), 1U);
  EXPECT_TRUE(boxes_.asked[0].starts_with(Text("macro_import_refused_text") + "\nLong.mac ")) << boxes_.asked[0];
}

// Keys name macros by their place in the list: deleting one moves the later
// ones down, in every profile and in both layers of the one in use.
class MacroDeleteTest : public MacroPageTest {
 protected:
  MacroDeleteTest() {
    for (int i = 0; i < 3; ++i) AddMacro();
    for (std::size_t i = 0; i < 3; ++i) WriteEvents(i, {KeyEvent(0x04, true, 1), KeyEvent(0x04, false, 0)});
    Assign(Keyboard()->mutable_keys(), kKeyA, {0x70, 1, 0});
    Assign(Keyboard()->mutable_keys(), kKeyA + 1, {0x70, 2, 0});
    Assign(Keyboard()->mutable_fn_keys(), kKeyA, {0x71, 2, 3});
    // Another profile's key plays macro 2.
    const ProfileList profiles = ProfileList::Read(Folder());
    for (std::size_t i = 0; i < profiles.Count() && other_profile_.empty(); ++i) {
      const std::filesystem::path path = ProfileFilePath(Folder(), profiles.Uuid(i));
      if (path != Keyboard()->profile().ProfilePath()) other_profile_ = path;
    }
    CKeyboardProfiledata other;
    other.SetProfilePath(other_profile_);
    other.Load(other_profile_);
    std::vector<KeyAssignment> keys = other.GetKeyList();
    Assign(keys, kKeyA, {0x70, 2, 0});
    other.SetKeyList(keys);
    EXPECT_TRUE(other.Save());
    PickMacro(1);
  }

  static void Assign(std::vector<KeyAssignment>& keys, int key, KeyAction action) {
    for (KeyAssignment& k : keys)
      if (k.key_index == key) k.assignment = action;
  }
  static KeyAction ActionOf(const std::vector<KeyAssignment>& keys, int key) {
    for (const KeyAssignment& k : keys)
      if (k.key_index == key) return k.assignment;
    return {};
  }
  KeyAction OtherProfileAction() {
    CKeyboardProfiledata other;
    other.Load(other_profile_);
    return ActionOf(other.GetKeyList(), kKeyA);
  }
  std::size_t KeyTableWrites() {
    std::size_t count = 0;
    for (const sim::JournalEntry& e : simulation_.simulator().Device(0x320F, kProduct)->Journal().Entries())
      count += e.command == kWriteKeyTable ? 1 : 0;
    return count;
  }

  std::filesystem::path other_profile_;
};

TEST_F(MacroDeleteTest, DecliningEitherQuestionChangesNothing) {
  for (const std::vector<std::string>& answers :
       {std::vector<std::string>{"cancel_btn"}, std::vector<std::string>{"confirm_btn", "cancel_btn"}}) {
    Press("macro_btn_name_sub", answers);
    EXPECT_EQ(Index().Count(), 3U);
    EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA + 1), (KeyAction{0x70, 2, 0}));
    EXPECT_EQ(OtherProfileAction(), (KeyAction{0x70, 2, 0}));
  }
  EXPECT_EQ(boxes_.asked, (std::vector<std::string>{Text("message_text_4"), Text("message_text_2")}));
}

TEST_F(MacroDeleteTest, KeysOfEveryProfileAndBothLayersFollowAndTheKeyboardGetsItsKeys) {
  const std::size_t writes = KeyTableWrites();
  Press("macro_btn_name_sub", {"confirm_btn", "confirm_btn"});
  ASSERT_EQ(Index().Count(), 2U);
  EXPECT_EQ(Index().Name(1), "macro_3");
  EXPECT_EQ(Panel().SelectedMacro(), 0U);
  EXPECT_EQ(KeyPanelMacros(), (std::vector<std::string>{"macro_1", "macro_3"}));

  EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA), kKeyADefault);
  EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA + 1), (KeyAction{0x70, 1, 0}));
  EXPECT_EQ(ActionOf(Keyboard()->fn_keys(), kKeyA), (KeyAction{0x71, 1, 3}));
  EXPECT_EQ(OtherProfileAction(), (KeyAction{0x70, 1, 0}));
  CKeyboardProfiledata in_use;
  in_use.Load(Keyboard()->profile().ProfilePath());
  EXPECT_EQ(ActionOf(in_use.GetKeyList(), kKeyA + 1), (KeyAction{0x70, 1, 0}));
  EXPECT_TRUE(PumpUntil([&] { return KeyTableWrites() > writes; }));
}

}  // namespace
}  // namespace brontal
