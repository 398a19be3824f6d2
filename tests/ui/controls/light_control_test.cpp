#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "ui/controls/color_palette_ui.h"
#include "ui/controls/light_control_ui.h"
#include "ui/toolkit/edit.h"
#include "ui/toolkit/list_owner.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/slider.h"
#include "ui/toolkit/tab_layout.h"
#include "ui/toolkit/test_window.h"

namespace brontal::testing {
namespace {

using Channel = CLightControlUI::Channel;

// The shipped lighting page in a window of its own.
class LightPanelTest : public WindowFixture {
 public:
  LightPanelTest() : WindowFixture(BRONTAL_SKIN_DIR "/XML/Panel/lightingpage.xml") {
    toolkit.Factory().Register("CLightControlUI", [] { return std::make_unique<CLightControlUI>(); });
    toolkit.Factory().Register("CColorPaletteUI", [] { return std::make_unique<CColorPaletteUI>(); });
    if (!window.Create(nullptr, "Lighting")) throw std::runtime_error(window.GetCreateError());
    loop.RunUntilIdle();
    window.notes.clear();
  }

  CLightControlUI& Panel() { return Find<CLightControlUI>("deng_page"); }
  bool Shown(std::string_view name) { return Find<CControlUI>(name).IsVisible(); }
  bool Enabled(std::string_view name) { return Find<CControlUI>(name).IsEnabled(); }
  bool Selected(std::string_view name) { return Find<COptionUI>(name).IsSelected(); }
  std::string Text(std::string_view name) { return Find<CControlUI>(name).CControlUI::GetText(); }
  int ColourPage() { return Find<CTabLayoutUI>("light_color_tablayout").GetCurSel(); }
  void Remove(std::string_view name) {
    CControlUI& control = Find<CControlUI>(name);
    ASSERT_TRUE(control.GetParent()->Remove(&control)) << name;
  }
};

TEST_F(LightPanelTest, SkinHoldsTheControlsOfThePageByKind) {
  for (const std::string_view name : {"light_combo_modeSelect", "light_combo_custommodeSelect",
                                      "light_combo_ZZCCmodeSelect", "light_combo_audiomodeSelect"}) {
    EXPECT_NO_THROW(Find<CComboUI>(name)) << name;
  }
  EXPECT_EQ(Find<CComboUI>("light_combo_audiomodeSelect").GetCount(), 7);
  EXPECT_GT(Find<CComboUI>("light_combo_ZZCCmodeSelect").GetCount(), 0);
  EXPECT_GT(Find<CComboUI>("light_combo_custommodeSelect").GetCount(), 0);
  for (const std::string_view name : {"deng_light_slider", "deng_speed_slider"}) {
    EXPECT_NO_THROW(Find<CSliderUI>(name)) << name;
  }
  for (const std::string_view name :
       {"deng_edit_R", "deng_edit_G", "deng_edit_B", "deng_audioedit_R", "deng_audioedit_G", "deng_audioedit_B"}) {
    EXPECT_NO_THROW(Find<CEditUI>(name)) << name;
  }
  for (const std::string_view name : {"deng_Color_Pallet", "deng_audioColor_Pallet"}) {
    EXPECT_NO_THROW(Find<CColorPaletteUI>(name)) << name;
  }
  for (const std::string_view name : {"deng_7color_check", "deng_FXL_check", "deng_FXR_check", "deng_7audiocolor_check",
                                      "audio_BkColor_check", "audio_FgColor_check"}) {
    EXPECT_NO_THROW(Find<COptionUI>(name)) << name;
  }
  for (const std::string_view name :
       {"deng_colordp_btn", "deng_audiocolordp_btn", "deng_same_mode", "custom_bright_color_btn",
        "custom_off_color_btn", "color_option_0", "color_option_7", "audiocolor_option_0", "audiocolor_option_7"}) {
    EXPECT_NO_THROW(Find<CButtonUI>(name)) << name;
  }
  // The per-key buttons come and go with the custom list.
  EXPECT_EQ(Find<CControlUI>("custom_bright_color_btn").GetParent()->GetParent(),
            &Find<CControlUI>("lightcustom_layout"));
  EXPECT_EQ(Find<CTabLayoutUI>("light_color_tablayout").GetCount(), 2);
}

TEST_F(LightPanelTest, DirectionAndColourTypeOptionsAreExclusive) {
  ASSERT_TRUE(Find<COptionUI>("deng_FXL_check").Activate());
  EXPECT_TRUE(Selected("deng_FXL_check"));
  EXPECT_FALSE(Selected("deng_FXR_check"));
  ASSERT_TRUE(Find<COptionUI>("deng_FXR_check").Activate());
  EXPECT_FALSE(Selected("deng_FXL_check"));
  Panel().SetDeviceKind(1);
  Panel().SetLightRecord({.select_item = 29});  // the audio page
  ASSERT_TRUE(Find<COptionUI>("audio_FgColor_check").Activate());
  EXPECT_FALSE(Selected("audio_BkColor_check"));
}

TEST_F(LightPanelTest, ModeListIsRefilledWithTheOfferedModes) {
  Panel().SetModeList(std::vector<LightMode>(5, {"old", true, 0}), 10, 10);
  Panel().SelectMode(4);
  const std::vector<LightMode> modes = {{"Static", true, 1}, {"Hidden", false, 7}, {"Wave", true, 3}};
  Panel().SetModeList(modes, 39, 4);
  const auto& list = Find<CComboUI>("light_combo_modeSelect");
  ASSERT_EQ(list.GetCount(), 3);
  EXPECT_EQ(list.GetCurSel(), -1);
  for (int i = 0; i < 3; ++i) {
    const CControlUI& item = *list.GetItemAt(i);
    EXPECT_EQ(item.GetText(), modes[i].name);
    EXPECT_EQ(item.GetToolTip(), modes[i].name);
    EXPECT_EQ(item.GetFixedHeight(), 30);
    EXPECT_EQ(item.IsVisible(), modes[i].visible) << i;
  }
  EXPECT_EQ(Find<CSliderUI>("deng_light_slider").GetMaxValue(), 39);
  EXPECT_EQ(Find<CSliderUI>("deng_speed_slider").GetMaxValue(), 4);
  Panel().SetModeList({}, 39, 39);
  EXPECT_EQ(list.GetCount(), 0);
}

// A device's lighting: every control shows it, and nothing is notified, so
// that showing a record never reaches the handlers that store one.
TEST_F(LightPanelTest, LightRecordFillsEveryControlSilently) {
  Panel().SetDeviceKind(1);
  Panel().SetModeList(std::vector<LightMode>(31, {"mode", true, 0}), 39, 39);
  Panel().SetLightRecord({.select_item = 2,
                          .light = 30,
                          .speed = 10,
                          .fx = 1,
                          .multi_color = 1,
                          .red = 255,
                          .green = 0,
                          .blue = 128,
                          .zzcc_led_mode = 3});
  EXPECT_EQ(Panel().GetMode(), 2);
  EXPECT_EQ(Find<CSliderUI>("deng_light_slider").GetValue(), 30);
  EXPECT_EQ(Find<CSliderUI>("deng_speed_slider").GetValue(), 10);
  EXPECT_EQ(Text("deng_edit_R"), "255");
  EXPECT_EQ(Text("deng_edit_G"), "0");
  EXPECT_EQ(Text("deng_edit_B"), "128");
  EXPECT_EQ(Find<CColorPaletteUI>("deng_Color_Pallet").GetSelectedColour(), 0xFFFF0080u);
  EXPECT_EQ(Find<CControlUI>("deng_colordp_btn").GetBkColor(), 0xFFFF0080u);
  EXPECT_TRUE(Selected("deng_7color_check"));
  EXPECT_EQ(Find<CComboUI>("light_combo_ZZCCmodeSelect").GetCurSel(), 3);
  EXPECT_TRUE(Selected("deng_FXL_check"));
  EXPECT_FALSE(Selected("deng_FXR_check"));
  EXPECT_TRUE(Enabled("deng_fx_layout"));  // the layout of mode 2
  EXPECT_TRUE(window.notes.empty()) << ::testing::PrintToString(window.notes);

  Panel().SetLightRecord({.select_item = 12, .fx = 0, .multi_color = 0});
  EXPECT_EQ(Panel().GetMode(), 12);
  EXPECT_FALSE(Selected("deng_FXL_check"));
  EXPECT_TRUE(Selected("deng_FXR_check"));
  EXPECT_FALSE(Selected("deng_7color_check"));
  EXPECT_FALSE(Enabled("deng_color_layout"));  // the layout of mode 12
  EXPECT_EQ(Find<CColorPaletteUI>("deng_Color_Pallet").GetSelectedColour(), 0xFF000000u);
  EXPECT_TRUE(window.notes.empty()) << ::testing::PrintToString(window.notes);
}

TEST_F(LightPanelTest, AccessorsReadWhatTheySet) {
  CLightControlUI& panel = Panel();
  panel.SelectCustomMode(2);
  panel.SelectSpecialMode(1);
  panel.SetBrightness(20);
  panel.SetSpeed(39);
  panel.SetColourText(Channel::kGreen, "77");
  panel.SetPaletteColour(0x00123456);
  panel.SetSevenColour(true);
  panel.SetDirection(5);
  EXPECT_EQ(panel.GetCustomMode(), 2);
  EXPECT_EQ(panel.GetSpecialMode(), 1);
  EXPECT_EQ(panel.GetBrightness(), 20);
  EXPECT_EQ(panel.GetSpeed(), 39);
  EXPECT_EQ(panel.GetColourText(Channel::kGreen), "77");
  EXPECT_EQ(panel.GetPaletteColour(), 0xFF123456u);  // the palette holds opaque colours
  EXPECT_TRUE(panel.IsSevenColour());
  EXPECT_EQ(panel.GetDirection(), 1);
  panel.SetDirection(0);
  EXPECT_EQ(panel.GetDirection(), 0);
  EXPECT_TRUE(window.notes.empty()) << ::testing::PrintToString(window.notes);
}

TEST_F(LightPanelTest, SwatchesAreReadByNumberFromTheirOwnPage) {
  Find<CControlUI>("color_option_5").SetBkColor(0xFF010203);
  Find<CControlUI>("audiocolor_option_5").SetBkColor(0xFF040506);
  EXPECT_EQ(Panel().GetSwatchColour(5), 0xFF010203u);
  EXPECT_EQ(Panel().GetAudioSwatchColour(5), 0xFF040506u);
  EXPECT_EQ(Panel().GetSwatchColour(99), 0u);
  EXPECT_EQ(Panel().GetSwatchColour(-1), 0u);
}

TEST_F(LightPanelTest, AudioPageColourControlsAreReadApart) {
  Find<CEditUI>("deng_audioedit_B").SetText("9");
  Find<CColorPaletteUI>("deng_audioColor_Pallet").SetSelectedColour(0xFF00FF00);
  EXPECT_EQ(Panel().GetAudioColourText(Channel::kBlue), "9");
  EXPECT_EQ(Panel().GetColourText(Channel::kBlue), "");
  EXPECT_EQ(Panel().GetAudioPaletteColour(), 0xFF00FF00u);
}

TEST_F(LightPanelTest, SpecialModeOnAKeyboardHidesTheSpeed) {
  Panel().SetDeviceKind(1);
  Panel().SetLightRecord({.select_item = 17});
  EXPECT_FALSE(Shown("deng_speed_layout"));
  EXPECT_TRUE(Shown("light_combo_ZZCCmodeSelectLayout"));
  EXPECT_FALSE(Enabled("light_color_layout"));
  // The next mode puts them back.
  Panel().SelectMode(1);
  EXPECT_TRUE(Shown("deng_speed_layout"));
  EXPECT_FALSE(Shown("light_combo_ZZCCmodeSelectLayout"));
  EXPECT_TRUE(Enabled("light_color_layout"));
}

// One row of a kind's mode table as the panel shows it; "111111" lists the
// enabled state of the seven-colour option and the colour, palette,
// direction, brightness and speed groups.
struct LayoutCase {
  const char* name;
  int kind;
  int mode;
  const char* enabled;
  bool speed_shown = true;
  bool special_shown = false;
  bool custom_shown = false;
  bool audio_shown = false;  // the audio-mode list and the audio page
  bool colour_area = true;
  const char* left_text = "light_set_right_to_left_text";
  const char* right_text = "light_set_left_to_right_text";
  friend void PrintTo(const LayoutCase& c, std::ostream* out) { *out << c.name; }
};

class ModeLayoutTest : public LightPanelTest, public ::testing::WithParamInterface<LayoutCase> {};

TEST_P(ModeLayoutTest, EnablesAndShowsTheGroupsOfTheMode) {
  const LayoutCase& c = GetParam();
  Panel().SetDeviceKind(c.kind);
  Panel().ApplyModeLayout(c.mode);
  const std::string_view groups[] = {"deng_7color_check", "deng_color_layout", "colorpallet_layout",
                                     "deng_fx_layout",    "deng_light_layout", "deng_speed_layout"};
  std::string enabled;
  for (const std::string_view group : groups) enabled += Enabled(group) ? '1' : '0';
  EXPECT_EQ(enabled, c.enabled);
  EXPECT_EQ(Shown("deng_speed_layout"), c.speed_shown);
  EXPECT_EQ(Shown("light_combo_ZZCCmodeSelectLayout"), c.special_shown);
  EXPECT_EQ(Shown("lightcustom_layout"), c.custom_shown);
  EXPECT_EQ(Shown("light_combo_AudiomodeSelectLayout"), c.audio_shown);
  EXPECT_EQ(ColourPage(), c.audio_shown ? 1 : 0);
  EXPECT_EQ(Enabled("light_color_layout"), c.colour_area);
  EXPECT_TRUE(Enabled("lighteffect_layout"));
  EXPECT_EQ(Text("deng_FXL_check"), c.left_text);
  EXPECT_EQ(Text("deng_FXR_check"), c.right_text);
  EXPECT_TRUE(Find<CLabelUI>("deng_FXL_check").IsResourceText());
}

constexpr const char* kDownToUp = "light_set_down_to_up_text";
constexpr const char* kUpToDown = "light_set_up_to_down_text";

INSTANTIATE_TEST_SUITE_P(
    Kinds, ModeLayoutTest,
    ::testing::Values(LayoutCase{"Keyboard1", 1, 1, "111111"},
                      LayoutCase{.name = "Keyboard3Turns",
                                 .kind = 1,
                                 .mode = 3,
                                 .enabled = "111111",
                                 .left_text = "light_set_clockwise_text",
                                 .right_text = "light_set_anticlockwise_text"},
                      LayoutCase{
                          .name = "Keyboard11", .kind = 1, .mode = 11, .enabled = "000011", .colour_area = false},
                      LayoutCase{"Keyboard6", 1, 6, "111010"}, LayoutCase{"Keyboard14", 1, 14, "111011"},
                      LayoutCase{.name = "Keyboard18",
                                 .kind = 1,
                                 .mode = 18,
                                 .enabled = "000110",
                                 .colour_area = false,
                                 .left_text = "light_set_outside_to_inside_text",
                                 .right_text = "light_set_inside_to_outside_text"},
                      LayoutCase{.name = "Keyboard20Custom",
                                 .kind = 1,
                                 .mode = 20,
                                 .enabled = "011010",
                                 .speed_shown = false,
                                 .custom_shown = true},
                      LayoutCase{.name = "Keyboard21",
                                 .kind = 1,
                                 .mode = 21,
                                 .enabled = "111111",
                                 .left_text = kUpToDown,
                                 .right_text = kDownToUp},
                      LayoutCase{.name = "Keyboard29Audio",
                                 .kind = 1,
                                 .mode = 29,
                                 .enabled = "111110",
                                 .speed_shown = false,
                                 .audio_shown = true},
                      LayoutCase{"Keyboard19", 1, 19, "000000"}, LayoutCase{"KeyboardNoMode", 1, -1, "000000"},
                      LayoutCase{.name = "Mouse0",
                                 .kind = 2,
                                 .mode = 0,
                                 .enabled = "111111",
                                 .left_text = kDownToUp,
                                 .right_text = kUpToDown},
                      LayoutCase{.name = "Mouse3",
                                 .kind = 2,
                                 .mode = 3,
                                 .enabled = "011010",
                                 .left_text = kDownToUp,
                                 .right_text = kUpToDown},
                      LayoutCase{.name = "Mouse11Audio",
                                 .kind = 2,
                                 .mode = 11,
                                 .enabled = "111110",
                                 .speed_shown = false,
                                 .audio_shown = true,
                                 .left_text = kDownToUp,
                                 .right_text = kUpToDown},
                      LayoutCase{.name = "Mouse10",
                                 .kind = 2,
                                 .mode = 10,
                                 .enabled = "000000",
                                 .left_text = kDownToUp,
                                 .right_text = kUpToDown},
                      LayoutCase{"MousePad2", 3, 2, "111011"}, LayoutCase{"Kind4Mode1", 4, 1, "000011"},
                      LayoutCase{"Headset3", 7, 3, "011010"}, LayoutCase{"Headset5", 7, 5, "000000"},
                      // Kind 5 leaves the direction group as the skin has it.
                      LayoutCase{"Kind5Mode1", 5, 1, "011110"}, LayoutCase{"Kind5Mode4", 5, 4, "000111"},
                      LayoutCase{"Kind5Mode9", 5, 9, "000100"}),
    [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(LightPanelTest, KindFiveLeavesTheDirectionGroupAlone) {
  Panel().SetDeviceKind(5);
  Find<CControlUI>("deng_fx_layout").SetEnabled(false);
  Panel().ApplyModeLayout(0);
  EXPECT_FALSE(Enabled("deng_fx_layout"));
  EXPECT_TRUE(Enabled("deng_color_layout"));
}

TEST_F(LightPanelTest, KindSixChangesNoGroup) {
  Panel().SetDeviceKind(6);
  Find<CControlUI>("deng_color_layout").SetEnabled(false);
  Find<CControlUI>("deng_speed_layout").SetVisible(false);
  Panel().ApplyModeLayout(0);
  EXPECT_FALSE(Enabled("deng_color_layout"));
  EXPECT_FALSE(Shown("deng_speed_layout"));
  EXPECT_TRUE(Enabled("deng_light_layout"));
}

// The page shows one device after another; what only the keyboard's table
// governs must not stay as a keyboard's mode left it.
TEST_F(LightPanelTest, AnotherKindStartsFromTheRestingLayout) {
  Panel().SetDeviceKind(1);
  Panel().SetSameModeAllowed(true);
  Panel().ApplyModeLayout(17);
  Panel().ShowSameMode(true);
  Panel().SetDeviceKind(3);
  for (const std::string_view group : {"deng_7color_check", "deng_color_layout", "colorpallet_layout", "deng_fx_layout",
                                       "deng_light_layout", "deng_speed_layout", "light_color_layout"}) {
    EXPECT_TRUE(Enabled(group)) << group;
  }
  EXPECT_TRUE(Shown("deng_speed_layout"));
  EXPECT_FALSE(Shown("light_combo_ZZCCmodeSelectLayout"));
  EXPECT_FALSE(Shown("deng_same_mode"));
  EXPECT_EQ(ColourPage(), 0);
  Panel().ApplyModeLayout(1);
  EXPECT_FALSE(Enabled("deng_color_layout"));
  // The same kind again keeps the layout of its mode.
  Panel().SetDeviceKind(3);
  EXPECT_FALSE(Enabled("deng_color_layout"));
}

TEST_F(LightPanelTest, SameModeOptionShowsOnlyWhileAllowedAndUntilTheModeChanges) {
  Panel().SetDeviceKind(1);
  Panel().ShowSameMode(true);
  EXPECT_FALSE(Shown("deng_same_mode"));
  Panel().SetSameModeAllowed(true);
  EXPECT_FALSE(Shown("deng_same_mode"));  // allowing re-applies the layout, which hides it
  Panel().ShowSameMode(true);
  EXPECT_TRUE(Shown("deng_same_mode"));
  Panel().SelectMode(2);
  EXPECT_FALSE(Shown("deng_same_mode"));
  Panel().ShowSameMode(true);
  Panel().SetDeviceKind(6);
  Panel().ApplyModeLayout(2);
  EXPECT_FALSE(Shown("deng_same_mode"));
  Panel().ShowSameMode(true);
  Panel().SetSameModeAllowed(false);
  EXPECT_FALSE(Shown("deng_same_mode"));
  Panel().ShowSameMode(true);
  EXPECT_FALSE(Shown("deng_same_mode"));
}

TEST_F(LightPanelTest, SameModeFlagReappliesTheSelectedModesLayout) {
  Panel().SetDeviceKind(1);
  Panel().SetModeList(std::vector<LightMode>(31, {"mode", true, 0}), 39, 39);
  Panel().SelectMode(20);
  Panel().SetDeviceKind(2);
  Panel().SetSameModeAllowed(true);
  // Mouse mode 20 is in no row of its table.
  EXPECT_FALSE(Enabled("deng_color_layout"));
  EXPECT_EQ(Text("deng_FXL_check"), kDownToUp);
}

const AudioLightSetting kAudio{.audio_mode = 2,
                               .bk_red = 10,
                               .bk_green = 20,
                               .bk_blue = 30,
                               .fg_red = 255,
                               .fg_green = 0,
                               .fg_blue = 128,
                               .seven_color = 1,
                               .color_type = 1};

TEST_F(LightPanelTest, AudioRecordShowsTheForegroundWhileItIsEdited) {
  ASSERT_EQ(Panel().SetAudioRecord(kAudio), std::nullopt);
  EXPECT_EQ(Panel().AudioRecord(), kAudio);
  EXPECT_EQ(Find<CComboUI>("light_combo_audiomodeSelect").GetCurSel(), 2);
  EXPECT_TRUE(Selected("audio_FgColor_check"));
  EXPECT_FALSE(Selected("audio_BkColor_check"));
  EXPECT_TRUE(Selected("deng_7audiocolor_check"));
  EXPECT_EQ(Text("deng_audioedit_R"), "255");
  EXPECT_EQ(Text("deng_audioedit_G"), "0");
  EXPECT_EQ(Text("deng_audioedit_B"), "128");
  EXPECT_EQ(Find<CColorPaletteUI>("deng_audioColor_Pallet").GetSelectedColour(), 0xFFFF0080u);
  EXPECT_EQ(Find<CControlUI>("deng_audiocolordp_btn").GetBkColor(), 0xFFFF0080u);
  EXPECT_TRUE(Enabled("light_audiocolor_layout"));
  EXPECT_TRUE(Enabled("audiocolorpallet_layout"));
  EXPECT_TRUE(window.notes.empty()) << ::testing::PrintToString(window.notes);
}

TEST_F(LightPanelTest, AudioRecordShowsTheBackgroundOtherwiseAndLeavesSevenColours) {
  Find<COptionUI>("deng_7audiocolor_check").Selected(true, false);
  AudioLightSetting record = kAudio;
  record.color_type = 0;
  record.seven_color = 0;
  ASSERT_EQ(Panel().SetAudioRecord(record), std::nullopt);
  EXPECT_TRUE(Selected("audio_BkColor_check"));
  EXPECT_FALSE(Selected("audio_FgColor_check"));
  EXPECT_TRUE(Selected("deng_7audiocolor_check"));
  EXPECT_EQ(Text("deng_audioedit_R"), "10");
  EXPECT_EQ(Text("deng_audioedit_G"), "20");
  EXPECT_EQ(Text("deng_audioedit_B"), "30");
  EXPECT_EQ(Find<CControlUI>("deng_audiocolordp_btn").GetBkColor(), 0xFF0A141Eu);
}

TEST_F(LightPanelTest, AudioModeThreeDisablesBothColourGroups) {
  AudioLightSetting record = kAudio;
  record.audio_mode = 3;
  ASSERT_EQ(Panel().SetAudioRecord(record), std::nullopt);
  EXPECT_FALSE(Enabled("light_audiocolor_layout"));
  EXPECT_FALSE(Enabled("audiocolorpallet_layout"));
  record.audio_mode = 4;
  ASSERT_EQ(Panel().SetAudioRecord(record), std::nullopt);
  EXPECT_TRUE(Enabled("light_audiocolor_layout"));
  EXPECT_TRUE(Enabled("audiocolorpallet_layout"));
}

// The colour type read back: kept, unless the other colour's check is now
// the selected one.
struct ColourTypeCase {
  const char* name;
  std::uint8_t kept;
  const char* selected;  // the check selected before the read
  std::uint8_t read;
  friend void PrintTo(const ColourTypeCase& c, std::ostream* out) { *out << c.name; }
};

class AudioColourTypeTest : public LightPanelTest, public ::testing::WithParamInterface<ColourTypeCase> {};

TEST_P(AudioColourTypeTest, FollowsTheSelectedCheck) {
  AudioLightSetting record = kAudio;
  record.color_type = GetParam().kept;
  ASSERT_EQ(Panel().SetAudioRecord(record), std::nullopt);
  Find<COptionUI>(GetParam().selected).Selected(true, false);
  const auto read = Panel().GetAudioRecord(false);
  ASSERT_TRUE(std::holds_alternative<AudioLightSetting>(read));
  EXPECT_EQ(std::get<AudioLightSetting>(read).color_type, GetParam().read);
  EXPECT_EQ(Panel().AudioRecord().color_type, GetParam().kept);  // reading keeps nothing
}

INSTANTIATE_TEST_SUITE_P(Checks, AudioColourTypeTest,
                         ::testing::Values(ColourTypeCase{"ForegroundToBackground", 1, "audio_BkColor_check", 0},
                                           ColourTypeCase{"BackgroundToForeground", 0, "audio_FgColor_check", 1},
                                           ColourTypeCase{"ForegroundStays", 1, "audio_FgColor_check", 1},
                                           ColourTypeCase{"BackgroundStays", 0, "audio_BkColor_check", 0},
                                           ColourTypeCase{"OtherTypeStays", 2, "audio_FgColor_check", 2}),
                         [](const auto& case_info) { return std::string(case_info.param.name); });

TEST_F(LightPanelTest, AudioRecordReadsModeAndSevenColoursAndTakesTheSwatchColour) {
  ASSERT_EQ(Panel().SetAudioRecord(kAudio), std::nullopt);
  Find<CComboUI>("light_combo_audiomodeSelect").SelectItem(5, false);
  Find<COptionUI>("deng_7audiocolor_check").Selected(false, false);
  Find<CControlUI>("deng_audiocolordp_btn").SetBkColor(0xFF112233);

  AudioLightSetting expected = kAudio;
  expected.audio_mode = 5;
  expected.seven_color = 0;
  EXPECT_EQ(std::get<AudioLightSetting>(Panel().GetAudioRecord(false)), expected);
  expected.fg_red = 0x11, expected.fg_green = 0x22, expected.fg_blue = 0x33;
  EXPECT_EQ(std::get<AudioLightSetting>(Panel().GetAudioRecord(true)), expected);

  // Once the background is edited, the swatch's colour is the background's.
  Find<COptionUI>("audio_BkColor_check").Selected(true, false);
  expected = kAudio;
  expected.audio_mode = 5, expected.seven_color = 0, expected.color_type = 0;
  expected.bk_red = 0x11, expected.bk_green = 0x22, expected.bk_blue = 0x33;
  EXPECT_EQ(std::get<AudioLightSetting>(Panel().GetAudioRecord(true)), expected);
}

class MissingAudioControlTest : public LightPanelTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(MissingAudioControlTest, ShowingTheAudioRecordFailsAndShowsNothing) {
  Remove(GetParam());
  const std::optional<AudioControlError> error = Panel().SetAudioRecord(kAudio);
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->text, " SetAudioLightInfo control is NULL");
  EXPECT_EQ(Panel().AudioRecord(), AudioLightSetting{});
  if (const auto* modes =
          dynamic_cast<CComboUI*>(window.GetPaintManager().FindControl("light_combo_audiomodeSelect"))) {
    EXPECT_EQ(modes->GetCurSel(), -1);
  }
}

INSTANTIATE_TEST_SUITE_P(Controls, MissingAudioControlTest,
                         ::testing::Values("light_combo_audiomodeSelect", "audio_FgColor_check", "audio_BkColor_check",
                                           "deng_7audiocolor_check", "deng_audioedit_G", "deng_audioColor_Pallet",
                                           "deng_audiocolordp_btn", "light_audiocolor_layout",
                                           "audiocolorpallet_layout"));

class MissingAudioReadControlTest : public LightPanelTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(MissingAudioReadControlTest, ReadingTheAudioRecordFails) {
  ASSERT_EQ(Panel().SetAudioRecord(kAudio), std::nullopt);
  Remove(GetParam());
  const auto read = Panel().GetAudioRecord(true);
  ASSERT_TRUE(std::holds_alternative<AudioControlError>(read));
  EXPECT_EQ(std::get<AudioControlError>(read).text, "GetAudioLightInfo control is NULL");
}

INSTANTIATE_TEST_SUITE_P(Controls, MissingAudioReadControlTest,
                         ::testing::Values("light_combo_audiomodeSelect", "deng_7audiocolor_check",
                                           "audio_FgColor_check", "audio_BkColor_check", "deng_audiocolordp_btn"));

// A skin without the lighting controls: the accessors do nothing, and the
// panel looks each control up again rather than keep a dangling one.
TEST_F(LightPanelTest, AccessorsOfMissingControlsDoNothing) {
  CLightControlUI& panel = Panel();
  panel.SetDeviceKind(1);
  panel.SetLightRecord({.select_item = 1, .light = 9, .zzcc_led_mode = 1});  // every control found and cached
  for (const std::string_view name :
       {"light_combo_modeSelect", "light_combo_custommodeSelect", "light_combo_ZZCCmodeSelect", "deng_light_slider",
        "deng_speed_slider", "deng_edit_R", "deng_Color_Pallet", "deng_colordp_btn", "color_option_0",
        "deng_7color_check", "deng_FXL_check", "deng_FXR_check", "deng_same_mode", "deng_speed_layout",
        "deng_audioedit_R", "deng_audioColor_Pallet", "audiocolor_option_0", "light_color_tablayout"}) {
    Remove(name);
  }
  panel.SetModeList(std::vector<LightMode>(3, {"mode", true, 0}), 39, 39);
  panel.SetLightRecord({.select_item = 29, .light = 3, .speed = 2, .fx = 1, .multi_color = 1, .red = 7});
  // What is still there follows the mode.
  EXPECT_TRUE(Shown("light_combo_AudiomodeSelectLayout"));
  panel.SelectCustomMode(1);
  panel.SetColourText(Channel::kRed, "12");
  panel.SetColourSwatch(0xFF00FF00);
  panel.SetSameModeAllowed(true);
  panel.ShowSameMode(true);
  EXPECT_EQ(panel.GetMode(), -1);
  EXPECT_EQ(panel.GetCustomMode(), -1);
  EXPECT_EQ(panel.GetSpecialMode(), -1);
  EXPECT_EQ(panel.GetBrightness(), 0);
  EXPECT_EQ(panel.GetSpeed(), 0);
  EXPECT_EQ(panel.GetColourText(Channel::kRed), "");
  EXPECT_EQ(panel.GetPaletteColour(), 0u);
  EXPECT_EQ(panel.GetSwatchColour(0), 0u);
  EXPECT_FALSE(panel.IsSevenColour());
  EXPECT_EQ(panel.GetDirection(), 0);
  EXPECT_EQ(panel.GetAudioColourText(Channel::kRed), "");
  EXPECT_EQ(panel.GetAudioPaletteColour(), 0u);
  EXPECT_EQ(panel.GetAudioSwatchColour(0), 0u);
  EXPECT_TRUE(window.notes.empty()) << ::testing::PrintToString(window.notes);
}

}  // namespace
}  // namespace brontal::testing
