// The keys page on a simulated keyboard and mouse: a key picked on the
// picture (a mouse's button in the panel's button list), its new action
// chosen in the key assignment panel, kept in the profile, and sent to the
// device's key table, read back from the simulated device.
#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main_window_fixture.h"
#include "devices/device_option_ui.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "input_capture/own_window_capture.h"
#include "macros/macro_file.h"
#include "macros/macro_index.h"
#include "models/memory_layout.h"
#include "ui/controls/device_key_button_ui.h"
#include "ui/controls/key_set_control_ui.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"

namespace brontal {
namespace {

using sim::MemoryRegion;

constexpr std::uint16_t kProduct = 0x5100;
constexpr int kKeyA = 64;
constexpr KeyAction kKeyADefault = {0x20, 0x00, 0x04};
constexpr KeyAction kPlay = {0x30, 0xCD, 0x00};
constexpr int kMediaKind = 7;
constexpr int kPlayRow = 1;
constexpr std::uint8_t kWriteKeyTable = 0x09;
constexpr std::uint8_t kWriteFnKeyTable = 0x27;
constexpr std::size_t kTableStride = 0x180;  // one on-board index's key table

// The panel's own control: the test layout has buttons of the same names.
template <typename T = CControlUI>
T& PanelPart(CControlUI& panel, std::string_view name) {
  return dynamic_cast<T&>(*CPaintManagerUI::FindSubControlByName(&panel, name));
}

// Picks the item of the function combo that carries `kind`.
void ChooseKindIn(CControlUI& panel, int kind) {
  auto& kinds = PanelPart<CComboUI>(panel, "keyset_function_combo");
  for (int i = 0; i < kinds.GetCount(); ++i)
    if (kinds.GetItemAt(i)->GetUserData() == std::to_string(kind)) {
      ASSERT_TRUE(kinds.IsVisible() && kinds.GetItemAt(i)->IsVisible()) << "kind " << kind << " is not offered";
      ASSERT_TRUE(kinds.UserSelectItem(i));
      return;
    }
  FAIL() << "no kind " << kind;
}

class KeyAssignmentTest : public MainWindowTest {
 protected:
  KeyAssignmentTest() { ConnectAndShow<CCorvaneKeyboardDevice>(); }

  CCorvaneKeyboardDevice* Keyboard() { return First<CCorvaneKeyboardDevice>(); }
  CKeySetControlUI& Panel() { return dynamic_cast<CKeySetControlUI&>(Control(CKeySetControlUI::kItemName)); }
  template <typename T = CControlUI>
  T& Part(std::string_view name) {
    return PanelPart<T>(Panel(), name);
  }
  CDeviceKeyButtonUI& PictureKey(int key) {
    return dynamic_cast<CDeviceKeyButtonUI&>(*Keyboard()->key_buttons()[static_cast<std::size_t>(key)]);
  }
  void PickKey(int key) { ASSERT_TRUE(PictureKey(key).Activate()); }
  void ChooseKind(int kind) { ChooseKindIn(Panel(), kind); }
  void ChooseRow(std::string_view combo, int row) { ASSERT_TRUE(Part<CComboUI>(combo).UserSelectItem(row)); }
  void ChoosePlayFor(int key) {
    PickKey(key);
    ChooseKind(kMediaKind);
    ChooseRow("keyset_media_combo", kPlayRow);
  }

  sim::SimulatedDevice& Device() { return *simulation_.simulator().Device(0x320F, kProduct); }
  std::size_t Requests(std::uint8_t command) {
    std::size_t count = 0;
    for (const sim::JournalEntry& e : Device().Journal().Entries()) count += e.command == command ? 1 : 0;
    return count;
  }
  // What the keyboard holds for a key in the key table of the profile's on-board index.
  KeyAction HeldAction(int key) {
    const std::size_t at = static_cast<std::size_t>(Keyboard()->ProfilePosition()) * kTableStride +
                           Keyboard()->maps().slot[static_cast<std::size_t>(key)] * 3u;
    const auto bytes = Device().ReadMemory(MemoryRegion::kKeyTables, at, 3);
    return bytes ? KeyAction{(*bytes)[0], (*bytes)[1], (*bytes)[2]} : KeyAction{};
  }
  KeyAction HeldFnAction(int key) {
    const auto bytes =
        Device().ReadMemory(MemoryRegion::kFnKeyTables, Keyboard()->maps().slot[static_cast<std::size_t>(key)] * 3u, 3);
    return bytes ? KeyAction{(*bytes)[0], (*bytes)[1], (*bytes)[2]} : KeyAction{};
  }
  // The key list the profile file holds, read afresh.
  std::vector<KeyAssignment> FileKeyList(bool fn) {
    CKeyboardProfiledata file;
    file.Load(Keyboard()->profile().ProfilePath());
    return fn ? file.GetKeyFnList() : file.GetKeyList();
  }
  static KeyAction ActionOf(const std::vector<KeyAssignment>& keys, int key) {
    for (const KeyAssignment& k : keys)
      if (k.key_index == key) return k.assignment;
    return {};
  }
  bool ChangeButtonsEnabled() { return Part("key_butt_prosave").IsEnabled(); }
};

TEST_F(KeyAssignmentTest, AMediaKeyChosenForAPictureKeyReachesTheKeyTableOnSend) {
  PickKey(kKeyA);
  EXPECT_EQ(Panel().Record(CKeySetControlUI::Layer::kNormal).key_index, kKeyA);
  EXPECT_EQ(Panel().SelectedKind(), 0);  // the key does what it was made for
  ChooseKind(kMediaKind);
  ChooseRow("keyset_media_combo", kPlayRow);

  // Kept in the profile and its file; the keyboard has not heard of it.
  EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA), kPlay);
  EXPECT_EQ(ActionOf(FileKeyList(false), kKeyA), kPlay);
  EXPECT_EQ(HeldAction(kKeyA), kKeyADefault);
  EXPECT_TRUE(ChangeButtonsEnabled());

