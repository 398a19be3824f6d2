#include "app/notify_routes.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "support/ascii_text.h"

namespace brontal {
namespace {

enum class Match { kExact, kExactCaseSensitive, kPrefix };

struct Entry {
  std::string_view type;
  std::string_view name;
  Match match;
  Route route;
};

using R = Route;
constexpr Match kE = Match::kExact;
constexpr Match kC = Match::kExactCaseSensitive;
constexpr Match kP = Match::kPrefix;

// Exact names are tried before prefixes; prefixes in the order given.
constexpr Entry kTable[] = {
    // Clicks handled by the window.
    {"click", "closebtn", kE, R::kWindow},
    {"click", "nodevice_ok_btn", kE, R::kWindow},
    {"click", "control_light_status", kE, R::kWindow},
    {"click", "minbtn", kE, R::kWindow},
    {"click", "maxbtn", kE, R::kWindow},
    {"click", "restorebtn", kE, R::kWindow},
    {"click", "skinbtn", kE, R::kWindow},
    {"click", "setbtn", kE, R::kWindow},
    {"click", "default_btn", kE, R::kKeyboardMousePage},
    {"click", "reset_repeat_btn", kE, R::kKeyboardMousePage},
    {"click", "device_select_prev", kE, R::kWindow},
    {"click", "device_select_next", kE, R::kWindow},
    {"click", "main_shopping_btn", kE, R::kWindow},
    {"click", "main_url_btn", kE, R::kWindow},
    {"click", "main_reset_btn", kE, R::kProfilePanel},
    {"click", "main_auto_application_checkbox", kE, R::kWindow},
    {"click", "main_btn_ok", kE, R::kKeyAssignment},
    {"click", "Close_bkColor_btn", kE, R::kLightingPage},
    {"click", "music_setting_btn", kE, R::kWindow},
    // Clicks by prefix.
    {"click", "key_", kP, R::kKeyAssignment},
    {"click", "color_option_", kP, R::kLightingPage},
    {"click", "audiocolor_option_", kP, R::kLightingPage},
    {"click", "windowdeviceset_", kP, R::kWindow},
    {"click", "DPI_color_option_", kP, R::kKeyboardMousePage},
    // Clicks forwarded to the panels.
    {"click", "device_add_btn", kE, R::kProfilePanel},
    {"click", "device_sub_btn", kE, R::kProfilePanel},
    {"click", "device_export_btn", kE, R::kProfilePanel},
    {"click", "device_import_btn", kE, R::kProfilePanel},
    {"click", "device_copy_btn", kE, R::kProfilePanel},
    {"click", "device_reset_btn", kE, R::kProfilePanel},
    {"click", "device_profile_edit_save_btn", kE, R::kProfilePanel},
    {"click", "profile_fun_spread_btn", kC, R::kProfilePanel},
    {"click", "key_butt_keysave", kE, R::kKeyAssignment},
    {"click", "key_butt_keydefalut", kE, R::kKeyAssignment},
    {"click", "key_butt_keycancel", kE, R::kKeyAssignment},
    {"click", "key_butt_prosave", kE, R::kKeyAssignment},
    {"click", "macro_btn_starredio", kE, R::kMacroPanel},
    {"click", "macro_btn_stopredio", kE, R::kMacroPanel},
    {"click", "macro_btn_name_add", kE, R::kMacroPanel},
    {"click", "macro_btn_name_sub", kE, R::kMacroPanel},
    {"click", "macro_btn_name_edit", kE, R::kMacroPanel},
    {"click", "macro_btn_save", kE, R::kMacroPanel},
    {"click", "macro_btn_cancel", kE, R::kMacroPanel},
    {"click", "macro_btn_export", kE, R::kMacroPanel},
    {"click", "macro_btn_import", kE, R::kMacroPanel},
    {"click", "macro_btn_up", kE, R::kMacroPanel},
    {"click", "macro_btn_down", kE, R::kMacroPanel},
    {"click", "macro_btn_uptop", kE, R::kMacroPanel},
    {"click", "macro_btn_downbottom", kE, R::kMacroPanel},
    {"click", "macro_btn_delete", kE, R::kMacroPanel},
    {"click", "macro_btn_deleteall", kE, R::kMacroPanel},
    {"click", "macro_inset_moveleftkey_btn", kC, R::kMacroPanel},
    {"click", "macro_inset_moverightkey_btn", kC, R::kMacroPanel},
    {"click", "macro_inset_moveupkey_btn", kC, R::kMacroPanel},
    {"click", "macro_inset_movedownkey_btn", kC, R::kMacroPanel},
    {"click", "shootdate_save_btn", kE, R::kShootPanel},
    {"click", "shootdate_reset_btn", kE, R::kShootPanel},
    {"click", "shootdate_import_btn", kE, R::kShootPanel},
    {"click", "shootdate_export_btn", kE, R::kShootPanel},
    {"click", "bullet_selected_prev", kE, R::kShootPanel},
    {"click", "bullet_selected_next", kE, R::kShootPanel},
    {"click", "custom_bright_color_btn", kE, R::kLightingPage},
    {"click", "custom_off_color_btn", kE, R::kLightingPage},
    {"click", "deng_same_mode", kE, R::kLightingPage},
    // The current colour's swatches open the colour picker.
    {"click", "deng_colordp_btn", kE, R::kLightingPage},
    {"click", "deng_audiocolordp_btn", kE, R::kLightingPage},
    {"click", "hs_EQ_btn_save", kE, R::kHeadsetPanel},
    {"click", "hs_EQ_btn_delete", kE, R::kHeadsetPanel},

    // Selection changes.
    {"selectchanged", "DPI_enable_check_", kP, R::kKeyboardMousePage},
    {"selectchanged", "DPI_select_check_", kP, R::kKeyboardMousePage},
    {"selectchanged", "polling_rate_option_", kP, R::kKeyboardMousePage},
    {"selectchanged", "repeat_delay_check_", kP, R::kKeyboardMousePage},
    {"selectchanged", "Layer_", kP, R::kKeyboardMousePage},
    {"selectchanged", "mouse_device_seting_option_", kP, R::kKeyboardMousePage},
    {"selectchanged", "shoot_gun_op_", kP, R::kShootPanel},
    {"selectchanged", "bullet_op_", kP, R::kShootPanel},
    {"selectchanged", "magic_option_", kP, R::kMagicPanel},
    {"selectchanged", "6533_eq_option_", kP, R::kHeadsetPanel},
    {"selectchanged", "key_ComBox_check_", kP, R::kKeyAssignment},
    {"selectchanged", "pointer_precision_check", kE, R::kKeyboardMousePage},
    {"selectchanged", "scrolls_page_check", kE, R::kKeyboardMousePage},
    {"selectchanged", "winlockflag_option", kE, R::kKeyboardMousePage},
    {"selectchanged", "wflag_option", kE, R::kKeyboardMousePage},
    {"selectchanged", "6flag_option", kE, R::kKeyboardMousePage},
    {"selectchanged", "synchro_device_select", kE, R::kWindow},
    {"selectchanged", "device_select", kE, R::kWindow},
    {"selectchanged", "IQ_Layer", kE, R::kKeyAssignment},
    {"selectchanged", "deng_Op_tab", kE, R::kLightingPage},
    {"selectchanged", "key_Op_tab", kE, R::kKeyAssignment},
    {"selectchanged", "macro_Op_tab", kE, R::kMacroPanel},
    {"selectchanged", "system_Op_tab", kE, R::kKeyboardMousePage},
    {"selectchanged", "cursor_Op_tab", kE, R::kKeyboardMousePage},
    {"selectchanged", "6533_voice_Op_tab", kE, R::kHeadsetPanel},
    {"selectchanged", "magic_Op_tab", kE, R::kMagicPanel},
    {"selectchanged", "Virtual7.1_Op_tab", kE, R::kHeadsetPanel},
    {"selectchanged", "key_set_FN_tier", kE, R::kKeyAssignment},
    {"selectchanged", "deng_FXL_check", kE, R::kLightingPage},
    {"selectchanged", "deng_FXR_check", kE, R::kLightingPage},
    {"selectchanged", "deng_7color_check", kE, R::kLightingPage},
    {"selectchanged", "bullet_x_check", kE, R::kShootPanel},
    {"selectchanged", "bullet_y_check", kE, R::kShootPanel},
    {"selectchanged", "magic_enable_option", kE, R::kMagicPanel},
    {"selectchanged", "6533_MicIn_option", kE, R::kHeadsetPanel},
    {"selectchanged", "6533_MicMoniter_option", kE, R::kHeadsetPanel},
    {"selectchanged", "deng_7audiocolor_check", kE, R::kLightingPage},
    {"selectchanged", "audio_FgColor_check", kE, R::kLightingPage},
    {"selectchanged", "audio_BkColor_check", kE, R::kLightingPage},

    // Sliders released.
    {"valuechanged", "DPI_slider_", kP, R::kKeyboardMousePage},
    {"valuechanged", "6533_eq_hz_slider_", kP, R::kHeadsetPanel},
    {"valuechanged", "pointer_speed_slider", kE, R::kKeyboardMousePage},
    {"valuechanged", "scroll_speed_slider", kE, R::kKeyboardMousePage},
    {"valuechanged", "double_click_slider", kE, R::kKeyboardMousePage},
    {"valuechanged", "repeat_rate_slider", kE, R::kKeyboardMousePage},
    {"valuechanged", "deng_light_slider", kE, R::kLightingPage},
    {"valuechanged", "deng_speed_slider", kE, R::kLightingPage},
    {"valuechanged", "6533_MicIn_slider", kE, R::kHeadsetPanel},
    {"valuechanged", "6533_MicMoniter_slider", kE, R::kHeadsetPanel},
    {"valuechanged", "R_light_slider", kE, R::kWindow},
    {"valuechanged", "G_light_slider", kE, R::kWindow},
    {"valuechanged", "B_light_slider", kE, R::kWindow},

    // Live DPI sliders and their edits.
    {"movevaluechanged", "drumo_DPI_slider_", kP, R::kKeyboardMousePage},
    {"movevaluechanged", "DPI_slider_", kP, R::kKeyboardMousePage},
    {"movevaluechanged", "drumo_DPI_edit_", kP, R::kKeyboardMousePage},
    {"movevaluechanged", "DPI_edit_", kP, R::kKeyboardMousePage},
    // The equaliser follows a band while it is dragged.
    {"movevaluechanged", "6533_eq_hz_slider_", kP, R::kHeadsetPanel},

    // Combo items.
    {"itemselect", "device_profile_combo", kE, R::kWindow},
    {"itemselect", "light_combo_modeSelect", kE, R::kLightingPage},
    {"itemselect", "surface_correction_combo", kE, R::kKeyboardMousePage},
    {"itemselect", "light_combo_custommodeSelect", kE, R::kLightingPage},
    {"itemselect", "light_combo_ZZCCmodeSelect", kE, R::kLightingPage},
    {"itemselect", "light_combo_audiomodeSelect", kE, R::kLightingPage},
    {"itemselect", "keyset_function_combo", kE, R::kKeyAssignment},
    {"itemselect", "keyset_macro_over_combo", kE, R::kKeyAssignment},
    {"itemselect", "macro_name_list", kE, R::kMacroPanel},
    {"itemselect", "custom_eq_name_combo", kE, R::kHeadsetPanel},
    {"itemselect", "keyset_long_IQLayer_combo", kE, R::kKeyAssignment},
    {"itemselect", "keyset_combination_IQLayer_combo", kE, R::kKeyAssignment},
    {"itemselect", "keyset_mousekey_combo", kE, R::kKeyAssignment},
    {"itemselect", "keyset_mouseswing_combo", kE, R::kKeyAssignment},
    {"itemselect", "keyset_mousewheel_combo", kE, R::kKeyAssignment},
    {"itemselect", "keyset_mousedpi_combo", kE, R::kKeyAssignment},
    {"itemselect", "keyset_media_combo", kE, R::kKeyAssignment},
    {"itemselect", "keyset_system_combo", kE, R::kKeyAssignment},
    {"itemselect", "keyset_macro_combo", kE, R::kKeyAssignment},
    {"itemselect", "keyset_gunkey_combo", kE, R::kKeyAssignment},
    {"itemselect", "keyset_combokey_combo", kE, R::kKeyAssignment},
    {"itemselect", "keyset_special_combo", kE, R::kKeyAssignment},
    {"itemselect", "keyset_deng_combo", kE, R::kKeyAssignment},
    {"itemselect", "keyset_mouse_button_combo", kE, R::kKeyAssignment},

    // Edits committed.
    {"killfocus", "drumo_DPI_edit_", kP, R::kKeyboardMousePage},
    {"killfocus", "DPI_edit_", kP, R::kKeyboardMousePage},
    {"killfocus", "deng_edit_R", kE, R::kLightingPage},
    {"killfocus", "deng_edit_G", kE, R::kLightingPage},
    {"killfocus", "deng_edit_B", kE, R::kLightingPage},
    {"killfocus", "deng_audioedit_R", kE, R::kLightingPage},
    {"killfocus", "deng_audioedit_G", kE, R::kLightingPage},
    {"killfocus", "deng_audioedit_B", kE, R::kLightingPage},
    {"killfocus", "keyset_keyboard_text_edit", kE, R::kKeyAssignment},
    {"killfocus", "bullet_x_eidt", kE, R::kShootPanel},
    {"killfocus", "bullet_y_eidt", kE, R::kShootPanel},
    {"killfocus", "bullet_delay_eidt", kE, R::kShootPanel},
    {"killfocus", "macro_delay", kE, R::kMacroPanel},
    {"killfocus", "keyset_mouseswing_num_edit", kE, R::kKeyAssignment},
    {"killfocus", "keyset_mouseswing_delay_edit", kE, R::kKeyAssignment},
    {"killfocus", "keyset_mouseswing_speed_edit", kE, R::kKeyAssignment},
    {"killfocus", "keyset_mousewheel_num_edit", kE, R::kKeyAssignment},
    {"killfocus", "keyset_mousewheel_delay_edit", kE, R::kKeyAssignment},
    {"killfocus", "keyset_mousewheel_speed_edit", kE, R::kKeyAssignment},
    {"killfocus", "keyset_mousefire_interval_edit", kE, R::kKeyAssignment},
    {"killfocus", "keyset_mousefire_num_edit", kE, R::kKeyAssignment},
    {"killfocus", "keyset_macro_cycle_edit", kE, R::kKeyAssignment},

    // The key field, which captures keys while it has the focus.
    {"setfocus", "keyset_keyboard_text_edit", kE, R::kKeyAssignment},
};

// A prefix counts only with a decimal number after it: "key_butt_keysave" is
// not key button 0.
bool PrefixIndex(std::string_view name, std::string_view prefix, int& index) {
  if (name.size() <= prefix.size() || !EqualIgnoringAsciiCase(name.substr(0, prefix.size()), prefix)) return false;
  const std::string_view digits = name.substr(prefix.size());
  const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), index);
  return ec == std::errc{} && end == digits.data() + digits.size() && index >= 0;
}

}  // namespace

