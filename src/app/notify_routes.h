#pragma once

#include <string>
#include <string_view>

namespace brontal {

// Where a notification of the main window's skin is handled.
enum class Route {
  kNone,               // in no table: only traced
  kWindow,             // the main window itself
  kKeyAssignment,      // key assignment panel (key buttons, key combos and edits, layers)
  kMacroPanel,
  kShootPanel,
  kMagicPanel,
  kProfilePanel,
  kLightingPage,
  kHeadsetPanel,
  kKeyboardMousePage,  // keyboard system page and the mouse pages
  kKeyPicture,         // pointer entering or leaving a key of the device picture
  kPanelList,          // list and text controls of the panels
  kIgnored,            // notifications that are known and do nothing
};
const char* RouteName(Route route);

struct RoutedNotify {
  Route route = Route::kNone;
  std::string name;  // the control's name as it appears in the table
  int index = -1;    // the number after a prefix
};

// Looks a notification up in the dispatch tables: exact names first (without
// regard to case unless the table says otherwise), then prefixes in table
// order, which match only when a decimal number follows them.
RoutedNotify RouteNotification(std::string_view type, std::string_view sender);

}  // namespace brontal
