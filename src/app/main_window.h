#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "app/app_messages.h"
#include "app/audio_lighting.h"
#include "app/headset_panel_actions.h"
#include "app/key_assignment_actions.h"
#include "app/lighting_page_actions.h"
#include "app/macro_panel_actions.h"
#include "app/mouse_page_actions.h"
#include "app/notify_routes.h"
#include "app/profile_actions.h"
#include "app/shoot_panel_actions.h"
#include "app/skin_change.h"
#include "app/synchronised_lighting.h"
#include "app/system_page_actions.h"
#include "devices/device_roster.h"
#include "devices/discovery_thread.h"
#include "devices/slot_list.h"
#include "macros/macro_download.h"
#include "ui/toolkit/window.h"

namespace brontal {

class BusEndpoint;
class DeviceControlServer;
class CDeviceOptionUI;
class CSetWnd;
class CSkinFrame;
class DesktopServices;
class InputCapture;
class LocalBus;
namespace sdk {
class SdkService;
}

// The program's main window and controller: builds the skin, owns the slot
// list, the devices and the application's threads, turns the skin's
// notifications into actions and handles the messages of discovery, the
// system and companion programs.
class CMainWnd : public WindowImplBase, public SkinReceiver {
 public:
  static constexpr unsigned kIdleTimer = 1011;
  static constexpr unsigned kTrayMenuTimer = 1032;
  static constexpr unsigned kProfilePickTimer = 1055;
  // A profile picked in the list is taken this long after the pick.
  static constexpr std::chrono::milliseconds kProfilePickDelay{400};
  static constexpr unsigned kAutoApplyTimer = 1056;
  // A key assignment chosen in a combo is sent this long after the choice
  // while the automatic send is on.
  static constexpr std::chrono::milliseconds kAutoApplyDelay{20};

  // Texts of "control_light_status".
  static constexpr std::string_view kHostLightingOnText = "控制灯光";
  static constexpr std::string_view kHostLightingOffText = "不控制灯光";

  CMainWnd(Toolkit& toolkit, const AppMessages& messages, DesktopServices& desktop, const LocalBus& bus);
  ~CMainWnd() override;

  std::string_view GetWindowClassName() const override { return "MainWnd"; }
  void Notify(TNotifyUI& msg) override;
  // A background chosen in the skin frame goes to the control "root".
  int Receive(const SkinChangedParam& param) override;

  // The panels connect here as their steps land; a route without a handler
  // leaves a trace line naming what is not built yet.
  using RouteHandler = std::function<void(const RoutedNotify&, TNotifyUI&)>;
  void SetRouteHandler(Route route, RouteHandler handler);

  // Switches fonts and texts to the language at `index` of "Language.config";
  // nothing when it is the current one or does not exist.
  void ApplyLanguage(int index);
  int language_index() const { return language_index_; }

  // Before Create: the first show goes to the tray instead (or, without a
  // tray, to a minimised window), as when the session starts the program.
  void set_start_minimized(bool minimized) { start_minimized_ = minimized; }

  DeviceRoster& roster() { return roster_; }
  LightingPageActions& lighting_page() { return lighting_page_; }
  SynchronisedLighting& synchronised_lighting() { return synchronised_lighting_; }
  // Other lighting programs' way to the devices; not listening until started.
  sdk::SdkService& sdk_service() { return *sdk_service_; }
  MacroPanelActions& macro_panel() { return macro_panel_; }
  KeyAssignmentActions& key_assignment() { return key_assignment_; }
  AudioLighting& audio_lighting() { return audio_lighting_; }
  // Where a route's work is not built yet: a trace line says what is missing.
  void NotBuilt(std::string_view what, std::string_view detail);
  bool host_lighting() const { return host_lighting_; }
  bool hooks_enabled() const { return hooks_enabled_; }
  bool window_active() const { return window_active_; }
  bool auto_apply() const { return auto_apply_; }
  // The keyboard and mouse capture the panels share, made on first use for
  // the session the program runs in; nullptr when none can be made.
  InputCapture* input_capture();
  // Instead of the session's: tests feed their own.
  void SetInputCapture(std::unique_ptr<InputCapture> capture);
  // Timers of the window's root control (notify::kTimer with the id).
  void ArmWindowTimer(unsigned id, std::chrono::milliseconds period);
  void StopWindowTimer(unsigned id);