  ASSERT_TRUE(Part("key_butt_prosave").Activate());
  ASSERT_TRUE(PumpUntil([&] { return HeldAction(kKeyA) == kPlay; }));
  EXPECT_FALSE(ChangeButtonsEnabled());
  // The other keys kept their actions.
  EXPECT_EQ(HeldAction(kKeyA + 1), kLogicalKeyActions[kKeyA + 1]);
}

TEST_F(KeyAssignmentTest, ThePictureLabelsAndMarksTheAssignedKey) {
  const std::string before = PictureKey(kKeyA).GetText();
  EXPECT_EQ(before, toolkit_.Resources().Translate("keyboard_key_A"));
  ChoosePlayFor(kKeyA);
  EXPECT_EQ(PictureKey(kKeyA).GetText(), toolkit_.Resources().Translate("media_play"));
  EXPECT_FALSE(PictureKey(kKeyA).IsKeySetHidden());
  EXPECT_TRUE(PictureKey(kKeyA + 1).IsKeySetHidden());

  // Default gives the key its own action back, on the keyboard too.
  ASSERT_TRUE(Part("key_butt_keydefalut").Activate());
  EXPECT_EQ(PictureKey(kKeyA).GetText(), before);
  EXPECT_TRUE(PictureKey(kKeyA).IsKeySetHidden());
  EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA), kKeyADefault);
  EXPECT_TRUE(PumpUntil([&] { return Requests(kWriteKeyTable) > 0; }));
  EXPECT_EQ(HeldAction(kKeyA), kKeyADefault);
}

TEST_F(KeyAssignmentTest, CancelShowsTheKeptActionAgain) {
  ChoosePlayFor(kKeyA);
  ChooseKind(2);  // kept at once, from the swing's controls as they stand
  const KeyAction kept = ActionOf(Keyboard()->keys(), kKeyA);
  ASSERT_EQ(kept[0], 0x11);
  auto& count = Part<CEditUI>("keyset_mouseswing_num_edit");
  ASSERT_TRUE(count.UserEditText("9"));  // typed, not yet left
  ASSERT_TRUE(Part("key_butt_keycancel").Activate());
  EXPECT_EQ(count.GetText(), std::to_string(kept[2] & 0x7F));
  EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA), kept);
  EXPECT_FALSE(ChangeButtonsEnabled());
}

TEST_F(KeyAssignmentTest, TheAutomaticSendFollowsEachChoiceWhileTheBoxIsClear) {
  // Checked: nothing goes to the keyboard until asked.
  ChoosePlayFor(kKeyA);
  loop_.AdvanceBy(CMainWnd::kAutoApplyDelay * 5);
  loop_.RunUntilIdle();
  EXPECT_EQ(Requests(kWriteKeyTable), 0u);

  ASSERT_TRUE(Control("main_auto_application_checkbox").Activate());
  ASSERT_FALSE(window_.auto_apply());
  loop_.AdvanceBy(CMainWnd::kAutoApplyDelay);
  ASSERT_TRUE(PumpUntil([&] { return HeldAction(kKeyA) == kPlay; }));

  PickKey(kKeyA + 1);
  ChooseKind(kMediaKind);
  ChooseRow("keyset_media_combo", kPlayRow + 1);
  EXPECT_NE(HeldAction(kKeyA + 1), (KeyAction{0x30, 0xB7, 0x00}));
  loop_.AdvanceBy(CMainWnd::kAutoApplyDelay);
  EXPECT_TRUE(PumpUntil([&] { return HeldAction(kKeyA + 1) == KeyAction{0x30, 0xB7, 0x00}; }));
}

