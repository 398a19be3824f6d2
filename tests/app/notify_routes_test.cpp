#include "app/notify_routes.h"

#include <gtest/gtest.h>

namespace brontal {
namespace {

TEST(NotifyRoutes, NamesPrefixesAndCase) {
  struct Case {
    const char* type;
    const char* sender;
    Route route;
    const char* name;
    int index;
  };
  const Case cases[] = {
      {"click", "closebtn", Route::kWindow, "closebtn", -1},
      {"click", "CLOSEBTN", Route::kWindow, "closebtn", -1},  // names compare without case
      {"click", "key_12", Route::kKeyAssignment, "key_", 12},
      {"click", "KEY_7", Route::kKeyAssignment, "key_", 7},
      // Not key button 0: the panel's own buttons share the prefix.
      {"click", "key_butt_keysave", Route::kKeyAssignment, "key_butt_keysave", -1},
      {"click", "key_", Route::kNone, "key_", -1},
      {"click", "key_1x", Route::kNone, "key_1x", -1},
      {"click", "color_option_3", Route::kLightingPage, "color_option_", 3},
      {"click", "audiocolor_option_0", Route::kLightingPage, "audiocolor_option_", 0},
      {"click", "windowdeviceset_1", Route::kWindow, "windowdeviceset_", 1},
      {"click", "DPI_color_option_4", Route::kKeyboardMousePage, "DPI_color_option_", 4},
      {"click", "profile_fun_spread_btn", Route::kProfilePanel, "profile_fun_spread_btn", -1},
      {"click", "PROFILE_FUN_SPREAD_BTN", Route::kNone, "PROFILE_FUN_SPREAD_BTN", -1},  // case-sensitive entry
      {"click", "macro_inset_moveupkey_btn", Route::kMacroPanel, "macro_inset_moveupkey_btn", -1},
      {"click", "nobody_knows_me", Route::kNone, "nobody_knows_me", -1},
      {"selectchanged", "device_select", Route::kWindow, "device_select", -1},
      {"selectchanged", "Layer_2", Route::kKeyboardMousePage, "Layer_", 2},
      {"selectchanged", "6533_eq_option_5", Route::kHeadsetPanel, "6533_eq_option_", 5},
      {"selectchanged", "closebtn", Route::kNone, "closebtn", -1},  // tables are per type
      {"valuechanged", "DPI_slider_3", Route::kKeyboardMousePage, "DPI_slider_", 3},
      {"valuechanged", "R_light_slider", Route::kWindow, "R_light_slider", -1},
      {"movevaluechanged", "drumo_DPI_edit_1", Route::kKeyboardMousePage, "drumo_DPI_edit_", 1},
      {"itemselect", "device_profile_combo", Route::kWindow, "device_profile_combo", -1},
      {"killfocus", "DPI_edit_0", Route::kKeyboardMousePage, "DPI_edit_", 0},
      {"killfocus", "bullet_x_eidt", Route::kShootPanel, "bullet_x_eidt", -1},
      {"msenter", "drumoms_key_3", Route::kKeyPicture, "drumoms_key_3", -1},
      {"msenter", "other", Route::kNone, "other", -1},
      {"click_wpadd", "x", Route::kIgnored, "x", -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.type) + " " + c.sender);
    const RoutedNotify r = RouteNotification(c.type, c.sender);
    EXPECT_EQ(r.route, c.route) << RouteName(r.route);
    EXPECT_EQ(r.name, c.name);
    EXPECT_EQ(r.index, c.index);
  }
}

}  // namespace
}  // namespace brontal
