#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brontal {

class CControlUI;

// A notification from a control to its window and the notify pumps.
struct TNotifyUI {
  std::string type;
  CControlUI* sender = nullptr;
  std::uintptr_t wparam = 0;
  std::intptr_t lparam = 0;
};

// Receives notifications; see CPaintManagerUI::AddNotifyPump.
class CNotifyPump {
 public:
  virtual ~CNotifyPump() = default;
  virtual void Notify(TNotifyUI& msg) = 0;
};

// Notification types the toolkit itself sends.
namespace notify {
inline constexpr std::string_view kWindowInit = "windowinit";
inline constexpr std::string_view kWindowSize = "windowsize";
inline constexpr std::string_view kClick = "click";
inline constexpr std::string_view kSelectChanged = "selectchanged";  // option or check box
inline constexpr std::string_view kValueChanged = "valuechanged";    // slider released
inline constexpr std::string_view kMoveValueChanged = "movevaluechanged";  // slider dragged
inline constexpr std::string_view kItemSelect = "itemselect";  // wparam new index, lparam old index
inline constexpr std::string_view kItemClick = "itemclick";    // sender: the list's row
inline constexpr std::string_view kTextChanged = "textchanged";
inline constexpr std::string_view kKillFocus = "killfocus";
inline constexpr std::string_view kTimer = "timer";  // wparam: the timer's id
}  // namespace notify

}  // namespace brontal
