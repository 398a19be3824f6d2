#pragma once

#include <cstdint>
#include <vector>

namespace brontal {

using LRESULT = std::intptr_t;

// A message to a window: from the toolkit itself, from the program's threads
// through the message loop, or from another program through the local bus.
struct WindowMessage {
  explicit WindowMessage(std::uint32_t message_id = 0, std::uintptr_t w = 0, std::intptr_t l = 0)
      : id(message_id), wparam(w), lparam(l) {}

  std::uint32_t id = 0;
  std::uintptr_t wparam = 0;
  std::intptr_t lparam = 0;
  // kWmCopyData only: the record's kind and its bytes.
  std::uintptr_t copy_kind = 0;
  std::vector<std::uint8_t> copy_data;
};

// Standard messages the programs handle; the numbers are those of the system
// they came from, so that companion programs can keep using them on the bus.
inline constexpr std::uint32_t kWmDestroy = 0x0002;
inline constexpr std::uint32_t kWmActivate = 0x0006;  // wparam 0: deactivated
inline constexpr std::uint32_t kWmClose = 0x0010;
inline constexpr std::uint32_t kWmCopyData = 0x004A;
inline constexpr std::uint32_t kWmPowerBroadcast = 0x0218;  // wparam kPbtSuspend or kPbtResume
inline constexpr std::uint32_t kWmMouseHover = 0x02A1;
inline constexpr std::uint32_t kWmMouseLeave = 0x02A3;
inline constexpr std::uint32_t kWmDpiChanged = 0x02E0;

inline constexpr std::uintptr_t kPbtSuspend = 4;
inline constexpr std::uintptr_t kPbtResume = 18;

// The programs' own fixed message numbers.
inline constexpr std::uint32_t kMsgTrayIcon = 0x0401;         // lparam: the mouse action on the icon
inline constexpr std::uint32_t kMsgGlobalHook = 0x041E;       // wparam 1 install, 0 release
inline constexpr std::uint32_t kMsgDpiNotice = 0x04C8;
inline constexpr std::uint32_t kMsgShowProgress = 0x0C00;
inline constexpr std::uint32_t kMsgLanguageChanged = 0x0C11;  // wparam: language list index
inline constexpr std::uint32_t kMsgDeviceArrived = 0x0C12;    // wparam: slot index
inline constexpr std::uint32_t kMsgDeviceRemoved = 0x0C13;    // wparam: slot index
inline constexpr std::uint32_t kMsgOpenSettings = 0x0C15;
inline constexpr std::uint32_t kMsgClearSettingsMark = 0x0C16;
inline constexpr std::uint32_t kMsgShowAbout = 0x0C20;         // the tray menu's About item
inline constexpr std::uint32_t kMsgRecordSynced = 0x0D00;     // wparam: record index
inline constexpr std::uint32_t kMsgPowerLevel = 0x0D01;       // wparam: power byte of the status record
inline constexpr std::uint32_t kMsgRefreshDevicePage = 0x0D03;  // wparam: device entry index

// Mouse actions on the tray icon (lparam of kMsgTrayIcon).
inline constexpr std::intptr_t kTrayLeftButtonUp = 0x0202;
inline constexpr std::intptr_t kTrayRightButtonUp = 0x0205;

}  // namespace brontal
