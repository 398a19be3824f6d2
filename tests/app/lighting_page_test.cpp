// The lighting page's actions on a simulated keyboard: each reaches the
// profile and the device, read back from the device afterwards.
#include <gtest/gtest.h>

#include "app/lighting_page_actions.h"
#include "app/lighting_page_rules.h"
#include "app/main_window_fixture.h"
#include "device_access/command_codes.h"
#include "devices/device_option_ui.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "ui/controls/light_control_ui.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"

namespace brontal {
namespace {

using Channel = CLightControlUI::Channel;

class LightingPageTest : public MainWindowTest {
 protected:
  LightingPageTest() {
    ConnectAndShow<CCorvaneKeyboardDevice>();
    // Counts the settings reads that came back, keeping the window's own hook.
    Keyboard()->on_shown_on_panels = [this, window_hook = Keyboard()->on_shown_on_panels](CCorvaneUSBDevice& d) {
      ++shown_;
      if (window_hook) window_hook(d);
    };
  }

  CCorvaneKeyboardDevice* Keyboard() { return First<CCorvaneKeyboardDevice>(); }
  CLightControlUI& Panel() { return dynamic_cast<CLightControlUI&>(Control("deng_page")); }
  template <typename T>
  T& Part(std::string_view name) {
    return dynamic_cast<T&>(Control(name));
  }
  std::size_t Requests(std::uint8_t command) {
    std::size_t count = 0;
    for (const sim::JournalEntry& e : simulation_.simulator().Device(0x320F, 0x5100)->Journal().Entries())
      count += e.command == command ? 1 : 0;
    return count;
  }
  // Waits for the writes an action posted, then has the keyboard read its
  // settings back: the live record is then what the device holds.
  LightSetting DeviceRecord(std::size_t writes_before) {
    EXPECT_TRUE(PumpUntil([&] { return Requests(command::kWriteParameters) > writes_before; }));
    const int shown = shown_;
    Keyboard()->OnSyncRequest();
    EXPECT_TRUE(PumpUntil([&] { return shown_ > shown; }));
    return Keyboard()->live_light();
  }
  void Commit(std::string_view edit, std::string text) {
    window_.GetPaintManager().SetFocus(&Control(edit));
    Part<CEditUI>(edit).UserEditText(std::move(text));
    window_.GetPaintManager().SetFocus(nullptr);
  }
  int shown_ = 0;

  void Drop(std::string_view slider, int value) {
    Part<CSliderUI>(slider).UserDrag(value);
    Part<CSliderUI>(slider).UserRelease(value);
  }
};

TEST_F(LightingPageTest, TheSlidersSnapAndTheirLevelsReachTheProfileAndTheDevice) {
  struct Case {
    std::string_view slider;
    int dropped, snapped;
    std::uint8_t level;
  };
  const Case cases[] = {{"deng_light_slider", 17, 20, 2},
                        {"deng_light_slider", 38, 39, 4},
                        {"deng_speed_slider", 3, 0, 0},
                        {"deng_speed_slider", 29, 30, 3}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.slider) + " at " + std::to_string(c.dropped));
    const std::size_t writes = Requests(command::kWriteParameters);
    Drop(c.slider, c.dropped);
    EXPECT_EQ(Part<CSliderUI>(c.slider).GetValue(), c.snapped);
    const bool brightness = c.slider == "deng_light_slider";
    const LightSetting stored = Keyboard()->profile().GetLight();
    EXPECT_EQ(brightness ? stored.light : stored.speed, c.level);
    const LightSetting held = DeviceRecord(writes);
    EXPECT_EQ(brightness ? held.light : held.speed, c.level);
  }
}

TEST_F(LightingPageTest, ColourEditsTakeABytePerComponentAndTurnTheSevenColourOptionOff) {
  Part<COptionUI>("deng_7color_check").Selected(true);
  loop_.RunUntilIdle();
  ASSERT_EQ(Keyboard()->live_light().multi_color, 1);
  const std::size_t writes = Requests(command::kWriteParameters);
  Commit("deng_edit_R", "300");
  Commit("deng_edit_G", "");
  Commit("deng_edit_B", "77");
  EXPECT_EQ(Panel().GetColourText(Channel::kRed), "255");
  EXPECT_EQ(Panel().GetColourText(Channel::kGreen), "0");
  EXPECT_FALSE(Panel().IsSevenColour());
  EXPECT_EQ(Panel().GetPaletteColour(), 0xFFFF004Du);
  const LightSetting held = DeviceRecord(writes);
  EXPECT_EQ(std::tuple(held.red, held.green, held.blue, held.multi_color), std::tuple(255, 0, 77, 0));
}