TEST_F(KeyAssignmentTest, TheFnLayerKeepsItsOwnListAndTable) {
  ASSERT_TRUE(Control("key_set_FN_tier").Activate());
  ChoosePlayFor(kKeyA);
  EXPECT_EQ(ActionOf(Keyboard()->fn_keys(), kKeyA), kPlay);
  EXPECT_EQ(ActionOf(FileKeyList(true), kKeyA), kPlay);
  EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA), kKeyADefault);
  EXPECT_EQ(PictureKey(kKeyA).GetText(), toolkit_.Resources().Translate("media_play"));

  ASSERT_TRUE(Control("main_btn_ok").Activate());
  ASSERT_TRUE(PumpUntil([&] { return HeldFnAction(kKeyA) == kPlay; }));
  EXPECT_EQ(Requests(kWriteKeyTable), 0u);
  EXPECT_EQ(HeldAction(kKeyA), kKeyADefault);

  // Back in the normal layer the picture and the panel show that layer.
  ASSERT_TRUE(Control("key_set_FN_tier").Activate());
  EXPECT_EQ(PictureKey(kKeyA).GetText(), toolkit_.Resources().Translate("keyboard_key_A"));
  PickKey(kKeyA);
  EXPECT_EQ(Panel().SelectedKind(), 0);
}

TEST_F(KeyAssignmentTest, TheKeyFieldCapturesKeysOnlyWhileItHasTheFocus) {
  auto owned = std::make_unique<OwnWindowCapture>(loop_);
  OwnWindowCapture& capture = *owned;
  window_.SetInputCapture(std::move(owned));
  constexpr std::uint32_t kXkbOffset = 8;

  PickKey(kKeyA);
  ChooseKind(6);
  CControlUI& field = Part("keyset_keyboard_text_edit");
  window_.GetPaintManager().SetFocus(&field);
  // In the background the keys are another program's.
  const KeyAction before = ActionOf(Keyboard()->keys(), kKeyA);
  window_.SendMessage(WindowMessage(kWmActivate, 0, 0));
  capture.OnWindowKey(KEY_D + kXkbOffset, true, false);
  loop_.RunUntilIdle();
  EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA), before);
  window_.SendMessage(WindowMessage(kWmActivate, 1, 0));
  capture.OnWindowKey(KEY_B + kXkbOffset, true, false);
  loop_.RunUntilIdle();
  EXPECT_EQ(field.CControlUI::GetText(), "keyboard_key_B");
  EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA), (KeyAction{0x20, 0x00, 0x05}));
  capture.OnWindowKey(KEY_RIGHTCTRL + kXkbOffset, true, false);
  loop_.RunUntilIdle();
  EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA), (KeyAction{0x20, 0x01, 0x00}));

  window_.GetPaintManager().SetFocus(nullptr);
  capture.OnWindowKey(KEY_C + kXkbOffset, true, false);
  loop_.RunUntilIdle();
  EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA), (KeyAction{0x20, 0x01, 0x00}));
}

TEST_F(KeyAssignmentTest, TheMacroListComesFromTheKeyboardsMacroIndex) {
  MacroIndex index;
  index.Append("Combo", "2024_01_01_00_00_00_001");
  index.Append("Burst", "2024_01_01_00_00_00_002");
  ASSERT_TRUE(index.Write(Keyboard()->UserDataFolder()));
  Keyboard()->ApplyToUi();
  auto& macros = Part<CComboUI>("keyset_macro_combo");
  ASSERT_EQ(macros.GetCount(), 2);
  EXPECT_EQ(macros.GetItemAt(1)->GetText(), "Burst");

  PickKey(kKeyA);
  ChooseKind(9);
  ChooseRow("keyset_macro_combo", 1);
  EXPECT_EQ(ActionOf(Keyboard()->keys(), kKeyA), (KeyAction{0x70, 1, 0}));
  EXPECT_EQ(PictureKey(kKeyA).GetText(), "Burst");
}

// The mouse on the same window: its buttons chosen in the panel's own list.
class MouseKeyAssignmentTest : public MainWindowTest {
 protected:
  static constexpr std::size_t kForward = 3;
  static constexpr int kDpiKind = 4;
  static constexpr int kMacroKind = 9;
  static constexpr KeyAction kDpiLoop = {0x13, 0x03, 0x00};

  MouseKeyAssignmentTest() { ConnectAndShow<CCorvaneMouseDevice>(); }

