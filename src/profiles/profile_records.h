#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "devices/key_action_tables.h"

// The fixed records a profile's settings decode into. Members that the
// profile document names are noted beside the fields.
namespace brontal {

// "LightInfo", all families.
struct LightSetting {
  std::uint8_t select_item = 0;  // "SelectItem": mode index into the model's mode list
  std::uint8_t light = 0;        // "Light": brightness level 0..4
  std::uint8_t speed = 0;        // "Speed": 0..4
  std::uint8_t fx = 0;           // "Fx": direction option
  std::uint8_t multi_color = 0;  // "MultiColor": 0 or 1
  std::uint8_t red = 0;          // "Red"
  std::uint8_t green = 0;        // "Green"
  std::uint8_t blue = 0;         // "Blue"
  std::array<std::uint8_t, 3> working{};  // the device's own, never stored
  std::uint8_t zzcc_led_mode = 0;  // "ZZCCLedMode": special mode
  std::uint8_t custom_group = 0;   // "CustomGroup"
  std::uint8_t old_led_mode = 0;   // "OldLedmode": the mode a game event returns to
  bool operator==(const LightSetting&) const = default;
};
static_assert(sizeof(LightSetting) == 14);

// "AudioLightInfo", keyboard.
struct AudioLightSetting {
  std::uint8_t audio_mode = 0;  // "AudioMode"
  std::uint8_t bk_red = 0;      // "BkColorR"
  std::uint8_t bk_green = 0;    // "BkColorG"
  std::uint8_t bk_blue = 0;     // "BkColorB"
  std::uint8_t fg_red = 0;      // "FgColorR"
  std::uint8_t fg_green = 0;    // "FgColorG"
  std::uint8_t fg_blue = 0;     // "FgColorB"
  std::uint8_t seven_color = 0;  // "7ColorFlags", 0 or 1
  std::uint8_t color_type = 0;   // "ColorTypeFlags", 0 or 1: 1 while the foreground colour is edited
  bool operator==(const AudioLightSetting&) const = default;
};
static_assert(sizeof(AudioLightSetting) == 9);

// One element of "LightList": a light's own effect.
struct LedEffect {
  std::uint8_t mode = 0;         // "LEDREGMode"
  std::uint8_t brightness = 0;   // "LEDBrightness"
  std::uint8_t speed = 0;        // "LEDSpeed"
  std::uint8_t direction = 0;    // "LEDDirection", 0 or 1
  std::uint8_t multi_color = 0;  // "LEDMultiColor", 0 or 1
  std::uint8_t red = 0;          // "red"
  std::uint8_t green = 0;        // "green"
  std::uint8_t blue = 0;         // "blue"
  std::array<std::uint8_t, 2> unused{};
  std::uint8_t present = 0;  // 1 when the element was an object
  bool operator==(const LedEffect&) const = default;
};
static_assert(sizeof(LedEffect) == 11);

// One element of "LEDEffectList" in a custom effect's step file.
struct LightStep {
  std::uint8_t mode = 0;         // "LEDREGMode"
  std::uint8_t brightness = 0;   // "LEDBrightness"
  std::uint8_t speed = 0;        // "LEDSpeed"
  std::uint8_t direction = 0;    // "LEDDirection"
  std::uint8_t multi_color = 0;  // "LEDMultiColor"
  std::uint8_t red = 0;          // "red"
  std::uint8_t green = 0;        // "green"
  std::uint8_t blue = 0;         // "blue"
  std::array<std::uint8_t, 8> unused{};
  std::int32_t time = 0;   // "Time"
  std::int32_t cycle = 0;  // "Cyle"
  bool operator==(const LightStep&) const = default;
};
static_assert(sizeof(LightStep) == 24);

// One element of "KeyList" or "KeyFnList".
struct KeyAssignment {
  std::uint16_t key_index = 0;
  KeyAction assignment{};  // "Assignment", packed in 24 bits
  std::uint8_t spare = 0;
  std::uint16_t default_key_index = 0;
  KeyAction default_action{};  // "DefaultAssignment"
  std::uint8_t default_spare = 0;
  bool operator==(const KeyAssignment&) const = default;
};
static_assert(sizeof(KeyAssignment) == 12);

// "SystemStages", keyboard.
struct KeyboardSystem {
  std::uint16_t repeat = 0;        // "Repeat"
  std::uint16_t repeat_delay = 0;  // "RepeatDelay"
  std::uint16_t key6_flag = 0;     // "Key6Flag"
  std::uint16_t polling_rate = 0;  // "PollingRate": option 0..3
  std::uint16_t w_flag = 0;        // "WFlag"
  std::uint16_t win_flag = 0;      // "WinFlag"
  std::uint16_t os_mode = 0;       // "OSMode"
  bool operator==(const KeyboardSystem&) const = default;
};

// An element of "CustomLightMode"."LightColorInfo"[group].
struct CustomColour {
  std::uint8_t red = 0;    // "Red"
  std::uint8_t green = 0;  // "Green"
  std::uint8_t blue = 0;   // "Blue"
  std::uint8_t alpha = 0;  // "Alpha"
  bool operator==(const CustomColour&) const = default;
};
static_assert(sizeof(CustomColour) == 4);

// "SystemStages" of the mouse with "ReportStages"."StageActive".
struct MouseSystem {
  std::uint16_t double_click_time = 0;   // "DoubleClickTime"
  std::uint16_t mouse_speed = 0;         // "MouseSpeed"
  std::uint16_t pointer_precision = 0;   // "PointerPrecision"
  std::uint16_t scroll_page = 0;         // "ScorllPage"
  std::uint16_t wheel_scroll_lines = 0;  // "WheelScorlllinse"
  std::uint16_t report_rate = 0;         // "ReportStages"."StageActive": option 0..4
  bool operator==(const MouseSystem&) const = default;
};

// An element of "DPIStages"."StageDPIs". The DPI fields hold stage values of
// the sensor's scale, not DPI numbers.
struct DpiStage {
  std::uint8_t enabled = 0;      // "StageActive"
  std::uint8_t separate_xy = 0;  // "StageXY"
  std::uint16_t dpi_x = 0;       // "StageDPIX"
  std::uint16_t dpi_y = 0;       // "StageDPIY"
  std::uint8_t red = 0;          // "StageColorR"
  std::uint8_t green = 0;        // "StageColorG"
  std::uint8_t blue = 0;         // "StageColorB"
  bool operator==(const DpiStage&) const = default;
};

// An element of "CorrectInfo": one surface the mouse sensor can be tuned for.
struct SurfaceCorrection {
  std::uint8_t pix_thresh = 0;  // "CorrectPixThresh"
  std::uint8_t min_sq = 0;      // "CorrectMinSq"
  std::uint8_t select = 0;      // "CorrectSelect": non-zero on the chosen surface
  std::string name;             // "CorrectName", UTF-8
  bool operator==(const SurfaceCorrection&) const = default;
};

// "SystemSetStages", headset.
struct HeadsetSystem {
  std::int32_t magic_enable = 0;        // "MagicEnable": voice changer on
  std::int32_t magic_type = 0;          // "MagicType": voice effect 1..4
  std::int32_t eq_type = 0;             // "EqType": equaliser option 1..13, 0 none
  std::int32_t custom_eq_select = 0;    // "CustomEqSeletIndex"
  std::int32_t mic_in_select = 0;       // "MicInSelect": 1 when not muted
  std::int32_t mic_in_value = 0;        // "MicInValue": 0..100
  std::int32_t mic_monitor_select = 0;  // "MicMoniterSelect"
  std::int32_t mic_monitor_value = 0;   // "MicMoniterValue"
  bool operator==(const HeadsetSystem&) const = default;
};

// The ten band values of an equaliser curve, band 1 first.
inline constexpr std::size_t kEqBandCount = 10;
using EqBands = std::array<std::int32_t, kEqBandCount>;

}  // namespace brontal