TEST_F(LightingPageTest, ASwatchGivesItsColourAndAModeChoiceReachesTheDevice) {
  const std::uint32_t swatch = Panel().GetSwatchColour(2);
  const std::size_t writes = Requests(command::kWriteParameters);
  Control("color_option_2").Activate();
  Part<CComboUI>("light_combo_modeSelect").UserSelectItem(6);
  const LightSetting held = DeviceRecord(writes);
  EXPECT_EQ(held.select_item, 6);
  EXPECT_EQ(OpaqueColour(held.red, held.green, held.blue), swatch | 0xFF000000u);
  EXPECT_EQ(Panel().GetColourText(Channel::kBlue), std::to_string(swatch & 0xFF));
}

TEST_F(LightingPageTest, TheSameModeButtonIsOfferedWhileASecondDeviceIsShown) {
  EXPECT_TRUE(Control("deng_same_mode").IsVisible());
  Part<CComboUI>("light_combo_modeSelect").UserSelectItem(4);
  EXPECT_TRUE(Control("deng_same_mode").IsVisible()) << "a mode change hides it and the page offers it again";
  for (CCorvaneUSBDevice* device : window_.roster().devices())
    if (device != Keyboard()) device->entry()->SetVisible(false);
  window_.roster().ShowEntry(*Keyboard()->entry());
  Keyboard()->ApplyToUi();
  EXPECT_FALSE(Control("deng_same_mode").IsVisible());
}

TEST_F(LightingPageTest, GameEventsShowTheirModeAndReturnToTheUsersOwn) {
  const std::uint32_t game_start = RegisterWindowMessage("Game_Start");
  Part<CComboUI>("light_combo_modeSelect").UserSelectItem(5);
  loop_.RunUntilIdle();
  // Two events in a row: the second must not take the first one's mode for the user's.
  window_.SendMessage(WindowMessage(game_start, 0, 10));
  window_.SendMessage(WindowMessage(game_start, 0, 12));
  EXPECT_EQ(Keyboard()->live_light().select_item, 12);
  EXPECT_EQ(Panel().GetMode(), 12);
  // A mode the keyboard lacks is another program's mistake: refused.
  window_.SendMessage(WindowMessage(game_start, 0, 99));
  EXPECT_EQ(Keyboard()->live_light().select_item, 12);
  loop_.AdvanceBy(LightingPageActions::kGameShowTime);
  EXPECT_EQ(Keyboard()->live_light().select_item, 5);
  EXPECT_EQ(Keyboard()->profile().GetLight().select_item, 5);
  EXPECT_EQ(Panel().GetMode(), 5);
}

TEST_F(LightingPageTest, TheKeysOffButtonDarkensTheKeyboardAndStoresOnlyIntoAChosenGroup) {
  Part<CComboUI>("light_combo_modeSelect").UserSelectItem(20);
  loop_.RunUntilIdle();
  const std::vector<CustomColour> stored = Keyboard()->profile().GetCustomColors(0, kLogicalKeyCount);
  Part<CComboUI>("light_combo_custommodeSelect").SelectItem(-1, false);
  const std::size_t colour_writes = Requests(command::kWriteKeyColours);
  Control("custom_off_color_btn").Activate();
  EXPECT_TRUE(PumpUntil([&] { return Requests(command::kWriteKeyColours) > colour_writes; }));
  for (const CustomColour& colour : Keyboard()->custom_colours())
    EXPECT_EQ(std::tuple(colour.red, colour.green, colour.blue), std::tuple(0, 0, 0));
  EXPECT_EQ(Keyboard()->profile().GetCustomColors(0, kLogicalKeyCount), stored) << "no group chosen";

  Part<CComboUI>("light_combo_custommodeSelect").SelectItem(1, false);
  Control("custom_bright_color_btn").Activate();
  const LightSetting live = Keyboard()->live_light();
  for (const CustomColour& colour : Keyboard()->profile().GetCustomColors(1, kLogicalKeyCount))
    EXPECT_EQ(std::tuple(colour.red, colour.green, colour.blue), std::tuple(live.red, live.green, live.blue));
}

}  // namespace
}  // namespace brontal
