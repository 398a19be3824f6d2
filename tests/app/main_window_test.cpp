#include "app/main_window.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include "app/bus/bus_endpoint.h"
#include "app/bus/local_bus.h"
#include "app/bus/single_instance_lock.h"
#include "app/desktop_services.h"
#include "devices/corvane_usb_device.h"
#include "devices/device_controls.h"
#include "devices/device_option_ui.h"
#include "helpers/pump_until.h"
#include "helpers/trace_recorder.h"
#include "transport/in_process_simulation.h"
#include "ui/toolkit/manual_message_loop.h"
#include "ui/toolkit/registered_messages.h"
#include "ui/toolkit/slider.h"
#include "ui/toolkit/toolkit.h"

namespace brontal {
namespace {

using namespace std::chrono_literals;

// The desktop as the tests see it: what the window asked of it.
class RecordingDesktop : public DesktopServices {
 public:
  void BringToFront(WindowImplBase&) override {
    if (++raised == 1 && on_first_raise) on_first_raise();
  }
  void Minimize(WindowImplBase&) override { ++minimized; }
  void Maximize(WindowImplBase&) override {}
  void Restore(WindowImplBase&) override {}
  bool IsMinimized(const WindowImplBase&) const override { return false; }
  void OpenUrl(const std::string&) override {}
  void OpenSystemSettings(SystemSettings) override {}
  void ShowTrayMenu() override {}
  bool HasTray() const override { return tray; }
  bool tray = true;
  int raised = 0, minimized = 0;
  std::function<void()> on_first_raise;
};

// Another program's window on the bus, keeping what reaches it.
class ListenerWindow : public WindowImplBase {
 public:
  using WindowImplBase::WindowImplBase;
  std::string_view GetWindowClassName() const override { return "Listener"; }
  std::vector<WindowMessage> received;

 protected:
  std::string GetSkinFile() const override { return BRONTAL_TEST_DATA "/../app/data/listener.xml"; }
  LRESULT HandleMessage(const WindowMessage& message, bool& handled) override {
    if (message.id >= kFirstRegisteredMessage || message.id == kWmCopyData) received.push_back(message);
    handled = false;
    return 0;
  }
};

// The main window on a test layout: the controls the tests press and the skin's device strip.
class TestMainWindow : public CMainWnd {
 public:
  using CMainWnd::CMainWnd;
  void Notify(TNotifyUI& msg) override {
    CMainWnd::Notify(msg);
    if (msg.type == "windowinit") visible_after_init = IsVisible();
  }
  std::optional<bool> visible_after_init;

 protected:
  std::string GetSkinFile() const override { return BRONTAL_TEST_DATA "/../app/data/main_test.xml"; }
};

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest() : simulation_({{0x320F, 0x5100}, {0x320F, 0x2003}}) {
    desktop_.on_first_raise = [this] { devices_at_first_raise_ = window_.roster().devices().size(); };
    std::filesystem::create_directories(folder_ / "config");
    setenv("XDG_CONFIG_HOME", (folder_ / "config").c_str(), 1);
    toolkit_.Resources().SetSkinFolder(BRONTAL_SKIN_DIR);
    RegisterDeviceControls(toolkit_.Factory());
    EXPECT_TRUE(window_.Create(nullptr, std::string(kApplicationName))) << window_.GetCreateError();
    EXPECT_TRUE(listener_.Create(nullptr, "Listener"));
    listener_.GetPaintManager().AllowExternalMessage(messages_.host_lighting_announce);
    listener_.GetPaintManager().AllowExternalMessage(kWmCopyData);
    std::string error;
    listener_endpoint_ = BusEndpoint::Open(bus_, "Listener", listener_, error);
    EXPECT_TRUE(listener_endpoint_) << error;
    loop_.RunUntilIdle();  // "windowinit"
  }
  ~MainWindowTest() override {
    listener_endpoint_.reset();
    std::filesystem::remove_all(folder_);
  }

  template <typename Predicate>
  bool PumpUntil(Predicate done) {
    return test::PumpUntil(loop_, done);
  }
  CControlUI& Control(std::string_view name) { return *window_.GetPaintManager().FindControl(name); }
  std::vector<std::intptr_t> Announcements() {
    std::vector<std::intptr_t> states;
    for (const WindowMessage& m : listener_.received)
      if (m.id == messages_.host_lighting_announce && m.wparam == 1) states.push_back(m.lparam);
    return states;
  }

