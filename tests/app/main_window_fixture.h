#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <optional>

#include "app/bus/bus_endpoint.h"
#include "app/bus/local_bus.h"
#include "app/control_registry.h"
#include "app/desktop_services.h"
#include "app/main_window.h"
#include "devices/device_option_ui.h"
#include "helpers/private_user_folders.h"
#include "helpers/pump_until.h"
#include "transport/in_process_simulation.h"
#include "ui/toolkit/manual_message_loop.h"
#include "ui/toolkit/registered_messages.h"
#include "ui/toolkit/toolkit.h"

namespace brontal {

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
  void OpenUrl(const std::string& url) override { opened_urls.push_back(url); }
  void OpenSystemSettings(SystemSettings) override {}
  void ShowTrayMenu() override {}
  std::filesystem::path ChooseFileToOpen(WindowImplBase&, const std::string&) override {
    if (while_choosing) while_choosing();
    return chosen_file;
  }
  std::filesystem::path ChooseFileToSave(WindowImplBase&, const std::string&) override { return chosen_file; }
  bool HasTray() const override { return tray; }
  bool tray = true;
  std::filesystem::path chosen_file;     // what the user picks in a file chooser
  std::function<void()> while_choosing;  // what happens while the chooser is open
  int raised = 0, minimized = 0;
  std::vector<std::string> opened_urls;
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
  // `before_start` runs once the user's folders are private, before the window is made.
  explicit MainWindowTest(const std::function<void()>& before_start = {})
      : simulation_({{0x320F, 0x5100}, {0x320F, 0x2003}}) {
    if (before_start) before_start();
    desktop_.on_first_raise = [this] { devices_at_first_raise_ = window_.roster().devices().size(); };
    toolkit_.Resources().SetSkinFolder(BRONTAL_SKIN_DIR);
    std::string index_error;
    EXPECT_TRUE(toolkit_.Resources().LoadIndex("res.xml", index_error)) << index_error;
    RegisterProgramControls(toolkit_.Factory());
    EXPECT_TRUE(window_.Create(nullptr, std::string(kApplicationName))) << window_.GetCreateError();
    EXPECT_TRUE(listener_.Create(nullptr, "Listener"));
    listener_.GetPaintManager().AllowExternalMessage(messages_.host_lighting_announce);
    listener_.GetPaintManager().AllowExternalMessage(kWmCopyData);
    std::string error;
    listener_endpoint_ = BusEndpoint::Open(bus_, "Listener", listener_, error);
    EXPECT_TRUE(listener_endpoint_) << error;
    loop_.RunUntilIdle();  // "windowinit"
  }
  ~MainWindowTest() override { listener_endpoint_.reset(); }

  template <typename Predicate>
  bool PumpUntil(Predicate done) {
    return test::PumpUntil(loop_, done);
  }
  CControlUI& Control(std::string_view name) { return *window_.GetPaintManager().FindControl(name); }
  // The first device of that class on the roster.
  template <typename DeviceT>
  DeviceT* First() {
    for (CCorvaneUSBDevice* device : window_.roster().devices())
      if (auto* found = dynamic_cast<DeviceT*>(device)) return found;
    return nullptr;
  }
  // The device opens, its connect timer runs, its read comes back and its page is shown;
  // `before_connect` has the opened device before its connect timer runs.
  template <typename DeviceT>
  void ConnectAndShow(const std::function<void(DeviceT&)>& before_connect = {}) {
    EXPECT_TRUE(PumpUntil([&] { return First<DeviceT>() && First<DeviceT>()->channel().open(); }));
    if (before_connect) before_connect(*First<DeviceT>());
    loop_.AdvanceBy(CDeviceOptionUI::kConnectDelay);
    EXPECT_TRUE(PumpUntil([&] { return First<DeviceT>()->ready(); }));
    window_.roster().ShowEntry(*First<DeviceT>()->entry());
    First<DeviceT>()->ApplyToUi();
  }
  std::vector<std::intptr_t> Announcements() {
    std::vector<std::intptr_t> states;
    for (const WindowMessage& m : listener_.received)
      if (m.id == messages_.host_lighting_announce && m.wparam == 1) states.push_back(m.lparam);
    return states;
  }

  test::PrivateUserFolders user_folders_;  // also holds the bus
  sim::InProcessSimulation simulation_;
  ManualMessageLoop loop_;
  Toolkit toolkit_{loop_};
  const AppMessages messages_ = AppMessages::Register();
  RecordingDesktop desktop_;
  LocalBus bus_{user_folders_.path() / "bus"};
  std::size_t devices_at_first_raise_ = 0;
  TestMainWindow window_{toolkit_, messages_, desktop_, bus_};
  ListenerWindow listener_{toolkit_};
  std::unique_ptr<BusEndpoint> listener_endpoint_;
};

}  // namespace brontal
