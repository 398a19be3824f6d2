#include "app/main_window.h"

#include <algorithm>
#include <cstdio>

#include "app/bus/bus_endpoint.h"
#include "app/bus/local_bus.h"
#include "app/desktop_services.h"
#include "app/set_wnd.h"
#include "app/skin_frame.h"
#include "app/sync_request.h"
#include "app/web_pages.h"
#include "control/audio_styles_command.h"
#include "control/control_socket.h"
#include "control/device_commands.h"
#include "control/sync_command.h"
#include "devices/corvane_usb_device.h"
#include "devices/device_option_ui.h"
#include "devices/device_tables.h"
#include "devices/keyboard/corvane_keyboard_device.h"
#include "devices/mouse/corvane_mouse_device.h"
#include "input_capture/capture_choice.h"
#include "macros/macro_download.h"
#include "macros/shoot_image.h"
#include "profiles/data_folders.h"
#include "profiles/language_settings.h"
#include "profiles/skin_image_setting.h"
#include "sdk_server/sdk_service.h"
#include "support/debug_log.h"
#include "ui/controls/device_profile_ui.h"
#include "ui/controls/light_control_ui.h"
#include "ui/toolkit/option.h"
#include "ui/toolkit/paint_manager.h"
#include "ui/toolkit/slider.h"
#include "ui/toolkit/toolkit.h"
#include "ui/windows/about_wnd.h"
#include "ui/windows/msg_wnd.h"
#include "update/attached_products.h"

