#pragma once

#include <optional>
#include <string_view>

namespace brontal {

// What a lighting mode of a device kind makes of the lighting panel's groups.
// The mode numbers mean what the device makes of them; these tables are the
// panel's only knowledge of them.
struct LightModeLayout {
  // Resource-text ids of the two direction options, "deng_FXL_check" first.
  struct DirectionTexts {
    std::string_view left;
    std::string_view right;
  };

  // Enabled or disabled for every mode.
  bool seven_colour = false;  // "deng_7color_check"
  bool colour = false;        // "deng_color_layout"
  bool palette = false;       // "colorpallet_layout"
  bool brightness = false;    // "deng_light_layout"
  bool speed = false;         // "deng_speed_layout"
  // The rest only where the kind governs it; nullopt leaves the panel as it is.
  std::optional<bool> direction{};            // "deng_fx_layout" enabled
  std::optional<bool> speed_shown{};          // "deng_speed_layout"
  std::optional<bool> special_list_shown{};   // "light_combo_ZZCCmodeSelectLayout"
  std::optional<bool> colour_area_enabled{};  // "light_color_layout"
  std::optional<bool> custom_shown{};         // "lightcustom_layout"
  // "light_combo_AudiomodeSelectLayout", and the audio page (1) of
  // "light_color_tablayout" instead of the colour page (0).
  std::optional<bool> audio_shown{};
  std::optional<DirectionTexts> texts{};
};

// nullopt for a kind whose panel does not follow its modes (6, or a kind
// outside 1..7). Any mode a kind's table does not list disables everything.
std::optional<LightModeLayout> LightModeLayoutFor(int kind, int mode);

// The layout before any mode: every group enabled and governed, the colour
// page and the keyboard's direction texts.
LightModeLayout RestingLightModeLayout();

}  // namespace brontal