const char* RouteName(Route route) {
  switch (route) {
    case Route::kNone: return "none";
    case Route::kWindow: return "window";
    case Route::kKeyAssignment: return "key assignment";
    case Route::kMacroPanel: return "macro panel";
    case Route::kShootPanel: return "shoot panel";
    case Route::kMagicPanel: return "magic panel";
    case Route::kProfilePanel: return "profile panel";
    case Route::kLightingPage: return "lighting page";
    case Route::kHeadsetPanel: return "headset panel";
    case Route::kKeyboardMousePage: return "keyboard and mouse pages";
    case Route::kKeyPicture: return "key picture";
    case Route::kPanelList: return "panel lists";
    case Route::kIgnored: return "ignored";
  }
  return "";
}

RoutedNotify RouteNotification(std::string_view type, std::string_view sender) {
  if (type == "msleave" || type == "msenter")
    return {sender.starts_with("drumoms_key_") ? Route::kKeyPicture : Route::kNone, std::string(sender)};
  if (type == "itemclick" || type == "textchanged") return {Route::kPanelList, std::string(sender)};
  if (type == "colorchanged") return {Route::kLightingPage, std::string(sender)};
  if (type == "click_select_end") return {Route::kLightingPage, std::string(sender)};
  if (type == "click_wpremove" || type == "click_wpadd" || type == "click_wpedit" || type == "click_wpselect")
    return {Route::kIgnored, std::string(sender)};
  if (type == "windowinit" || type == "windowsize") return {Route::kWindow, std::string(sender)};

  for (const Entry& e : kTable) {
    if (e.type != type || e.match == Match::kPrefix) continue;
    const bool same = e.match == Match::kExactCaseSensitive ? e.name == sender : EqualIgnoringAsciiCase(e.name, sender);
    if (same) return {e.route, std::string(e.name)};
  }
  for (const Entry& e : kTable) {
    int index = -1;
    if (e.type == type && e.match == Match::kPrefix && PrefixIndex(sender, e.name, index))
      return {e.route, std::string(e.name), index};
  }
  return {Route::kNone, std::string(sender)};
}

}  // namespace brontal
