#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace brontal {

// The application's name: the main window's title and bus name, and the name
// of the registered message that asks the running instance to show itself.
inline constexpr std::string_view kApplicationName = "Brontal Driver";

// Companion programs' messages, named by GUID strings.
inline constexpr std::string_view kForwardToSettingsName = "{4695579F-999A-41d4-9FAF-EFFCE93EBF15}";
inline constexpr std::string_view kHostLightingAnnounceName = "{4695579F-999A-41d4-9FAF-EFFCE93EBF16}";
inline constexpr std::string_view kHostLightingRequestName = "{4695579F-999A-41d4-9FAF-EFFCE93EBF17}";
inline constexpr std::string_view kDeviceReportRequestName = "{4695579F-999A-41d4-9FAF-EFFCE93EBF18}";
inline constexpr std::string_view kAudioCaptureCommandName = "{4695579F-999A-41d4-9FAF-EFFCE93EBE19}";

inline constexpr std::array<std::string_view, 10> kKeyboardHookNames = {
    "WM_HOOK_KEY_SINGLEKEY_MSG",        "WM_HOOK_KEY_HITKEY_MSG",          "WM_HOOK_KEY_KBMACRO_MSG",
    "WM_HOOK_KEY_MSMACRO_MSG",          "WM_HOOK_KEY_KBMACROSINGLE_MSG",   "WM_HOOK_KEY_KBMACROPREVIOUS_MSG",
    "WM_HOOK_KEY_KBMACROLATER_MSG",     "WM_HOOK_KEY_MSMACROSINGLE_MSG",   "WM_HOOK_KEY_MSMACROPREVIOUS_MSG",
    "WM_HOOK_KEY_MSMACROLATER_MSG"};
inline constexpr std::array<std::string_view, 4> kMouseHookNames = {
    "WM_HOOK_MOU_SINGLEKEY_MSG", "WM_HOOK_MOU_HITKEY_MSG", "WM_HOOK_MOU_KBMACRO_MSG", "WM_HOOK_MOU_MSMACRO_MSG"};
inline constexpr std::array<std::string_view, 5> kPointerNames = {
    "UWM_MOUSEMOVE_USER_MSG", "UWM_MOUSELBUTTONDOWN_USER_MSG", "UWM_MOUSELBUTTONUP_USER_MSG",
    "UWM_MOUSERBUTTONDOWN_USER_MSG", "UWM_MOUSERBUTTONUP_USER_MSG"};
inline constexpr std::array<std::string_view, 4> kGameEventNames = {"Game_Start", "Game_End", "Game_Kill", "Game_Death"};

// The numbers this process gave the names above.
struct AppMessages {
  std::uint32_t application;
  std::uint32_t forward_to_settings;
  std::uint32_t host_lighting_announce;
  std::uint32_t host_lighting_request;
  std::uint32_t device_report_request;
  std::uint32_t audio_capture_command;

  // Registers every name (the same name gives the same number everywhere).
  static AppMessages Register();
  // One of the hook, pointer or game names, or empty.
  static std::string_view HookNameOf(std::uint32_t message);
  // The numbers of every hook, pointer and game name.
  static std::vector<std::uint32_t> HookMessages();
};

}  // namespace brontal