  CCorvaneMouseDevice* Mouse() { return First<CCorvaneMouseDevice>(); }
  CKeySetControlUI& Panel() { return dynamic_cast<CKeySetControlUI&>(Control(CKeySetControlUI::kItemName)); }
  void PickButton(std::size_t button) {
    ASSERT_TRUE(PanelPart<CComboUI>(Panel(), "keyset_mouse_button_combo").UserSelectItem(static_cast<int>(button)));
  }
  void ChooseRow(std::string_view combo, int row) {
    ASSERT_TRUE(PanelPart<CComboUI>(Panel(), combo).UserSelectItem(row));
  }

  sim::SimulatedDevice& Device() { return *simulation_.simulator().Device(0x320F, 0x2003); }
  std::vector<std::uint8_t> Commands() {
    std::vector<std::uint8_t> runs;
    for (const sim::JournalEntry& e : Device().Journal().Entries())
      if (runs.empty() || runs.back() != e.command) runs.push_back(e.command);
    return runs;
  }
  // What the mouse holds for a button in the key table of the profile's on-board index.
  KeyAction HeldAction(std::size_t button) {
    const std::size_t at =
        static_cast<std::size_t>(Mouse()->ProfilePosition()) * kTableStride + Mouse()->button_slots()[button] * 3u;
    const auto bytes = Device().ReadMemory(MemoryRegion::kKeyTables, at, 3);
    return bytes ? KeyAction{(*bytes)[0], (*bytes)[1], (*bytes)[2]} : KeyAction{};
  }
  KeyAction FileAction(std::size_t button) {
    CMouseProfiledata file;
    file.Load(Mouse()->profile().ProfilePath());
    return file.GetKeyList().at(button).assignment;
  }
};

TEST_F(MouseKeyAssignmentTest, AMouseFunctionForAButtonGoesToItsSlotWithTheAutomaticSend) {
  ASSERT_TRUE(PanelPart(Panel(), "keyset_mouse_button_layout").IsVisible());
  PickButton(kForward);
  EXPECT_EQ(Panel().Record(CKeySetControlUI::Layer::kNormal).key_index, kForward);
  ChooseKindIn(Panel(), kDpiKind);
  ChooseRow("keyset_mousedpi_combo", 2);
  EXPECT_EQ(Mouse()->keys()[kForward].assignment, kDpiLoop);
  EXPECT_EQ(FileAction(kForward), kDpiLoop);
  EXPECT_NE(HeldAction(kForward), kDpiLoop);

  // Another button shows its own action; the chosen one shows its choice again.
  PickButton(kForward - 1);
  EXPECT_EQ(Panel().Record(CKeySetControlUI::Layer::kNormal).key_index, kForward - 1);
  EXPECT_EQ(Panel().SelectedKind(), 0);
  PickButton(kForward);
  EXPECT_EQ(Panel().SelectedKind(), kDpiKind);

  Device().Journal().Clear();
  ASSERT_TRUE(Control("main_auto_application_checkbox").Activate());  // cleared: each choice is sent
  ASSERT_FALSE(window_.auto_apply());
  loop_.AdvanceBy(CMainWnd::kAutoApplyDelay);
  ASSERT_TRUE(PumpUntil([&] { return HeldAction(kForward) == kDpiLoop; }));
  EXPECT_EQ(HeldAction(kForward - 1), kMouseButtonActions[kForward - 1]);
}

TEST_F(MouseKeyAssignmentTest, AMacroOnAButtonGoesDownBeforeTheKeyTable) {
  const std::vector<MacroEvent> presses(2, MacroEvent{macro_event_type::kKey, 0x04, true, 1});
  MacroIndex index;
  for (const char* name : {"Combo", "Burst"}) {
    ASSERT_TRUE(SaveMacroFile(Mouse()->UserDataFolder(), std::string("guid_") + name, name, presses));
    index.Append(name, std::string("guid_") + name);
  }
  ASSERT_TRUE(index.Write(Mouse()->UserDataFolder()));
  Mouse()->ApplyToUi();

  PickButton(kForward);
  ChooseKindIn(Panel(), kMacroKind);
  ChooseRow("keyset_macro_combo", 1);
  EXPECT_EQ(Mouse()->keys()[kForward].assignment[0], 0x70);
  EXPECT_EQ(Mouse()->keys()[kForward].assignment[1], 1);
  Device().Journal().Clear();
  ASSERT_TRUE(PanelPart(Panel(), "key_butt_prosave").Activate());
  const std::vector<std::uint8_t> macros_then_table = {0x03, 0x01, 0x15, 0x02, 0x03, 0x01, 0x09, 0x02};
  EXPECT_TRUE(PumpUntil([&] { return Commands() == macros_then_table; })) << Commands().size();
  // "Burst" is the only macro played: the first of the image.
  EXPECT_EQ(HeldAction(kForward)[0], 0x70);
  EXPECT_EQ(HeldAction(kForward)[1], 0);
}

}  // namespace
}  // namespace brontal