  const std::filesystem::path folder_ =
      std::filesystem::temp_directory_path() / ("brontal-main-window-test-" + std::to_string(::getpid()));
  sim::InProcessSimulation simulation_;
  ManualMessageLoop loop_;
  Toolkit toolkit_{loop_};
  const AppMessages messages_ = AppMessages::Register();
  RecordingDesktop desktop_;
  LocalBus bus_{folder_ / "bus"};
  std::size_t devices_at_first_raise_ = 0;
  TestMainWindow window_{toolkit_, messages_, desktop_, bus_};
  ListenerWindow listener_{toolkit_};
  std::unique_ptr<BusEndpoint> listener_endpoint_;
};

TEST_F(MainWindowTest, TheWindowFirstShowsAfterDiscoveryWithTheDevicesListed) {
  // Discovery's first pass may already have been handled by now, so what the
  // window was like at each step is taken as it happened.
  EXPECT_EQ(window_.visible_after_init, false);
  ASSERT_TRUE(PumpUntil([&] { return window_.IsVisible(); }));
  EXPECT_EQ(devices_at_first_raise_, 2u);
  for (CCorvaneUSBDevice* device : window_.roster().devices()) EXPECT_TRUE(device->entry()->IsVisible());
  EXPECT_FALSE(Control("No_device_Link").IsVisible());
  EXPECT_EQ(desktop_.raised, 1);
}

TEST_F(MainWindowTest, CloseHidesToTheTrayAndASecondStartShowsTheWindowAgain) {
  ASSERT_TRUE(PumpUntil([&] { return window_.IsVisible(); }));
  ASSERT_TRUE(Control("closebtn").Activate());
  EXPECT_FALSE(window_.IsVisible());
  for (CCorvaneUSBDevice* device : window_.roster().devices()) EXPECT_TRUE(device->window_hidden());

  ASSERT_TRUE(AskRunningInstanceToShow(bus_, kApplicationName, kApplicationName));
  ASSERT_TRUE(PumpUntil([&] { return window_.IsVisible(); }));
  EXPECT_EQ(desktop_.raised, 2);
  for (CCorvaneUSBDevice* device : window_.roster().devices()) EXPECT_FALSE(device->window_hidden());
}

TEST_F(MainWindowTest, WithoutATrayClosingQuitsInsteadOfHiding) {
  ASSERT_TRUE(PumpUntil([&] { return window_.IsVisible(); }));
  desktop_.tray = false;
  Control("closebtn").Activate();
  loop_.RunUntilIdle();
  EXPECT_FALSE(window_.IsWindow());
}

TEST_F(MainWindowTest, TogglingHostLightingTwiceAnnouncesBothStatesAndEndsWhereItStarted) {
  ASSERT_TRUE(PumpUntil([&] { return Announcements().size() == 1; }));  // (1, 1) at start
  const bool at_start = window_.host_lighting();
  Control("control_light_status").Activate();
  EXPECT_EQ(Control("control_light_status").GetText(), CMainWnd::kHostLightingOffText);
  Control("control_light_status").Activate();
  ASSERT_TRUE(PumpUntil([&] { return Announcements().size() == 3; }));
  EXPECT_EQ(Announcements(), (std::vector<std::intptr_t>{1, 0, 1}));
  EXPECT_EQ(window_.host_lighting(), at_start);
  EXPECT_EQ(Control("control_light_status").GetText(), CMainWnd::kHostLightingOnText);
}

TEST_F(MainWindowTest, KeyButtonsReachTheKeyAssignmentRouteWithTheirNumber) {
  std::vector<RoutedNotify> routed;
  window_.SetRouteHandler(Route::kKeyAssignment, [&](const RoutedNotify& r, TNotifyUI&) { routed.push_back(r); });
  Control("key_12").Activate();
  Control("key_butt_keysave").Activate();
  ASSERT_EQ(routed.size(), 2u);
  EXPECT_EQ(routed[0].name, "key_");
  EXPECT_EQ(routed[0].index, 12);
  EXPECT_EQ(routed[1].name, "key_butt_keysave");
  EXPECT_EQ(routed[1].index, -1);
}

TEST_F(MainWindowTest, UnbuiltRoutesAndSuspendedHooksShowInTheTrace) {
  test::TraceRecorder trace;
  auto not_built = [&] { return trace.CountStartingWith("not built yet"); };
  const std::uint32_t hook = RegisterWindowMessage("WM_HOOK_KEY_KBMACRO_MSG");
  window_.SendMessage(WindowMessage(kWmPowerBroadcast, kPbtSuspend, 0));
  window_.SendMessage(WindowMessage(hook, 0, 0));
  EXPECT_EQ(not_built(), 0);
  window_.SendMessage(WindowMessage(kWmPowerBroadcast, kPbtResume, 0));
  window_.SendMessage(WindowMessage(hook, 0, 0));
  EXPECT_EQ(not_built(), 1);
  Control("key_12").Activate();  // no key assignment panel yet
  EXPECT_EQ(not_built(), 2);
}

TEST_F(MainWindowTest, RgbSlidersLabelTheirValue) {
  auto& slider = dynamic_cast<CSliderUI&>(Control("R_light_slider"));
  slider.UserDrag(200);
  slider.UserRelease(200);
  EXPECT_EQ(Control("R_light_label").GetText(), "R 200");
}

TEST_F(MainWindowTest, TheTestToolGetsTheDeviceListInItsExactLayout) {
  const std::vector<std::uint8_t> payload = CMainWnd::DeviceReportPayload();
  ASSERT_EQ(payload.size(), 1024u);
  auto value = [&](std::size_t i) {
    return static_cast<std::uint32_t>(payload[4 * i] | payload[4 * i + 1] << 8 | payload[4 * i + 2] << 16 |
                                      payload[4 * i + 3] << 24);
  };
  const std::uint32_t head[] = {2, 3, 0, 2, 7, 0x320F, 0x2003, 2, 0, 0, 1, 0x320F, 0x1004, 3, 0x0C76, 0x1630, 7,
                                0x320F, 0x50EB, 1, 0x320F, 0x5100, 1, 0x320F, 0x5101, 1};
  for (std::size_t i = 0; i < std::size(head); ++i) EXPECT_EQ(value(i), head[i]) << i;
  for (std::size_t i = std::size(head); i < 256; ++i) EXPECT_EQ(value(i), 0u) << i;

  // Asked over the bus, it goes to the window titled "RaziZeze".
  ListenerWindow tool(toolkit_);
  ASSERT_TRUE(tool.Create(nullptr, "RaziZeze"));
  tool.GetPaintManager().AllowExternalMessage(kWmCopyData);
  std::string error;
  auto endpoint = BusEndpoint::Open(bus_, "RaziZeze", tool, error);
  ASSERT_TRUE(endpoint) << error;
  ASSERT_TRUE(bus_.PostTo(kApplicationName, WindowMessage(messages_.device_report_request, 0, 0)));
  ASSERT_TRUE(PumpUntil([&] { return !tool.received.empty(); }));
  EXPECT_EQ(tool.received[0].copy_kind, CMainWnd::kDeviceReportKind);
  EXPECT_EQ(tool.received[0].copy_data, payload);
}

TEST_F(MainWindowTest, TheTrayMenusAboutItemShowsTheVersionModally) {
  std::string version;
  loop_.Post([&] {
    for (WindowImplBase* window : toolkit_.Windows()) {
      if (window->GetWindowClassName() != "AboutWnd") continue;
      EXPECT_TRUE(window->IsModal());
      version = window->GetPaintManager().FindControl("software_ver_label")->GetText();
      window->Close();
    }
  });
  window_.SendMessage(WindowMessage(kMsgShowAbout));
  EXPECT_EQ(version, toolkit_.Resources().Translate("software_rev_text") + BRONTAL_VERSION);
}

TEST_F(MainWindowTest, ClosingTheWindowStopsEveryThreadQuickly) {
  ASSERT_TRUE(PumpUntil([&] { return window_.IsVisible(); }));
  const auto start = std::chrono::steady_clock::now();
  window_.SendMessage(WindowMessage(kWmDestroy, 0, 0));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1500ms);
  for (CCorvaneUSBDevice* device : window_.roster().devices()) EXPECT_FALSE(device->event_collection_open());
}

}  // namespace
}  // namespace brontal