  // The device list the test tool asks for: 256 little-endian 32-bit values.
  static std::vector<std::uint8_t> DeviceReportPayload();
  static constexpr std::uintptr_t kDeviceReportKind = 5;
  static constexpr std::string_view kTestToolWindow = "RaziZeze";

 protected:
  std::string GetSkinFile() const override { return "XML_MAIN"; }
  void InitWindow() override;
  LRESULT HandleMessage(const WindowMessage& message, bool& handled) override;

 private:
  void OnWindowInit();
  void OnWindowClick(const RoutedNotify& route, TNotifyUI& msg);
  void OnWindowSelect(const RoutedNotify& route, TNotifyUI& msg);
  void OnWindowTimer(unsigned id);
  void Forward(const RoutedNotify& route, TNotifyUI& msg);
  // The keyboard system page and the mouse pages share their route (and the
  // report rate options); the selected device's family picks the page.
  void OnKeyboardMousePage(const RoutedNotify& route, TNotifyUI& msg);

  // A key of the device picture in the per-key colour mode: the key painted.
  void PaintPictureKey(int key);
  // Every page shows the selected device (or none).
  void ShowSelectedDeviceOnPages();
  // Why a device's keys were not written after its macro download.
  void TellMacroDownload(const MacroDownloadResult& result);
  // "shootdate_save_btn": the four patterns to the selected mouse.
  void SendShootPatterns(const ShootPatterns& patterns);
  // A one-time word to the user (a notice box), traced as well.
  void ShowNotice(const std::string& text);
  void SetHostLighting(bool on);
  void BroadcastHostLighting(bool on);
  void SetWindowActive(bool active);
  void SetDevicesHidden(bool hidden);
  void ShowAbout();
  void OpenSettings();
  void ShowAndRaise();
  void ShowMinimized();
  void SelectNeighbourEntry(int step);
  void SendDeviceReport();
  void Shutdown();

  const AppMessages messages_;
  DesktopServices& desktop_;
  const LocalBus& bus_;
  std::unique_ptr<BusEndpoint> endpoint_;
  std::unique_ptr<DeviceControlServer> control_server_;  // brontalctl's device commands
  std::array<RouteHandler, static_cast<std::size_t>(Route::kIgnored) + 1> handlers_;

  SlotList slots_;
  DeviceRoster roster_;
  AudioLighting audio_lighting_;                  // after the roster: it hands the roster's devices the sound
  SynchronisedLighting synchronised_lighting_;    // after the roster: its thread ends before the devices go
  std::unique_ptr<sdk::SdkService> sdk_service_;  // the same: its clients go before the devices
  DiscoveryThread discovery_;
  ProfileActions profile_actions_;
  LightingPageActions lighting_page_;
  SystemPageActions system_page_;
  MousePageActions mouse_page_;
  HeadsetPanelActions headset_panel_;
  std::unique_ptr<InputCapture> input_capture_;
  KeyAssignmentActions key_assignment_;  // after the capture: it stops its capture when it goes
  MacroPanelActions macro_panel_;        // the same
  ShootPanelActions shoot_panel_;
  std::unique_ptr<CSkinFrame> skin_frame_;  // the last one opened
  CSetWnd* settings_ = nullptr;             // while it runs

  int language_index_ = -1;
  bool host_lighting_ = true;
  bool hooks_enabled_ = true;
  bool window_active_ = false;
  bool auto_apply_ = true;
  bool start_minimized_ = false;
  bool shut_down_ = false;
  std::shared_ptr<const void> notices_alive_ = std::make_shared<int>(0);  // posted notices find the window gone
};

}  // namespace brontal