namespace brontal {
namespace {

constexpr std::chrono::milliseconds kIdlePeriod{100};
constexpr std::chrono::milliseconds kTrayMenuDelay{10};
constexpr std::chrono::milliseconds kDeviceReportLimit{1000};

// The version the test tool is told, byte by byte.
constexpr std::array<std::uint32_t, 4> kReportedVersion = {2, 3, 0, 2};
constexpr std::size_t kDeviceReportBytes = 1024;

// The fonts a language needs: nothing when the current ones serve.
std::optional<std::string> FontFaceFor(int new_index, int current_index) {
  switch (new_index) {
    case 15: return "Noto Sans Thai";
    case 0: return "汉仪菱心体简";
    case 2: return "Noto Sans CJK TC Regular";
    default: break;
  }
  if (current_index == 15 || current_index == 2 || current_index == 0 || current_index == -1)
    return "Verdana Unicode MS";
  return std::nullopt;
}

void ReplaceFonts(CPaintManagerUI& manager, const std::string& face) {
  struct Size {
    int id, size;
    bool underline = false, bold = false;
  };
  constexpr Size kSizes[] = {
      {0, 15},  {1, 14, true},        {2, 18}, {3, 30}, {4, 16}, {5, 20}, {6, 22}, {7, 14}, {8, 12}, {9, 11}, {10, 10},
      {11, 28}, {50, 18, false, true}};
  manager.RemoveAllFonts(true);
  manager.RemoveAllFonts(false);
  for (const Size& s : kSizes) {
    const FontSpec font{face, s.size, s.bold, s.underline, false};
    manager.AddFont(s.id, font, true);
    if (s.id == 0) manager.SetDefaultFont(font, true);
  }
}

}  // namespace

CMainWnd::CMainWnd(Toolkit& toolkit, const AppMessages& messages, DesktopServices& desktop, const LocalBus& bus)
    : WindowImplBase(toolkit),
      messages_(messages),
      desktop_(desktop),
      bus_(bus),
      roster_(*this, slots_),
      audio_lighting_(roster_, toolkit.Loop(), bus),
      discovery_(
          slots_, toolkit.Loop(), [this](const WindowMessage& m) { SendMessage(m); }, messages.application),
      profile_actions_(*this, desktop),
      lighting_page_(*this),
      system_page_(*this),
      mouse_page_(*this),
      headset_panel_(*this),
      key_assignment_(*this),
      macro_panel_(*this, desktop),
      shoot_panel_(*this, desktop) {
  roster_.profile_panels = true;
  audio_lighting_.on_notice = [this](const std::string& text) { ShowNotice(text); };
  shoot_panel_.send_patterns = [this](const ShootPatterns& patterns) { SendShootPatterns(patterns); };
  SetRouteHandler(Route::kKeyAssignment, [this](const RoutedNotify& route, TNotifyUI& msg) {
    key_assignment_.OnNotify(route, msg);
    if (msg.type == notify::kClick && route.name == "key_") PaintPictureKey(route.index);
  });
  // Folders that cannot be written and profile lists that had to be rebuilt
  // are told once, on the UI thread, whichever thread found them.
  SetFolderNoticeHandler([this, life = std::weak_ptr<const void>(notices_alive_)](const std::string& text) {
    GetToolkit().Loop().Post([this, life, text] {
      if (!life.expired()) ShowNotice(text);
    });
  });
  roster_.device_created = [this](CCorvaneUSBDevice& device) {
    // The lighting page follows what the selected device shows.
    device.on_shown_on_panels = [this](CCorvaneUSBDevice& shown) {
      const CDeviceOptionUI* entry = roster_.SelectedEntry();
      if (entry && entry->device() == &shown) ShowSelectedDeviceOnPages();
    };
    if (CDeviceProfileUI* panel = device.profile_panel())
      panel->SetNoticeHandler([this](const std::string& text) { ShowNotice(text); });
    if (auto* keyboard = dynamic_cast<CCorvaneKeyboardDevice*>(&device)) {
      // No updater is started here: the user is told and the program goes on.
      keyboard->on_firmware_outdated = [this] {
        ShowMessage(*this, "", "message_text_25", GetPaintManager().GetScale(), true, CMsgWnd::kConfirmOnly);
      };
      // Whichever action downloaded the macros, the user hears why keys were not written.
      keyboard->on_macro_download_report = [this](const MacroDownloadResult& result) { TellMacroDownload(result); };
    }
    if (auto* mouse = dynamic_cast<CCorvaneMouseDevice*>(&device))
      mouse->on_macro_download_report = [this](const MacroDownloadResult& result) { TellMacroDownload(result); };
  };
  SetRouteHandler(Route::kLightingPage,
                  [this](const RoutedNotify& route, TNotifyUI& msg) { lighting_page_.OnNotify(route, msg); });
  SetRouteHandler(Route::kKeyboardMousePage,
                  [this](const RoutedNotify& route, TNotifyUI& msg) { OnKeyboardMousePage(route, msg); });
  SetRouteHandler(Route::kProfilePanel,
                  [this](const RoutedNotify& route, TNotifyUI& msg) { profile_actions_.OnClick(route, msg); });
  SetRouteHandler(Route::kMacroPanel,
                  [this](const RoutedNotify& route, TNotifyUI& msg) { macro_panel_.OnNotify(route, msg); });
  SetRouteHandler(Route::kShootPanel,
                  [this](const RoutedNotify& route, TNotifyUI& msg) { shoot_panel_.OnNotify(route, msg); });
  // The voice changer's page is the headset's too.
  for (const Route route : {Route::kHeadsetPanel, Route::kMagicPanel})
    SetRouteHandler(route,
                    [this](const RoutedNotify& routed, TNotifyUI& msg) { headset_panel_.OnNotify(routed, msg); });
  // The synchronisation thread lets go of a device before its channel closes.
  sdk_service_ = std::make_unique<sdk::SdkService>(GetToolkit().Loop(), roster_);
  // A client's colours and the shared effect would paint the same lights.
  sdk_service_->controllers().on_direct = [this](CCorvaneUSBDevice& device) { synchronised_lighting_.Leave(device); };
  roster_.before_device_closes = [this](CCorvaneUSBDevice& device) {
    synchronised_lighting_.Leave(device);
    sdk_service_->controllers().Forget(device);
  };
  roster_.before_selected_device_leaves = [this] {
    macro_panel_.OnSelectedDeviceLeaving();
    shoot_panel_.OnSelectedDeviceLeaving();
  };
}

void CMainWnd::ShowSelectedDeviceOnPages() {
  lighting_page_.ShowSelectedDevice();
  system_page_.ShowSelectedDevice();
  mouse_page_.ShowSelectedDevice();
  headset_panel_.ShowSelectedDevice();
  key_assignment_.ShowSelectedDevice();
  macro_panel_.ShowSelectedDevice();
  shoot_panel_.ShowSelectedDevice();
}

void CMainWnd::TellMacroDownload(const MacroDownloadResult& result) {
  const std::optional<MacroDownloadNotice> notice = NoticeOf(result);
  if (!notice) return;
  std::string text = GetToolkit().Resources().Translate(notice->text_id);
  if (const std::size_t at = text.find("%d"); notice->argument && at != std::string::npos)
    text.replace(at, 2, std::to_string(*notice->argument));
  ShowMessage(*this, "", text, GetPaintManager().GetScale(), false, CMsgWnd::kConfirmOnly);
}

void CMainWnd::SendShootPatterns(const ShootPatterns& patterns) {
  const CDeviceOptionUI* entry = roster_.SelectedEntry();
  auto* mouse = entry ? dynamic_cast<CCorvaneMouseDevice*>(entry->device()) : nullptr;
  if (!mouse) return;
  ShootImageBuild image = BuildShootImage(patterns);
  if (auto* bytes = std::get_if<std::vector<std::uint8_t>>(&image)) mouse->WriteShootImage(std::move(*bytes));
}

CMainWnd::~CMainWnd() {
  SetFolderNoticeHandler(nullptr);
  Shutdown();
}

void CMainWnd::ShowNotice(const std::string& text) {
  Trace(text);
  ShowMessage(*this, "", text, GetPaintManager().GetScale(), false, CMsgWnd::kConfirmOnly);
}

void CMainWnd::SetRouteHandler(Route route, RouteHandler handler) {
  handlers_[static_cast<std::size_t>(route)] = std::move(handler);
}

void CMainWnd::InitWindow() {
  Trace("InitWindow");
  for (std::string_view name : {"closebtn", "maxbtn", "restorebtn", "minbtn", "skinbtn", "gamemodebtn", "cloudbtn",
                                "smarteyesbtn", "setbtn", "main_btn_ok", "key_set_FN_tier"})
    if (!GetPaintManager().FindControl(name)) Trace("skin: no control " + std::string(name));
  TheSkinObserver().AddReceiver(*this);
  // The background last chosen among the skin's images; colours and files of
  // the user's own last only until the program ends.
  if (const std::optional<SkinImageChoice> saved = ReadSkinImage()) Receive({false, 0, saved->image});
}

void CMainWnd::NotBuilt(std::string_view what, std::string_view detail) {
  Trace("not built yet: " + std::string(what) + " (" + std::string(detail) + ")");
}

void CMainWnd::Forward(const RoutedNotify& route, TNotifyUI& msg) {
  if (const RouteHandler& handler = handlers_[static_cast<std::size_t>(route.route)]) {
    handler(route, msg);
    return;
  }
  NotBuilt(RouteName(route.route), msg.type + " " + route.name);
}

void CMainWnd::OnKeyboardMousePage(const RoutedNotify& route, TNotifyUI& msg) {
  const CDeviceOptionUI* entry = roster_.SelectedEntry();
  const CCorvaneUSBDevice* device = entry ? entry->device() : nullptr;
  // "default_btn" restores a device of any family.
  if (device && device->family() == DeviceFamily::kMouse && route.name != "default_btn") {
    mouse_page_.OnNotify(route, msg);
    return;
  }
  system_page_.OnNotify(route, msg);
}

void CMainWnd::Notify(TNotifyUI& msg) {
  const std::string sender = msg.sender ? msg.sender->GetName() : std::string();
  if (msg.type == notify::kTimer) {
    if (msg.sender == GetPaintManager().GetRoot()) OnWindowTimer(static_cast<unsigned>(msg.wparam));
    return;
  }
  Trace(msg.type + " " + sender);
  if (msg.type == notify::kWindowInit) {
    OnWindowInit();
    return;
  }
  const RoutedNotify route = RouteNotification(msg.type, sender);
  switch (route.route) {
    case Route::kNone:
    case Route::kIgnored: return;
    case Route::kWindow:
      if (msg.type == notify::kClick)
        OnWindowClick(route, msg);
      else if (msg.type == notify::kSelectChanged)
        OnWindowSelect(route, msg);
      else if (msg.type == notify::kItemSelect)
        ArmWindowTimer(kProfilePickTimer, kProfilePickDelay);
      else if (const auto* slider = dynamic_cast<const CSliderUI*>(msg.sender)) {
        // "R_light_slider" → "R_light_label" with "R %d"; then the lighting page.
        const std::string channel = route.name.substr(0, 1);
        if (CControlUI* text = GetPaintManager().FindControl(channel + "_light_label"))
          text->SetText(channel + " " + std::to_string(slider->GetValue()));
        Forward({Route::kLightingPage, route.name, route.index}, msg);
      }
      return;
    default: Forward(route, msg);
  }
}

void CMainWnd::OnWindowInit() {
  CPaintManagerUI& manager = GetPaintManager();
  manager.AllowExternalMessage(messages_.application);
  manager.AllowExternalMessage(messages_.forward_to_settings);
  manager.AllowExternalMessage(messages_.host_lighting_request);
  manager.AllowExternalMessage(messages_.device_report_request);
  manager.AllowExternalMessage(kWmCopyData);
  for (std::uint32_t hook : AppMessages::HookMessages()) manager.AllowExternalMessage(hook);
  std::string error;
  endpoint_ = BusEndpoint::Open(bus_, std::string(kApplicationName), *this, error);
  if (!endpoint_) Trace("bus: " + error);
  // While this program runs, brontalctl's device commands come here.
  control_server_ = DeviceControlServer::Start(
      GetToolkit().Loop(),
      [this](const DeviceRequest& request, std::function<void(DeviceReply)> done) {
        const std::string command = request.args.empty() ? std::string() : request.args.front();
        if (command == sync_command::kName) return RunSyncRequest(*this, request, std::move(done));
        if (audio_styles_command::IsRequest(request))
          return done(audio_styles_command::Answer(
              request, audio_lighting_.styles(),
              [this](const AudioStyles& styles) { return audio_lighting_.ApplyStyles(styles); }));
        if (command != "macro" && command != "shoot") return RunDeviceRequest(roster_, request, std::move(done));
        // The pages show what the command changed in the files.
        RunDeviceRequest(
            roster_, request,
            [this, command, alive = std::weak_ptr(notices_alive_), done = std::move(done)](DeviceReply reply) {
              if (alive.expired()) return done(std::move(reply));
              if (command == "shoot") {
                shoot_panel_.ReloadShot();
              } else {
                macro_panel_.ReloadMacros();
                key_assignment_.ShowSelectedDevice();
              }
              done(std::move(reply));
            });
      },
      error);
  if (!control_server_) Trace("device control: " + error);
  BroadcastHostLighting(true);

  ApplyLanguage(StartLanguageIndex(ReadLanguageList(), ReadLanguageChoice(), MessagesLocale()));
  key_assignment_.ShowSelectedDevice();
  // Shown when discovery's first pass posts the application message, with the devices listed.
  ShowWindow(false);
  discovery_.Start();
  synchronised_lighting_.Start();
  audio_lighting_.Start(AudioCaptureSupervisor::InstalledSetup(bus_));
  ArmWindowTimer(kIdleTimer, kIdlePeriod);
}

void CMainWnd::ApplyLanguage(int index) {
  if (index == language_index_) return;
  const std::vector<LanguageEntry> languages = ReadLanguageList();
  if (index < 0 || static_cast<std::size_t>(index) >= languages.size()) return;
  if (const std::optional<std::string> face = FontFaceFor(index, language_index_))
    ReplaceFonts(GetPaintManager(), *face);
  language_index_ = index;
  const LanguageEntry& language = languages[static_cast<std::size_t>(index)];
  CResourceManager& resources = GetToolkit().Resources();
  resources.SetLanguage(language.name);
  std::string error;
  if (!resources.LoadLanguage(language.file, error)) Trace("language: " + error);
  GetToolkit().ReloadText();
  if (WriteLanguageChoice(language.id)) Trace("写成功！");
}

void CMainWnd::OnWindowClick(const RoutedNotify& route, TNotifyUI& msg) {
  const std::string& name = route.name;
  if (name == "closebtn") {
    if (!desktop_.HasTray()) {
      Close();
      return;
    }
    ShowWindow(false);
    SetDevicesHidden(true);
  } else if (name == "nodevice_ok_btn") {
    ShowWindow(true);
  } else if (name == "control_light_status") {
    SetHostLighting(!host_lighting_);
    BroadcastHostLighting(host_lighting_);
  } else if (name == "minbtn") {
    desktop_.Minimize(*this);
  } else if (name == "maxbtn") {
    desktop_.Maximize(*this);
  } else if (name == "restorebtn") {
    desktop_.Restore(*this);
  } else if (name == "device_select_prev" || name == "device_select_next") {
    SelectNeighbourEntry(name == "device_select_prev" ? -1 : 1);
  } else if (name == "main_auto_application_checkbox") {
    const auto* box = dynamic_cast<const COptionUI*>(msg.sender);
    auto_apply_ = box && box->IsSelected();
    if (!auto_apply_) ArmWindowTimer(kAutoApplyTimer, kAutoApplyDelay);
  } else if (name == "windowdeviceset_") {
    if (route.index == 0) desktop_.OpenSystemSettings(DesktopServices::SystemSettings::kKeyboard);
    if (route.index == 1) desktop_.OpenSystemSettings(DesktopServices::SystemSettings::kMouse);
  } else if (name == "setbtn") {
    OpenSettings();
  } else if (name == "music_setting_btn") {
    audio_lighting_.EditStyles(*this, GetPaintManager().GetScale());
  } else if (name == "main_shopping_btn") {
    desktop_.OpenUrl(std::string(kShopPage));
  } else if (name == "main_url_btn") {
    desktop_.OpenUrl(std::string(kHomePage));
  } else if (name == "skinbtn") {
    skin_frame_ = CSkinFrame::Open(*this, *msg.sender, desktop_, TheSkinObserver());
  } else {
    // Buttons of the skin that no action of ours serves yet.
    NotBuilt("window action", name);
  }
}

void CMainWnd::OnWindowSelect(const RoutedNotify& route, TNotifyUI& msg) {
  CControlUI* sender = msg.sender;
  while (sender && !dynamic_cast<CDeviceOptionUI*>(sender)) sender = sender->GetParent();
  auto* entry = dynamic_cast<CDeviceOptionUI*>(sender);
  if (!entry) return;
  if (route.name == "device_select") {
    if (!entry->IsSelected()) return;
    roster_.ShowEntry(*entry);
    // A device's ApplyToUi shows it on the pages; an entry without one empties them.
    if (entry->device())
      entry->device()->ApplyToUi();
    else
      ShowSelectedDeviceOnPages();
  } else {  // "synchro_device_select"
    // Unticked, the device leaves the synchronised lighting and shows its own again.
    if (!entry->IsSynchro() && entry->device()) entry->device()->channel().set_polling_paused(false);
    entry->RefreshIcons();
    roster_.RefreshNoDeviceState();
  }
}

void CMainWnd::OnWindowTimer(unsigned id) {
  switch (id) {
    case kAutoApplyTimer:
      StopWindowTimer(id);
      key_assignment_.SaveToDevice();
      break;
    case kProfilePickTimer:
      StopWindowTimer(id);
      profile_actions_.ApplyPickedProfile();
      break;
    case kTrayMenuTimer:
      StopWindowTimer(id);
      desktop_.ShowTrayMenu();
      break;
    case kIdleTimer:
      roster_.RetryWaitingSlots();
      audio_lighting_.FollowKeyboards();
      break;
    case LightingPageActions::kGameRestoreTimer: lighting_page_.RestoreAfterGame(); break;
    default: break;
  }
}

InputCapture* CMainWnd::input_capture() {
  if (!input_capture_) input_capture_ = MakeInputCapture(GetToolkit().Loop(), CaptureEnvironment::FromProcess());
  return input_capture_.get();
}

void CMainWnd::SetInputCapture(std::unique_ptr<InputCapture> capture) {
  key_assignment_.StopKeyCapture();
  macro_panel_.StopRecording();
  input_capture_ = std::move(capture);
}

void CMainWnd::PaintPictureKey(int key) {
  const CDeviceOptionUI* entry = roster_.SelectedEntry();
  auto* keyboard = entry ? dynamic_cast<CCorvaneKeyboardDevice*>(entry->device()) : nullptr;
  if (!keyboard) return;
  auto* panel = dynamic_cast<CLightControlUI*>(GetPaintManager().FindControl("deng_page"));
  const int group = panel ? panel->GetCustomMode() : -1;
  const int keys[] = {key};
  keyboard->PaintKeys(keys, group >= 0 ? std::optional<std::uint8_t>(static_cast<std::uint8_t>(group)) : std::nullopt);
}

void CMainWnd::SetHostLighting(bool on) {
  host_lighting_ = on;
  roster_.host_lighting = on;
  if (CControlUI* status = GetPaintManager().FindControl("control_light_status"))
    status->SetText(std::string(on ? kHostLightingOnText : kHostLightingOffText));
  for (CCorvaneUSBDevice* device : roster_.devices()) device->set_host_lighting(on);
}

void CMainWnd::BroadcastHostLighting(bool on) {
  bus_.Broadcast(WindowMessage(messages_.host_lighting_announce, 1, on ? 1 : 0), kApplicationName);
}

void CMainWnd::SetWindowActive(bool active) {
  window_active_ = active;
  for (CCorvaneUSBDevice* device : roster_.devices()) device->set_hover(active);
}

void CMainWnd::OpenSettings() {
  if (settings_) return;  // modal: already in front
  CSetWnd settings(GetToolkit(), language_index_);
  // The products as the bus shows them now: the table refreshes with each opening.
  settings.SetUpdateItems(UpdateItemsFor(BRONTAL_VERSION, AttachedProducts().value_or(std::vector<ConnectedProduct>{})),
                          &desktop_);
  settings.switch_sdk_server = [this](bool on) {
    if (!on) {
      sdk_service_->Stop();
      return true;
    }
    std::string error;
    if (sdk_service_->running() || sdk_service_->Start({}, error)) return true;
    Trace("sdk server: " + error);
    return false;
  };
  if (!settings.Create(this, "SetWnd")) {
    Trace("settings window: " + settings.GetCreateError());
    return;
  }
  // Near the top right corner of the main window, over its title bar.
  constexpr int kMargin = 16, kTitleBar = 40;
  const Rect& main = GetRect();
  const Rect& size = settings.GetRect();
  const int left = main.right - kMargin - size.Width();
  settings.SetRect({left, main.top + kTitleBar, left + size.Width(), main.top + kTitleBar + size.Height()});
  settings.GetPaintManager().SetScale(GetPaintManager().GetScale());
  settings_ = &settings;
  settings.ShowModal();
  settings_ = nullptr;
}

void CMainWnd::ShowAbout() {
  CAboutWnd about(GetToolkit());
  if (!about.Create(this, "AboutWnd")) {
    Trace("about window: " + about.GetCreateError());
    return;
  }
  about.SetVersionText(BRONTAL_VERSION);
  about.on_home_page = [this] { desktop_.OpenUrl(std::string(kHomePage)); };
  about.GetPaintManager().SetScale(GetPaintManager().GetScale());
  about.CenterWindow();
  about.ShowModal();
}

int CMainWnd::Receive(const SkinChangedParam& param) {
  CControlUI* root = GetPaintManager().FindControl("root");
  if (!root) return 1;
  root->SetBkColor(param.is_colour ? param.colour : 0);
  root->SetBkImage(param.is_colour ? std::string() : param.image);
  return 1;
}

void CMainWnd::SetDevicesHidden(bool hidden) {
  for (CCorvaneUSBDevice* device : roster_.devices()) device->set_window_hidden(hidden);
}

void CMainWnd::ShowAndRaise() {
  roster_.RefreshNoDeviceState();
  SetDevicesHidden(false);
  ShowWindow(true);
  desktop_.Restore(*this);
  desktop_.BringToFront(*this);
}

void CMainWnd::ShowMinimized() {
  roster_.RefreshNoDeviceState();
  if (desktop_.HasTray()) {
    SetDevicesHidden(true);  // as after the close button
    return;
  }
  ShowWindow(true);
  desktop_.Minimize(*this);
}

void CMainWnd::SelectNeighbourEntry(int step) {
  std::vector<CDeviceOptionUI*> visible;
  for (CCorvaneUSBDevice* device : roster_.devices())
    if (device->entry() && device->entry()->IsVisible()) visible.push_back(device->entry());
  if (visible.empty()) return;
  const auto selected = std::find(visible.begin(), visible.end(), roster_.SelectedEntry());
  const int at = selected == visible.end() ? 0 : static_cast<int>(selected - visible.begin());
  const int count = static_cast<int>(visible.size());
  CDeviceOptionUI* next = visible[static_cast<std::size_t>(((at + step) % count + count) % count)];
  roster_.ShowEntry(*next);
  if (next->device()) next->device()->ApplyToUi();
}

std::vector<std::uint8_t> CMainWnd::DeviceReportPayload() {
  std::vector<std::uint32_t> values(kDeviceReportBytes / 4, 0);
  std::copy(kReportedVersion.begin(), kReportedVersion.end(), values.begin());
  values[4] = static_cast<std::uint32_t>(kDeviceEntryTable.size());
  std::size_t at = 5;
  for (const DeviceEntryRow& row : kDeviceEntryTable) {
    values[at++] = row.vendor_id;
    values[at++] = row.product_id;
    values[at++] = static_cast<std::uint32_t>(row.type);
  }
  std::vector<std::uint8_t> bytes;
  bytes.reserve(kDeviceReportBytes);
  for (std::uint32_t v : values)
    for (int shift = 0; shift < 32; shift += 8) bytes.push_back(static_cast<std::uint8_t>(v >> shift));
  return bytes;
}

void CMainWnd::SendDeviceReport() {
  WindowMessage report(kWmCopyData, 0, 0);
  report.copy_kind = kDeviceReportKind;
  report.copy_data = DeviceReportPayload();
  // Posted: a send would hold the UI thread while the test tool answers.
  if (!bus_.PostTo(kTestToolWindow, report)) Trace("no test tool window on the bus");
}

void CMainWnd::ArmWindowTimer(unsigned id, std::chrono::milliseconds period) {
  if (CControlUI* root = GetPaintManager().GetRoot()) GetPaintManager().SetTimer(*root, id, period);
}

void CMainWnd::StopWindowTimer(unsigned id) {
  if (CControlUI* root = GetPaintManager().GetRoot()) GetPaintManager().KillTimer(*root, id);
}

void CMainWnd::Shutdown() {
  if (shut_down_) return;
  shut_down_ = true;
  key_assignment_.StopKeyCapture();
  audio_lighting_.Stop();
  discovery_.Stop();
  synchronised_lighting_.Stop();
  sdk_service_->Stop();
  control_server_.reset();
  endpoint_.reset();
  for (CCorvaneUSBDevice* device : roster_.devices()) device->StopThreads();
}

LRESULT CMainWnd::HandleMessage(const WindowMessage& message, bool& handled) {
  handled = true;
  const std::uint32_t id = message.id;
  if (id == messages_.application) {
    char line[96];
    std::snprintf(line, sizeof line, "软件标示 %u，%xd%xd", id, static_cast<unsigned>(message.wparam),
                  static_cast<unsigned>(message.lparam));
    Trace(line);
    // Discovery's first pass (lParam 0) shows the window; a second start
    // (lParam 1) raises it, and then discovery's pass must not take it down.
    const bool minimized = start_minimized_ && message.lparam == 0;
    start_minimized_ = false;
    if (minimized)
      ShowMinimized();
    else
      ShowAndRaise();
    return 0;
  }
  if (id == messages_.host_lighting_request) {
    if (message.wparam == 1) SetHostLighting(message.lparam != 0);
    return 0;
  }
  if (id == messages_.device_report_request) {
    SendDeviceReport();
    return 0;
  }
  if (id == messages_.forward_to_settings) {
    if (settings_) settings_->PostMessage(message);
    return 0;
  }
  if (const std::string_view hook = AppMessages::HookNameOf(id); !hook.empty()) {
    if (!hooks_enabled_) return 0;
    // Recordings and key capture take their input from the capture
    // backends; the hook messages carry none here.
    if (hook.starts_with("Game_"))
      lighting_page_.OnGameEvent(message.wparam, static_cast<std::intptr_t>(message.lparam));
    return 0;
  }
  switch (id) {
    case kWmActivate: SetWindowActive(message.wparam != 0); break;
    case kWmCopyData: handled = audio_lighting_.OnCopyData(message); break;
    case kWmMouseLeave:
      Trace("鼠标移出");
      SetWindowActive(false);
      break;
    case kWmMouseHover:
      Trace("鼠标移入");
      SetWindowActive(true);
      break;
    case kWmDestroy:
      Trace("退出测试");
      ShowWindow(false);
      Shutdown();
      GetToolkit().Loop().Quit(0);
      handled = false;  // the base still tears the window down
      break;
    case kWmPowerBroadcast:
      if (message.wparam == kPbtResume) {
        hooks_enabled_ = true;
        BroadcastHostLighting(host_lighting_);
        // A device may have lost its power while the computer slept.
        for (CCorvaneUSBDevice* device : roster_.devices()) {
          device->RewriteSettings({});
          device->RepeatHostLighting();
        }
      } else if (message.wparam == kPbtSuspend) {
        hooks_enabled_ = false;
        BroadcastHostLighting(false);
      }
      break;
    case kMsgDeviceArrived: roster_.OnDeviceArrived(message.wparam); break;
    case kMsgDeviceRemoved: roster_.OnDeviceRemoved(message.wparam); break;
    case kMsgOpenSettings: OpenSettings(); break;
    case kMsgShowAbout: ShowAbout(); break;
    case kMsgClearSettingsMark:
      if (CControlUI* set = GetPaintManager().FindControl("setbtn")) set->SetForeImage("");
      break;
    case kMsgLanguageChanged:
      ApplyLanguage(static_cast<int>(message.wparam));
      key_assignment_.RefreshKeyLabels();
      break;
    case kMsgShowProgress:
      if (CControlUI* progress = GetPaintManager().FindControl("setting_progress")) progress->SetVisible(true);
      break;
    case kMsgRefreshDevicePage:
      for (CCorvaneUSBDevice* device : roster_.devices())
        if (device->entry_index() == static_cast<int>(message.wparam)) device->ApplyToUi();
      break;
    case kMsgGlobalHook: NotBuilt("global hook", message.wparam ? "install" : "release"); break;
    case kMsgTrayIcon:
      if (message.lparam == kTrayLeftButtonUp) {
        roster_.RefreshNoDeviceState();
        if (!IsVisible() || desktop_.IsMinimized(*this)) {
          ShowAndRaise();
        } else {
          ShowWindow(false);
          SetDevicesHidden(true);
        }
      } else if (message.lparam == kTrayRightButtonUp) {
        ArmWindowTimer(kTrayMenuTimer, kTrayMenuDelay);
      }
      break;
    case kWmDpiChanged: Trace("界面 DPI 发生变化"); break;
    case kMsgDpiNotice: Trace("界面 DPI 1发生变化"); break;
    default: handled = false;
  }
  return 0;
}

}  // namespace brontal
